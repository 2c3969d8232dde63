#include "test_data.h"

#include "platform/files.h"
#include "platform/path.h"

#include <stdexcept>

namespace sweepstone_testing {

std::string TestDataPath(const std::string& name) {
#ifdef SWEEPSTONE_TEST_DATA
    return std::string(SWEEPSTONE_TEST_DATA) + name;
#else
    // Under Wine the sandbox runner copies the folder to data\ beside the program.
    const std::string program = platform::ProgramPath();
    return platform::FolderOf(program) + "data\\" + name;
#endif
}

std::string ReadTestData(const std::string& name) {
    std::string bytes;
    if (platform::ReadWholeFile(TestDataPath(name), bytes))
        throw std::runtime_error("missing test data " + TestDataPath(name));
    return bytes;
}

} // namespace sweepstone_testing
