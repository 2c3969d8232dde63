#include "platform/dialogs.h"

#include "windows_support.h"

namespace platform {

int AskYesNo(WindowHandle owner, const std::string& text, const std::string& caption) {
    const std::wstring t = win32::Widen(text);
    const std::wstring c = win32::Widen(caption);
    return MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(), MB_YESNO | MB_ICONQUESTION);
}

int AskRetryCancel(WindowHandle owner, const std::string& text, const std::string& caption) {
    const std::wstring t = win32::Widen(text);
    const std::wstring c = win32::Widen(caption);
    const int answer = MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(),
                                   MB_RETRYCANCEL | MB_ICONWARNING);
    return answer == IDRETRY ? kAnswerRetry : kAnswerCancel;
}

int AskOkCancel(WindowHandle owner, const std::string& text, const std::string& caption) {
    const std::wstring t = win32::Widen(text);
    const std::wstring c = win32::Widen(caption);
    const int answer = MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(), MB_OKCANCEL);
    return answer == IDOK ? kAnswerOk : kAnswerCancel;
}

void ShowMessage(WindowHandle owner, const std::string& text, const std::string& caption) {
    const std::wstring t = win32::Widen(text);
    const std::wstring c = win32::Widen(caption);
    MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(), MB_OK);
}

} // namespace platform
