// The report file of /LOG="file": every item of the removal with what became of it,
// in UTF-8, one line per item, so that people read it and scripts parse it.
#pragma once

#include "removal_report.h"

#include <string>
#include <string_view>
#include <system_error>

namespace sweepstone {

// What the report says before its items.
struct ReportHeader {
    std::string program;      // the wizard's program file
    std::string uninstallLog; // the log it read
    std::string productName;
    int exitCode = 0;
    std::string note; // why nothing was removed (no log, cancelled); empty otherwise
};

// The report: a byte-order mark, then lines ended by CR LF: a title, "Name: value"
// lines of the header, the counts, a blank line, then one line per item in the order
// of the removal: the outcome word ("removed", "left", "refused", "restart"), a tab,
// the item, and for all but "removed" a tab and the reason. Tabs and line breaks
// inside texts become blanks; text that is not UTF-8 is read as Windows-1252.
std::string ReportText(const ReportHeader& header, const RemovalReport& report);

// The outcome word of a report line.
const char* OutcomeWord(Outcome outcome);

// `text` as UTF-8: kept when it already is valid UTF-8, otherwise every byte read
// as a Windows-1252 character.
std::string AsUtf8(std::string_view text);

} // namespace sweepstone
