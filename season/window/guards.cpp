#include "guards.h"

#include <cstdio>

namespace season {
namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Upper case of a code point in the ranges named in the header.
char32_t FoldUpper(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20; // Latin-1: à..þ without ÷
    if (c == 0xFF)
        return 0x178; // ÿ
    if (c >= 0x100 && c <= 0x137 && (c & 1))
        return c - 1; // Latin Extended-A, pairs from Ā
    if (c >= 0x139 && c <= 0x148 && !(c & 1))
        return c - 1;
    if (c >= 0x14A && c <= 0x177 && (c & 1))
        return c - 1;
    if (c == 0x17A || c == 0x17C || c == 0x17E)
        return c - 1;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return c - 0x20; // Greek
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20; // Cyrillic а..я
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50; // ѐ..џ
    return c;
}

// A byte that starts no complete UTF-8 sequence, passed on as it is.
constexpr char32_t kRawByte = 0x80000000u;

// Decodes one UTF-8 sequence at `i`.
char32_t Decode(std::string_view s, size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    const size_t extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + extra >= s.size()) {
        ++i;
        return kRawByte | b;
    }
    char32_t c = b & (0x3Fu >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        const auto n = static_cast<unsigned char>(s[i + k]);
        if ((n & 0xC0) != 0x80) {
            ++i;
            return kRawByte | b;
        }
        c = (c << 6) | (n & 0x3Fu);
    }
    i += extra + 1;
    return c;
}

void Encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string RunningSimulator(const std::vector<std::string>& processNames) {
    for (const std::string& full : processNames) {
        const size_t cut = full.find_last_of("\\/");
        const std::string_view name = cut == std::string::npos
                                          ? std::string_view(full)
                                          : std::string_view(full).substr(cut + 1);
        for (std::string_view simulator : kSimulatorPrograms) {
            if (name.size() != simulator.size())
                continue;
            bool same = true;
            for (size_t i = 0; i < name.size() && same; ++i)
                same = AsciiUpper(name[i]) == AsciiUpper(simulator[i]);
            if (same)
                return std::string(name);
        }
    }
    return {};
}

std::string FolderIdentity(std::string_view folder) {
    std::string out;
    out.reserve(folder.size());
    for (size_t i = 0; i < folder.size();) {
        char32_t c = Decode(folder, i);
        if (c & kRawByte) {
            out += static_cast<char>(c & 0xFF);
            continue;
        }
        if (c == U'/')
            c = U'\\';
        Encode(FoldUpper(c), out);
    }
    // "C:\Games\" and "C:\Games" are one folder; "C:\" keeps its separator.
    while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':'))
        out.pop_back();
    return out;
}

std::uint64_t FolderFingerprint(std::string_view folder) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : FolderIdentity(folder)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string InstanceMutexName(std::string_view folder) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llX",
                  static_cast<unsigned long long>(FolderFingerprint(folder)));
    return std::string("Local\\Brightmere.Turnleaf.") + hex;
}

} // namespace season
