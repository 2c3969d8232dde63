// The export table of a Windows library, read from the file's bytes: no code of the
// library runs and nothing is loaded, so a check can look at any library, also one
// built for another machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sweepstone {

inline constexpr std::uint16_t kMachineX86 = 0x014C;
inline constexpr std::uint16_t kMachineX64 = 0x8664;

struct PeExports {
    std::uint16_t machine = 0;      // the COFF header's machine (kMachineX86 ...)
    std::vector<std::string> names; // every name the export table lists, in its order
};

// The exports of a PE image (PE32 or PE32+); nullopt when the bytes are no PE image
// or its headers or export table point outside the file. An image without an export
// table has no names.
std::optional<PeExports> ReadPeExports(std::string_view image);

} // namespace sweepstone
