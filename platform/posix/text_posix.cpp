#include "platform/text.h"

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

} // namespace platform
