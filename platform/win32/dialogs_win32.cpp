#include "platform/dialogs.h"

#include "windows_support.h"

namespace platform {

int AskYesNo(WindowHandle owner, const std::string& text, const std::string& caption) {
    const std::wstring t = win32::Widen(text, 1252);
    const std::wstring c = win32::Widen(caption, 1252);
    return MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(), MB_YESNO | MB_ICONQUESTION);
}

int AskRetryCancel(WindowHandle owner, const std::string& text, const std::string& caption) {
    const std::wstring t = win32::Widen(text, 1252);
    const std::wstring c = win32::Widen(caption, 1252);
    const int answer = MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(),
                                   MB_RETRYCANCEL | MB_ICONWARNING);
    return answer == IDRETRY ? kAnswerRetry : kAnswerCancel;
}

void ShowMessage(WindowHandle owner, const std::string& text, const std::string& caption) {
    const std::wstring t = win32::Widen(text, 1252);
    const std::wstring c = win32::Widen(caption, 1252);
    MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(), MB_OK);
}

} // namespace platform
