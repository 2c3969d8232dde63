// Modal message boxes. Texts and captions are UTF-8, like every text of the programs.
#pragma once

#include <string>

namespace platform {

// A top-level window of the program (HWND on Windows); null for none.
using WindowHandle = void*;

inline constexpr int kAnswerOk = 1;     // IDOK
inline constexpr int kAnswerYes = 6;    // IDYES
inline constexpr int kAnswerNo = 7;     // IDNO
inline constexpr int kAnswerRetry = 4;  // IDRETRY
inline constexpr int kAnswerCancel = 2; // IDCANCEL

// A question with a question icon and the buttons Yes and No, modal to `owner`.
// Returns kAnswerYes, kAnswerNo, or another value when the box was closed
// otherwise. Without a windowing system (POSIX) nothing is asked and 0 is returned.
int AskYesNo(WindowHandle owner, const std::string& text, const std::string& caption);

// A warning with the buttons Retry and Cancel, modal to `owner`. Returns
// kAnswerRetry, kAnswerCancel (also when the box was closed otherwise). Without a
// windowing system nothing is asked and kAnswerCancel is returned.
int AskRetryCancel(WindowHandle owner, const std::string& text, const std::string& caption);

// A question with the buttons OK and Cancel and no icon, modal to `owner`. Returns
// kAnswerOk, or kAnswerCancel (also when the box was closed otherwise). Without a
// windowing system nothing is asked and kAnswerCancel is returned.
int AskOkCancel(WindowHandle owner, const std::string& text, const std::string& caption);

// A plain message with one OK button and no icon, modal to `owner`. Without a
// windowing system the text goes to standard error.
void ShowMessage(WindowHandle owner, const std::string& text, const std::string& caption);

} // namespace platform
