#include "text_encoding.h"

namespace sweepstone {
namespace {

// The characters of Windows-1252 at 0x80..0x9F; 0 where the code page has a gap
// (those bytes map to the C1 control of the same number).
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(static_cast<unsigned char>(c));
    for (unsigned i = 0; i < 32; ++i) {
        if (kHigh[i] == c || (kHigh[i] == 0 && c == 0x80 + i))
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

unsigned char FoldWindows1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: // S with caron
    case 0x8C: // OE
    case 0x8E: // Z with caron
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F: // Y with diaeresis
        return 0xFF;
    default:
        return c;
    }
}

std::string Utf16LEToWindows1252(std::string_view units) {
    std::string out;
    out.reserve(units.size() / 2);
    const size_t n = units.size() / 2;
    for (size_t i = 0; i < n; ++i) {
        const char16_t u = static_cast<char16_t>(
            static_cast<unsigned char>(units[2 * i]) |
            (static_cast<unsigned>(static_cast<unsigned char>(units[2 * i + 1])) << 8));
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const unsigned next =
                static_cast<unsigned char>(units[2 * i + 2]) |
                (static_cast<unsigned>(static_cast<unsigned char>(units[2 * i + 3])) << 8);
            if (next >= 0xDC00 && next <= 0xDFFF)
                ++i; // one character, which no single byte holds
            out += '?';
            continue;
        }
        out += ToWindows1252(u);
    }
    return out;
}

} // namespace sweepstone
