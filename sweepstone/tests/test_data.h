// The test data files beside the tests (tests/data), wherever the test program runs.
#pragma once

#include <string>

namespace sweepstone_testing {

// Path of a file in the test data folder.
std::string TestDataPath(const std::string& name);

// The bytes of a file in the test data folder; the test fails when it is missing.
std::string ReadTestData(const std::string& name);

} // namespace sweepstone_testing
