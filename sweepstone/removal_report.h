// What the removal did with each item the uninstall log names. The window's final
// texts, the silent run's report file and its exit code are all read from this one
// record, so that they can never disagree.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace sweepstone {

enum class Outcome {
    Removed,   // gone now
    Left,      // still there; `reason` says why (in use, access denied, fault ...)
    Refused,   // never touched: a safety rule forbids it; `reason` names the rule
    AtRestart, // in use now; Windows deletes it at the next restart
    NotFound,  // named by the log but not there to remove (a title no area has)
    Opened,    // the [Run] file, handed to the desktop's shell
    NotOpened, // the [Run] file, not opened; `reason` says why
};

struct ReportItem {
    Outcome outcome = Outcome::Removed;
    std::string item;   // as the log names it, e.g. "C:\\Product" or "HKLM\\SOFTWARE\\Maker"
    std::string reason; // empty for Removed
    bool operator==(const ReportItem&) const = default;
};

struct RemovalReport {
    std::vector<ReportItem> items;

    void Add(Outcome outcome, std::string item, std::string reason = {}) {
        items.push_back({outcome, std::move(item), std::move(reason)});
    }
    size_t Count(Outcome outcome) const {
        size_t n = 0;
        for (const ReportItem& i : items)
            n += i.outcome == outcome ? 1 : 0;
        return n;
    }
    // Left and refused items: what the user must know is still there.
    bool AnythingLeft() const { return Count(Outcome::Left) + Count(Outcome::Refused) > 0; }
    bool RestartNeeded() const { return Count(Outcome::AtRestart) > 0; }
};

} // namespace sweepstone
