// libFuzzer target for decoding, reading, scenery title matching and section
// removal, all in memory (nothing touches the disk per input). The first byte of the
// input chooses which sections to remove, the rest is the file. Checks:
//  - every reading call finishes on any input (the sanitizers watch memory);
//  - decoding: whatever the encoding (UTF-16LE or UTF-8 by their marks, the ANSI
//    code page otherwise) and however ill-formed the bytes, every name and text
//    comes out as well-formed UTF-8;
//  - title matching: with a log text made of some of the file's own titles and
//    noise, exactly the areas whose title (as a lookup by name reads it) occurs in
//    the text are marked, and removing them by position gives the same bytes as
//    removing them by name;
//  - the removal keeps every byte outside the removed lines: an independent line
//    splitter here finds exactly the lines of the removed section copies missing
//    (section line, entry lines and lines without "="; blank lines and comments
//    stay), and every other byte in order;
//  - a re-read of the result agrees: the remaining section names in order, and the
//    lines and entries of the first two sections whose first copy was kept.
#include "profile_reader.h"
#include "scenery_library.h"

#include "platform/unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

using ProfileReader = testing_support::ProfileReader;

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "profile fuzz check failed: %s\n", what);
        std::abort();
    }
}

struct OracleLine {
    size_t begin;
    size_t end;
    char kind; // 's' section line, 'b' blank, 'c' comment, 'x' any other
};

// The file's lines by the rules, written independently of the reader: byte or
// UTF-16LE units, CR LF / CR / LF ends, blanks are space, tab, VT and FF.
std::vector<OracleLine> Lines(const std::string& bytes, size_t& prefix) {
    size_t unit = 1;
    prefix = 0;
    if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
        unit = 2;
        prefix = 2;
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        prefix = 3;
    }
    auto at = [&](size_t i) -> unsigned {
        unsigned v = static_cast<unsigned char>(bytes[i]);
        if (unit == 2)
            v |= static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        return v;
    };
    const size_t limit = prefix + (bytes.size() - prefix) / unit * unit;
    std::vector<OracleLine> lines;
    size_t pos = prefix;
    while (pos < bytes.size()) {
        OracleLine line{pos, pos, 'b'};
        size_t i = pos;
        bool seenText = false;
        for (; i < limit && at(i) != '\r' && at(i) != '\n'; i += unit) {
            const unsigned c = at(i);
            const bool blank = c == ' ' || c == '\t' || c == '\v' || c == '\f';
            if (!seenText && !blank) {
                seenText = true;
                line.kind = c == '[' ? 's' : (c == ';' ? 'c' : 'x');
            }
        }
        if (i < limit) {
            const bool cr = at(i) == '\r';
            i += unit;
            if (cr && i < limit && at(i) == '\n')
                i += unit;
        } else {
            i = bytes.size();
        }
        line.end = i;
        pos = i;
        lines.push_back(line);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const unsigned selector = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const ProfileReader doc(bytes);

    // Reading never fails, and every text it gives is well-formed UTF-8. Every name
    // is checked; the lookups of every key only in the first sections (the re-read
    // below lists every kept section's lines and entries), which keeps an input cheap.
    const std::vector<std::string> names = doc.SectionNames();
    // Each name folded once; the oracle compares these, not the reader's own lookups.
    std::vector<std::string> foldedNames;
    foldedNames.reserve(names.size());
    for (const std::string& name : names)
        foldedNames.push_back(platform::FoldUtf8(name));
    std::unordered_set<std::string_view> folded;
    std::string logText = "noise \xC3 ";
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        Check(platform::IsUtf8(name), "section names are UTF-8");
        if (!folded.insert(foldedNames[i]).second)
            continue; // a later copy reads as the first one
        if (folded.size() <= 4) {
            for (const testing_support::ProfileEntry& entry : doc.Entries(name))
                Check(platform::IsUtf8(entry.key) && platform::IsUtf8(entry.value),
                      "keys and values are UTF-8");
            const std::vector<std::string> keys = doc.KeyNames(name);
            for (size_t k = 0; k < keys.size() && k < 8; ++k)
                Check(platform::IsUtf8(doc.ReadString(name, keys[k], "default")),
                      "looked-up values are UTF-8");
        }
        std::string title;
        if ((selector + i) % 3 == 0 && doc.FindString(name, "Title", title))
            logText += title + "|";
    }

    // Title matching in memory against the lookups by name.
    // The simulator's own areas are kept whatever the text holds.
    std::vector<size_t> kept;
    const std::vector<size_t> marked = sweepstone::MarkedAreas(doc, logText, {}, &kept);
    std::vector<std::string> markedNames;
    size_t next = 0;
    size_t nextKept = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string title;
        std::string local;
        const bool occurs = doc.FindString(names[i], "Title", title) && !title.empty() &&
                            logText.find(title) != std::string::npos;
        const bool isDefault =
            doc.FindString(names[i], "Local", local) && sweepstone::IsDefaultArea(local, {});
        const bool got = next < marked.size() && marked[next] == i;
        const bool keptHere = nextKept < kept.size() && kept[nextKept] == i;
        Check(got == (occurs && !isDefault), "marked exactly the areas whose title occurs");
        Check(keptHere == (occurs && isDefault),
              "kept exactly the default areas whose title occurs");
        nextKept += keptHere ? 1 : 0;
        if (got) {
            ++next;
            markedNames.push_back(names[i]);
        }
    }
    Check(next == marked.size() && nextKept == kept.size(), "marked areas in file order");
    Check(doc.BytesWithoutSections(marked) == doc.BytesWithout(markedNames),
          "removal by position and by name agree");

    // Choose the names to remove: the selector's bits pick among the first eight,
    // bit 7 also asks for the first name once more (a second copy, if any).
    std::vector<std::string> remove;
    for (size_t i = 0; i < names.size() && i < 7; ++i) {
        if (selector & (1u << i))
            remove.push_back(names[i]);
    }
    if ((selector & 0x80) && !names.empty())
        remove.push_back(names.front());
    remove.push_back("\x01 no such section");

    // Which copies go: each request takes the first copy of its name still there.
    std::vector<bool> removed(names.size(), false);
    for (const std::string& r : remove) {
        const std::string foldedRequest = platform::FoldUtf8(r);
        for (size_t i = 0; i < names.size(); ++i) {
            if (!removed[i] && foldedNames[i] == foldedRequest) {
                removed[i] = true;
                break;
            }
        }
    }

    const std::string out = doc.BytesWithout(remove);

    // The expected bytes, from the independent line splitter.
    size_t prefix = 0;
    const std::vector<OracleLine> lines = Lines(bytes, prefix);
    std::string expected = bytes.substr(0, lines.empty() ? bytes.size() : prefix);
    long section = -1;
    for (const OracleLine& line : lines) {
        if (line.kind == 's')
            ++section;
        const bool inRemoved = section >= 0 && removed[static_cast<size_t>(section)];
        if (!(inRemoved && (line.kind == 's' || line.kind == 'x')))
            expected.append(bytes, line.begin, line.end - line.begin);
    }
    Check(section + 1 == static_cast<long>(names.size()), "section lines counted alike");
    Check(out == expected, "only the removed sections' lines are gone");

    // Re-read. Removing lines can put a byte-order mark at the start of a file
    // that had none (its first line gone, the next one starting with FF FE or
    // EF BB BF); the bytes are still right, but the file now reads differently,
    // as it would for the system's functions.
    const ProfileReader again(out);
    if (again.TextEncoding() != doc.TextEncoding())
        return 0;
    std::vector<std::string> left;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!removed[i])
            left.push_back(names[i]);
    }
    Check(again.SectionNames() == left, "remaining section names in order");
    // The lines and entries of the first kept sections (a handful keeps an input
    // cheap; the names above cover every section).
    std::unordered_set<std::string_view> seen;
    size_t compared = 0;
    for (size_t i = 0; i < names.size() && compared < 2; ++i) {
        const bool firstCopy = seen.insert(foldedNames[i]).second;
        if (removed[i] || !firstCopy)
            continue;
        ++compared;
        const std::vector<std::string> lines = doc.SectionLines(names[i]);
        for (const std::string& line : lines)
            Check(platform::IsUtf8(line), "section lines are UTF-8");
        Check(again.SectionLines(names[i]) == lines, "kept section lines");
        Check(again.EntryTexts(names[i]) == doc.EntryTexts(names[i]), "kept entries");
    }
    return 0;
}
