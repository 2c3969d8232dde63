// A run file for the removal tests: records the parameter text it was started with
// into the file that BRIGHTMERE_RUN_RECORD names, as UTF-8.
#include "windows_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    const char* record = std::getenv("BRIGHTMERE_RUN_RECORD");
    if (!record)
        return 1;
    // The command line is the program, quoted or not, then the parameter text.
    std::string line = platform::win32::Narrow(GetCommandLineW());
    size_t end = 0;
    if (!line.empty() && line[0] == '"') {
        end = line.find('"', 1);
        end = end == std::string::npos ? line.size() : end + 1;
    } else {
        end = line.find(' ');
        end = end == std::string::npos ? line.size() : end;
    }
    std::string parameters = line.substr(end);
    while (!parameters.empty() && parameters[0] == ' ')
        parameters.erase(0, 1);
    // Written whole under a temporary name, so the test never reads half a line.
    const std::wstring temporary = platform::win32::Widen(std::string(record) + ".part");
    if (FILE* f = _wfopen(temporary.c_str(), L"wb")) {
        std::fputs(parameters.c_str(), f);
        std::fclose(f);
        MoveFileW(temporary.c_str(), platform::win32::Widen(record).c_str());
    }
    return 0;
}
