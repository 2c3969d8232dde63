// Internal to the POSIX side of the platform layer.
#pragma once

#include <string>

namespace platform {

// Maps a Windows-style path onto the POSIX file system: "\" and "/" both separate,
// and each existing component is matched without regard to case.
std::string ResolvePath(const std::string& path);

} // namespace platform
