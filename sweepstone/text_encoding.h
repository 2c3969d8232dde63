// Single-byte text as the wizard's users' Windows holds it (Windows-1252), and the
// conversions that the profile reader needs for UTF-16 files.
#pragma once

#include <string>
#include <string_view>

namespace sweepstone {

// Folds a Windows-1252 byte for comparison without regard to case: ASCII letters,
// the accented letters C0..DE (but not the multiplication sign D7), and the
// capitals S, OE and Z with caron and Y with diaeresis map to their small forms.
unsigned char FoldWindows1252(unsigned char c);

// UTF-16LE code units (an even number of bytes, no byte-order mark) to
// Windows-1252; a character that the code page cannot hold becomes "?", once per
// character (a surrogate pair is one character).
std::string Utf16LEToWindows1252(std::string_view units);

} // namespace sweepstone
