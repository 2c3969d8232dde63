// A run file for the removal tests: records the parameter text it was started with,
// as UTF-8, beside the folder that text names ("C:\a\Product\" gives
// "C:\a\Product.run-record.txt"), outside it, so that the wizard's folder can still go.
// The desktop's shell starts it, from its own environment, not the test's.
#include "windows_support.h"

#include <cstdio>
#include <string>

int main() {
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
    std::string record = parameters;
    while (!record.empty() && (record.back() == '\\' || record.back() == ' '))
        record.pop_back();
    if (record.empty())
        return 1;
    record += ".run-record.txt";
    // Written whole under a temporary name, so the test never reads half a line.
    const std::wstring temporary = platform::win32::Widen(record + ".part");
    if (FILE* f = _wfopen(temporary.c_str(), L"wb")) {
        std::fputs(parameters.c_str(), f);
        std::fclose(f);
        MoveFileW(temporary.c_str(), platform::win32::Widen(record).c_str());
    }
    return 0;
}
