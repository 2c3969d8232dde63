#include "platform/process.h"

namespace platform {

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

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

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> out;
    size_t i = 0;
    // The program name: up to the closing quote, or to the first blank.
    if (i < line.size() && line[i] == '"') {
        const size_t close = line.find('"', 1);
        i = close == std::string_view::npos ? line.size() : close + 1;
    }
    while (i < line.size() && !Blank(line[i]))
        ++i;

    for (;;) {
        while (i < line.size() && Blank(line[i]))
            ++i;
        if (i >= line.size())
            break;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || !Blank(line[i]))) {
            const char c = line[i];
            if (c == '\\') {
                size_t n = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++n;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                    // An even count leaves the quote to group, below.
                } else {
                    arg.append(n, '\\');
                }
            } else if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += c;
                ++i;
            }
        }
        out.push_back(std::move(arg));
    }
    return out;
}

} // namespace platform
