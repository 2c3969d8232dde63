#include "platform/errors.h"

namespace platform {

std::string ErrorText(std::error_code error) {
    return error.message();
}

} // namespace platform
