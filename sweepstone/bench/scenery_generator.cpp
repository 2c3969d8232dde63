#include "scenery_generator.h"

namespace sweepstone_bench {
namespace {

std::string Digits(size_t n, size_t width) {
    std::string s = std::to_string(n);
    if (s.size() < width)
        s.insert(0, width - s.size(), '0');
    return s;
}

std::string Title(size_t i) {
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

std::string OnePercentLogText(size_t areas) {
    std::string text;
    for (size_t i = 50; i <= areas; i += 100)
        text += (text.empty() ? "" : " / ") + Title(i);
    return text;
}

size_t OnePercentCount(size_t areas) {
    return areas >= 50 ? (areas - 50) / 100 + 1 : 0;
}

} // namespace sweepstone_bench
