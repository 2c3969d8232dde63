// The one way a failure becomes words. Operations of the platform return a
// std::error_code, empty on success; callers name it for what it is
// (`const std::error_code failure = platform::CopyFileReplacing(...)`) and never
// negate a call to mean that it worked.
#pragma once

#include <string>
#include <system_error>

namespace platform {

// The reason of a failure in the user's language, as UTF-8, for reports and
// messages. On Win32 a system error's text comes from FormatMessageW (the wide
// call: std::error_code::message() builds it with FormatMessageA in the ANSI code
// page, which a UTF-8 report would show garbled), without its closing line break;
// other errors, and every error on POSIX, read as their message().
std::string ErrorText(std::error_code error);

} // namespace platform
