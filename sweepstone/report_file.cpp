#include "report_file.h"

#include "command_line.h"

#include "platform/unicode.h"

namespace sweepstone {
namespace {

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
    return platform::IsUtf8(text) ? std::string(text) : platform::Windows1252ToUtf8(text);
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
    case Outcome::Opened:
        return "opened";
    case Outcome::NotOpened:
        return "not opened";
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
        if (!item.reason.empty() ||
            (item.outcome != Outcome::Removed && item.outcome != Outcome::Opened)) {
            text += '\t';
            text += Field(item.reason);
        }
        text += "\r\n";
    }
    return text;
}

} // namespace sweepstone
