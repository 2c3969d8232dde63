// POSIX stand-ins for the shell: an "open" that only records what it was asked to
// open.
#include "platform/shell.h"

#include "posix_path.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace platform {
namespace {

void Record(const std::string& file, const std::string& parameters) {
    const char* record = std::getenv("BRIGHTMERE_SHELL_RECORD");
    if (!record || !*record)
        return;
    std::ofstream out(record, std::ios::app | std::ios::binary);
    out << ResolvePath(file) << '\t' << parameters << '\n';
}

} // namespace

DesktopOpen OpenAsDesktopUser(const std::string& file, const std::string& parameters) {
    Record(file, parameters);
    return {true, {}};
}

ElevatedRun RunElevatedAndWait(void*, const std::string& file, const std::string& parameters) {
    Record(file, parameters);
    ElevatedRun run;
    run.started = true;
    return run;
}

std::string FullPathName(const std::string& path) {
    std::string unified = path;
    for (char& c : unified) {
        if (c == '\\')
            c = '/';
    }
    std::filesystem::path p(unified);
    if (p.is_relative())
        p = std::filesystem::current_path() / p;
    std::string full = p.lexically_normal().string();
    while (full.size() > 1 && full.back() == '/')
        full.pop_back();
    return full;
}

} // namespace platform
