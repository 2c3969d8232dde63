#include "platform/process.h"

namespace platform {

std::string PrivateFolderSddl(const std::string& accountSid, bool elevated) {
    // P: protected (nothing inherited from the folder above); OICI: the batch made
    // inside inherits the same entries; FA: full access. An elevated process acts as
    // the administrators (or is the system): the account's own SID stays out, since
    // its programs that run without elevation carry it too and could otherwise
    // rewrite what the elevated interpreter is about to run.
    if (elevated)
        return "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
    return "O:" + accountSid + "D:P(A;OICI;FA;;;" + accountSid + ")";
}

} // namespace platform
