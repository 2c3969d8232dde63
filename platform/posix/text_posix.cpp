#include "platform/text.h"

#include <locale.h>
#include <wctype.h>

namespace platform {
namespace {

unsigned char Fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

} // namespace

// ASCII letters fold; other bytes compare by value. The Windows locale ordering
// differs only for punctuation and accented letters, which add-on folder names
// seldom hold.
int CompareNamesNoCase(const std::string& a, const std::string& b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = Fold(static_cast<unsigned char>(a[i]));
        const unsigned char y = Fold(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameNameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareNamesNoCase(a, b) == 0;
}

namespace {

// Decodes one UTF-8 character at `i`; a byte that starts no valid sequence stands
// for itself (returned as a negative value so that it is copied unchanged).
long DecodeUtf8(const std::string& s, size_t& i) {
    const auto byte = [&s](size_t k) {
        return static_cast<unsigned char>(s[k]);
    };
    const unsigned char c = byte(i);
    const int length = c < 0x80         ? 1
                       : (c >> 5) == 6  ? 2
                       : (c >> 4) == 14 ? 3
                       : (c >> 3) == 30 ? 4
                                        : 0;
    if (length == 0 || i + static_cast<size_t>(length) > s.size()) {
        ++i;
        return -static_cast<long>(c) - 1;
    }
    long code = length == 1 ? c : c & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + static_cast<size_t>(k)) & 0xC0) != 0x80) {
            ++i;
            return -static_cast<long>(c) - 1;
        }
        code = (code << 6) | (byte(i + static_cast<size_t>(k)) & 0x3F);
    }
    i += static_cast<size_t>(length);
    return code;
}

void EncodeUtf8(long code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string FoldCase(const std::string& name) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size();) {
        const long code = DecodeUtf8(name, i);
        if (code < 0) {
            out += static_cast<char>(-code - 1);
            continue;
        }
        long upper = code;
        if (utf8)
            upper = static_cast<long>(towupper_l(static_cast<wint_t>(code), utf8));
        else if (code >= 'a' && code <= 'z')
            upper = code - 'a' + 'A';
        EncodeUtf8(upper, out);
    }
    return out;
}

} // namespace platform
