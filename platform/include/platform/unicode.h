// Text inside both programs is UTF-8. These routines are plain C++ and behave the
// same on every system: the decoders that turn a file's bytes into UTF-8, and the
// case folding under which names compare.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Appends one character as UTF-8; a value that is no character (a surrogate, or
// beyond U+10FFFF) is appended as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// UTF-16LE code units (two bytes each, no byte-order mark) to UTF-8. A lone
// surrogate becomes U+FFFD; an odd last byte is ignored.
std::string Utf16LEToUtf8(std::string_view bytes);

// Windows-1252 bytes to UTF-8; the five bytes the code page leaves undefined map
// to the C1 controls of the same number, as the system's own conversion does.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252; a character the code page lacks becomes "?".
std::string Utf8ToWindows1252(std::string_view text);

// UTF-8 with every ill-formed sequence (a stray or missing continuation byte, an
// overlong form, a surrogate, a value beyond U+10FFFF) replaced by U+FFFD, one per
// maximal bad part, as the system's UTF-8 decoder does. Well-formed text comes back
// unchanged.
std::string SanitizedUtf8(std::string_view bytes);

// True when `bytes` is well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

// Simple case folding of one character for names that compare without regard to
// case: ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and the full-width Latin
// letters map their capitals to the small forms; everything else stays. Folding
// is towards the small letters; platform::UpperCaseName (text.h) is the system's
// own comparison form, towards the capitals.
char32_t FoldToSmall(char32_t c);

// Every character of UTF-8 text through `map`; ill-formed bytes stay as they are.
std::string MapUtf8(std::string_view text, char32_t (*map)(char32_t));

// Every character of UTF-8 text folded with FoldToSmall; ill-formed bytes stay as
// they are.
std::string FoldUtf8(std::string_view text);

// FoldUtf8(a) == FoldUtf8(b), without building either string.
bool EqualFolded(std::string_view a, std::string_view b);

// The one hash of both programs: 64-bit FNV-1a, fed a byte at a time, so that a
// caller can hash bytes it makes on the way without building them.
class Fnv1a {
public:
    void Add(unsigned char byte) {
        value_ ^= byte;
        value_ *= 1099511628211ull;
    }
    std::uint64_t Value() const { return value_; }

private:
    std::uint64_t value_ = 14695981039346656037ull;
};

// Fnv1a over `bytes`.
std::uint64_t HashBytes(std::string_view bytes);

// HashBytes(FoldUtf8(text)), without building the folded text: texts that are
// EqualFolded hash alike.
std::uint64_t FoldedHash(std::string_view text);

} // namespace platform
