// The logs of the check's tests: one faulty log per kind of finding and clean ones,
// each with the exact report the check gives and its exit code, and the tree they
// name. One table, read by the native test of CheckLog and by the end-to-end test
// that runs sweepstone.exe /CHECK over it under Wine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {
class TestFolder;
}

namespace check_logs {

// What the placeholders of the table's texts stand for: "$" the tree, "#" its
// registry key below HKEY_LOCAL_MACHINE (KeyFor), "%" a folder of the system's that
// no value may delete, "&" the folder where a bare library name is looked for.
struct Places {
    std::string tree;      // ending in a separator
    std::string system;    // without a final separator
    std::string libraries; // ending in a separator
};
// The native test's stand-ins inside the tree: "%" its Protected folder, "&" its
// sys folder.
Places StandIns(const std::string& tree);
std::string Expand(const std::string& text, const Places& places);

// The registry key of one tree, named after its folder, so that tests running at
// once never share one.
std::string KeyFor(const std::string& tree);

struct LogCase {
    const char* log;
    std::vector<std::string> report; // the log named "Uninstall.log"
    int exitCode;
    // Findings that hold for this machine only: the log is checked as the one beside
    // the wizard. The other logs are checked as another machine's (/CHECK="file"),
    // which gives the same findings.
    bool thisMachine = false;
};
extern const std::vector<LogCase> kLogs;

// A library as the linker lays it out, exporting `names`, for `machine`.
std::string TinyLibrary(std::uint16_t machine, const std::vector<std::string>& names);
std::uint16_t OwnMachine();
std::uint16_t OtherMachine();

// The tree the logs name: a product with its registry key, a simulator with its
// Scenery.cfg and a switched-off file, libraries (lib\plain.dll exports "Cleanup" and
// only the decorated "_Decorated@12"), the stand-ins of StandIns and a run file.
void MakeTree(const testing_support::TestFolder& t);

} // namespace check_logs
