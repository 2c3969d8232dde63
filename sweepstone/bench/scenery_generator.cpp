#include "scenery_generator.h"

namespace sweepstone_bench {
namespace {

std::string Digits(size_t n, size_t width) {
    std::string s = std::to_string(n);
    if (s.size() < width)
        s.insert(0, width - s.size(), '0');
    return s;
}

bool IsProductArea(size_t i) {
    return i % 100 == 50;
}

std::string Title(size_t i) {
    static const char* const product[] = {"Sample Airport X Scenery", "Sample Airport X",
                                          "Airport X Mesh", "Sample Airport X Objects"};
    static const char* const nearMisses[] = {"Sample Airport X Scenery 2", "sample airport x",
                                             "Sample Airport Y"};
    if (IsProductArea(i))
        return product[(i / 100) % 4];
    if (i % 100 == 7)
        return nearMisses[(i / 100) % 3];
    return "Sample Scenery " + Digits(i, 5);
}

} // namespace

std::string SceneryLibrary(size_t areas) {
    std::string out = "[General]\r\nTitle=FS9 World Scenery\r\nDescription=FS9 World Scenery "
                      "Data\r\nCache_size=100\r\n\r\n";
    out.reserve(out.size() + areas * 160);
    for (size_t i = 1; i <= areas; ++i) {
        const std::string n = Digits(i, 3);
        out += "[Area." + n + "]\r\nTitle=" + Title(i) +
               "\r\nTexture_ID=1\r\nLocal=Addon Scenery\\Area" + n +
               "\r\nLayer=" + std::to_string(i) + "\r\nActive=TRUE\r\nRequired=FALSE\r\n\r\n";
    }
    return out;
}

std::string ProductLogText() {
    return "Sample Airport X Scenery, Airport X Mesh and Sample Airport X Objects";
}

size_t ProductAreaCount(size_t areas) {
    return areas >= 50 ? (areas - 50) / 100 + 1 : 0;
}

} // namespace sweepstone_bench
