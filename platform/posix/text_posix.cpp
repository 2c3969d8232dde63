#include "platform/text.h"
#include "platform/unicode.h"

#include <locale.h>
#include <wctype.h>

namespace platform {

// Letters fold (FoldUtf8); the folded texts compare by code point, which is the
// order of their UTF-8 bytes. The Windows locale ordering differs only for
// punctuation and accented letters, which add-on folder names seldom hold.
int CompareNamesNoCase(const std::string& a, const std::string& b) {
    const int r = FoldUtf8(a).compare(FoldUtf8(b));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool SameNameNoCase(const std::string& a, const std::string& b) {
    return CompareNamesNoCase(a, b) == 0;
}

std::string AnsiToUtf8(std::string_view bytes) {
    return Windows1252ToUtf8(bytes);
}

std::string Utf8ToAnsi(std::string_view text) {
    return Utf8ToWindows1252(text);
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
