#include "platform/unicode.h"

namespace platform {
namespace {

// The characters of Windows-1252 at 0x80..0x9F; 0 where the code page has a gap
// (those bytes map to the C1 control of the same number).
constexpr char16_t kHigh1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one well-formed UTF-8 sequence at `i`; returns its length, or 0 when the
// bytes there are ill-formed (then `bad` is the length of the maximal bad part).
size_t DecodeOne(std::string_view s, size_t i, char32_t& c, size_t& bad) {
    const unsigned char b0 = static_cast<unsigned char>(s[i]);
    bad = 1;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        c = b0 & 0x0F;
        if (b0 == 0xE0)
            low = 0xA0; // no overlong forms
        if (b0 == 0xED)
            high = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        c = b0 & 0x07;
        if (b0 == 0xF0)
            low = 0x90;
        if (b0 == 0xF4)
            high = 0x8F; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if (i + k >= s.size())
            return 0;
        const unsigned char b = static_cast<unsigned char>(s[i + k]);
        if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF))
            return 0;
        c = (c << 6) | (b & 0x3F);
        bad = k + 1;
    }
    return length;
}

// One character as UTF-8 into `out`; returns the number of bytes. A value that is
// no character (a surrogate, or beyond U+10FFFF) is encoded as U+FFFD.
size_t EncodeUtf8(char32_t c, char (&out)[4]) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        c = kReplacement;
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// Walks UTF-8 text in order: `character(c, bytes)` for each well-formed character
// with its bytes, `bad(bytes)` for each maximal ill-formed part.
template <class Character, class Bad>
void ForEachPart(std::string_view text, Character character, Bad bad) {
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        size_t badLength = 0;
        const size_t length = DecodeOne(text, i, c, badLength);
        if (length == 0) {
            bad(text.substr(i, badLength));
            i += badLength;
        } else {
            character(c, text.substr(i, length));
            i += length;
        }
    }
}

} // namespace

void AppendUtf8(std::string& out, char32_t c) {
    char bytes[4];
    out.append(bytes, EncodeUtf8(c, bytes));
}

std::string Utf16LEToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const size_t n = bytes.size() / 2;
    auto unit = [&](size_t i) -> char32_t {
        return static_cast<unsigned char>(bytes[2 * i]) |
               (static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8);
    };
    for (size_t i = 0; i < n; ++i) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            const char32_t next = unit(i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, u); // a lone surrogate becomes U+FFFD there
    }
    return out;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        // Runs of ASCII go in one piece.
        size_t run = i;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80)
            ++run;
        if (run > i) {
            out.append(bytes, i, run - i);
            i = run;
            if (i == bytes.size())
                break;
        }
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0xA0 && kHigh1252[b - 0x80] != 0)
            AppendUtf8(out, kHigh1252[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachPart(
        text,
        [&out](char32_t c, std::string_view) {
            if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
                out += static_cast<char>(static_cast<unsigned char>(c));
                return;
            }
            char byte = '?';
            for (unsigned k = 0; k < 32; ++k) {
                if (kHigh1252[k] == c || (kHigh1252[k] == 0 && c == 0x80 + k))
                    byte = static_cast<char>(0x80 + k);
            }
            out += byte;
        },
        [&out](std::string_view) { out += '?'; });
    return out;
}

bool IsUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        size_t bad = 0;
        const size_t length = DecodeOne(bytes, i, c, bad);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string SanitizedUtf8(std::string_view bytes) {
    if (IsUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    ForEachPart(
        bytes, [&out](char32_t, std::string_view well) { out.append(well); },
        [&out](std::string_view) { AppendUtf8(out, kReplacement); });
    return out;
}

namespace {

// The folding rules, one character at a time; FoldToSmall reads them from a table
// made of them at compile time.
constexpr char32_t FoldByRule(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 0x20; // Latin-1 capitals
    if (c == 0x178)
        return 0xFF; // Y with diaeresis
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A: capital and small alternate, shifted by one at 0x139..0x148
        // and 0x179..0x17E; dotted I, dotless i, kra and n-apostrophe stand alone.
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool capital = shifted ? (c % 2 == 1) : (c % 2 == 0);
        return capital ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return c + 0x20; // Greek capitals
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 0x25;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 0x3F;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50; // Cyrillic capitals with marks
    if (c >= 0x410 && c <= 0x42F)
        return c + 0x20; // Cyrillic capitals
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return c % 2 == 0 ? c + 1 : c;
    if (c >= 0x4C1 && c <= 0x4CE)
        return c % 2 == 1 ? c + 1 : c;
    if (c == 0x4C0)
        return 0x4CF;
    if (c >= 0xFF21 && c <= 0xFF3A)
        return c + 0x20; // full-width Latin capitals
    return c;
}

// Everything below U+0530 (Latin, Greek, Cyrillic) through one table look-up:
// names are folded character by character in every comparison.
constexpr char32_t kTableEnd = 0x530;

struct FoldTable {
    char16_t to[kTableEnd];
    constexpr FoldTable() : to() {
        for (char32_t c = 0; c < kTableEnd; ++c)
            to[c] = static_cast<char16_t>(FoldByRule(c));
    }
};

constexpr FoldTable kFold;

// The folded form of a UTF-8 text, a piece at a time without building a string: one
// folded character's encoding, or the ill-formed bytes as they stand.
class FoldedPieces {
public:
    explicit FoldedPieces(std::string_view text) : text_(text) {}

    // The next piece into `out` (at most four bytes); 0 at the end of the text.
    size_t Next(char (&out)[4]) {
        if (pos_ >= text_.size())
            return 0;
        const unsigned char b = static_cast<unsigned char>(text_[pos_]);
        if (b < 0x80) {
            out[0] = static_cast<char>((b >= 'A' && b <= 'Z') ? b + 0x20 : b);
            ++pos_;
            return 1;
        }
        char32_t c = 0;
        size_t bad = 0;
        const size_t length = DecodeOne(text_, pos_, c, bad);
        if (length == 0) {
            for (size_t k = 0; k < bad; ++k)
                out[k] = text_[pos_ + k];
            pos_ += bad;
            return bad;
        }
        pos_ += length;
        return EncodeUtf8(FoldToSmall(c), out);
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

} // namespace

char32_t FoldToSmall(char32_t c) {
    if (c < kTableEnd)
        return kFold.to[c];
    if (c >= 0xFF21 && c <= 0xFF3A)
        return c + 0x20; // full-width Latin capitals
    return c;
}

std::string MapUtf8(std::string_view text, char32_t (*map)(char32_t)) {
    std::string out;
    out.reserve(text.size());
    ForEachPart(
        text, [&out, map](char32_t c, std::string_view) { AppendUtf8(out, map(c)); },
        [&out](std::string_view bad) { out.append(bad); });
    return out;
}

std::string FoldUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    FoldedPieces pieces(text);
    char piece[4];
    while (const size_t n = pieces.Next(piece))
        out.append(piece, n);
    return out;
}

bool EqualFolded(std::string_view a, std::string_view b) {
    // Folding keeps the length of every character's encoding (each small form is
    // encoded in as many bytes as its capital), so texts of other lengths differ.
    if (a.size() != b.size())
        return false;
    FoldedPieces left(a);
    FoldedPieces right(b);
    char l[4];
    char r[4];
    size_t ln = 0, lp = 0, rn = 0, rp = 0; // bytes in each piece, and how many compared
    for (;;) {
        if (lp == ln) {
            ln = left.Next(l);
            lp = 0;
        }
        if (rp == rn) {
            rn = right.Next(r);
            rp = 0;
        }
        if (ln == 0 || rn == 0)
            return ln == 0 && rn == 0;
        while (lp < ln && rp < rn) {
            if (l[lp++] != r[rp++])
                return false;
        }
    }
}

std::uint64_t HashBytes(std::string_view bytes) {
    Fnv1a hash;
    for (const char c : bytes)
        hash.Add(static_cast<unsigned char>(c));
    return hash.Value();
}

std::uint64_t FoldedHash(std::string_view text) {
    Fnv1a hash;
    FoldedPieces pieces(text);
    char piece[4];
    while (const size_t n = pieces.Next(piece)) {
        for (size_t k = 0; k < n; ++k)
            hash.Add(static_cast<unsigned char>(piece[k]));
    }
    return hash.Value();
}

} // namespace platform
