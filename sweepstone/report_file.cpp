#include "report_file.h"

#include "command_line.h"

namespace sweepstone {
namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their C1 code points, as
// the system's own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool ValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        size_t more = 0;
        char32_t c = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        if (i + more >= text.size())
            return false;
        for (size_t k = 1; k <= more; ++k) {
            const auto n = static_cast<unsigned char>(text[i + k]);
            if ((n & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (n & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond U+10FFFF.
        if ((more == 2 && c < 0x800) || (more == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
            (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

// One line's text: tabs and line breaks would split the line.
std::string Field(std::string_view text) {
    std::string out = AsUtf8(text);
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return out;
}

} // namespace

std::string AsUtf8(std::string_view text) {
    if (ValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char32_t{b});
    }
    return out;
}

const char* OutcomeWord(Outcome outcome) {
    switch (outcome) {
    case Outcome::Removed:
        return "removed";
    case Outcome::Left:
        return "left";
    case Outcome::Refused:
        return "refused";
    case Outcome::NotFound:
        return "not found";
    case Outcome::AtRestart:
        break;
    }
    return "restart";
}

std::string ReportText(const ReportHeader& header, const RemovalReport& report) {
    std::string text = "\xEF\xBB\xBF"
                       "Uninstall report\r\n";
    text += "Program: " + Field(header.program) + "\r\n";
    text += "Uninstall log: " + Field(header.uninstallLog) + "\r\n";
    text += "Product: " + Field(header.productName) + "\r\n";
    text += "Exit code: " + std::to_string(header.exitCode) + " (" +
            ExitCodeMeaning(header.exitCode) + ")\r\n";
    if (!header.note.empty())
        text += "Note: " + Field(header.note) + "\r\n";
    text += "Removed: " + std::to_string(report.Count(Outcome::Removed)) +
            ", left: " + std::to_string(report.Count(Outcome::Left)) +
            ", refused: " + std::to_string(report.Count(Outcome::Refused)) +
            ", at the next restart: " + std::to_string(report.Count(Outcome::AtRestart)) + "\r\n";
    text += "\r\n";
    for (const ReportItem& item : report.items) {
        text += OutcomeWord(item.outcome);
        text += '\t';
        text += Field(item.item);
        if (item.outcome != Outcome::Removed) {
            text += '\t';
            text += Field(item.reason);
        }
        text += "\r\n";
    }
    return text;
}

} // namespace sweepstone
