#include "platform/dialogs.h"

#include <cstdio>

namespace platform {

int AskYesNo(WindowHandle, const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "[%s] %s (not asked)\n", caption.c_str(), text.c_str());
    return 0;
}

int AskRetryCancel(WindowHandle, const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "[%s] %s (not asked)\n", caption.c_str(), text.c_str());
    return kAnswerCancel;
}

int AskOkCancel(WindowHandle, const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "[%s] %s (not asked)\n", caption.c_str(), text.c_str());
    return kAnswerCancel;
}

void ShowMessage(WindowHandle, const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
}

} // namespace platform
