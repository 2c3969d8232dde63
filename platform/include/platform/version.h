// The version record of a program file.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The fixed part of a version record: major << 16 | minor, release << 16 | build.
struct FileVersionNumbers {
    std::uint32_t versionMS = 0;
    std::uint32_t versionLS = 0;
};

// Reads the file version from the version resource of `path` (Windows:
// GetFileVersionInfoSizeW, GetFileVersionInfoW, VerQueryValueW on "\"). POSIX
// programs carry no version resource; there the numbers fixed when the program
// was built are returned for any path. False when there is no record.
bool ReadFileVersion(const std::string& path, FileVersionNumbers& numbers);

} // namespace platform
