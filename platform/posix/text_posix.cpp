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

std::string UpperCaseName(const std::string& name) {
    return MapUtf8(name, [](char32_t c) -> char32_t {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (utf8)
            return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), utf8));
        return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    });
}

} // namespace platform
