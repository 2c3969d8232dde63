// ProfileFile: the uninstall wizard's INI reader and section remover.
//
// It reads the way the Windows profile-file functions (GetPrivateProfileStringA,
// GetPrivateProfileSectionA, GetPrivateProfileSectionNamesA) read, and removes a
// section the way WritePrivateProfileStringA(section, NULL, NULL) does, but it is
// plain C++ over the file's bytes, so it behaves the same on every platform and has
// no fixed buffers: long values and long section lists are read whole.
//
// Reading rules (all of them pinned down by tests/profile_reading_test.cpp):
//  - CR LF, CR alone and LF alone end a line. Blanks (space, tab, VT, FF) around a
//    whole line are ignored.
//  - A line whose first non-blank character is "[" starts a section. The name ends at
//    the first "]" (text after it is ignored); a line without "]" still starts a
//    section whose name is the rest of the line. Blanks inside the brackets around
//    the name are dropped.
//  - A line whose first non-blank character is ";" is a comment: it is neither a key
//    nor part of GetPrivateProfileSection's result. "#" is no comment mark, and ";"
//    inside a key or value is data.
//  - In any other line of a section the key ends at the first "="; blanks around the
//    key and the value are dropped. "=value" is an entry with an empty key, "key=" an
//    entry with an empty value (not a missing one).
//  - A line without "=" is no key, but GetPrivateProfileSection lists it, and so
//    does SectionLines().
//  - Lines before the first section line belong to no reachable section.
//  - Section names and keys compare without regard to letter case (ASCII and the
//    letters of Windows-1252); values keep their case.
//  - A value enclosed in one matching pair of double or single quotation marks is
//    returned without them (by lookups, Entries and EntryTexts; SectionLines gives
//    the line's text, as the system's section reader does). Names keep their
//    quotation marks.
//  - A key repeated inside one section: a lookup returns the first line's value;
//    listings give every line. A repeated section: lookups see only the first copy,
//    even when it is empty; the name list holds every copy; copies are not merged.
//  - The section or key that a caller passes has spaces at both ends dropped; a
//    default has its trailing spaces dropped.
//  - A missing or unreadable file reads as a file without sections; opening never
//    creates it.
//
// Encodings: a file that starts with FF FE is UTF-16LE; its text is handed out in
// Windows-1252 ("?" for what that code page cannot hold) and edits write UTF-16LE
// back. A file that starts with EF BB BF (UTF-8 mark) has the mark skipped on
// reading and kept on writing; Windows itself would see the mark as part of line 1.
// Every other file is single-byte text handled as bytes: nothing is re-encoded (a
// UTF-16BE mark FE FF is not understood, as on Windows). NUL and Ctrl-Z bytes are
// data like any other.
//
// Removing a section removes its section line and its entry lines (with their line
// ends). Blank lines and comment lines inside it stay, as Windows keeps them; every
// byte outside the removed lines stays exactly as it was. The new content goes to a
// temporary file beside the original that then replaces it (platform::ReplaceFileContent),
// so the file is never seen half written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sweepstone {

// One entry line of a section: its key (blanks around it dropped) and its own value
// as a lookup returns it (blanks dropped, one pair of quotation marks stripped).
struct ProfileEntry {
    std::string key;
    std::string value;
    bool operator==(const ProfileEntry&) const = default;
};

// A parsed snapshot of one profile file's bytes. Parsing is linear in the size of
// the text and builds an index of sections, so that a walk over every section costs
// one parse, not one per lookup.
class ProfileDocument {
public:
    ProfileDocument() = default;
    explicit ProfileDocument(std::string bytes);

    // Every section name in file order, repeated names included (the list that
    // GetPrivateProfileSectionNamesA returns).
    std::vector<std::string> SectionNames() const;

    // True when a section of that name exists (a section without entries exists).
    bool HasSection(std::string_view section) const;

    // The value of the first line with `key` in the first section named `section`,
    // quotation marks stripped; `defaultValue` (trailing spaces dropped) when there
    // is none (GetPrivateProfileStringA).
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // As ReadString, but tells a missing key from a present one.
    bool FindString(std::string_view section, std::string_view key, std::string& value) const;

    // The keys of the first section of that name in file order, one per entry line
    // (repeated keys repeated): GetPrivateProfileStringA(section, NULL, ...).
    std::vector<std::string> KeyNames(std::string_view section) const;

    // The entry lines of the first section of that name, in file order, each with
    // its own value (a repeated key shows each line's value here).
    std::vector<ProfileEntry> Entries(std::string_view section) const;

    // The section as GetPrivateProfileSectionA gives it: one text per entry line
    // ("key=value", blanks around both dropped, quotation marks kept) and per line
    // without "=" (its trimmed text), in file order; comments and blank lines left out.
    std::vector<std::string> SectionLines(std::string_view section) const;

    // The section list of the removal sequence: for every entry line in file order,
    // key + "=" + the value that a lookup of that key yields (so a repeated key
    // shows the first line's value every time).
    std::vector<std::string> EntryTexts(std::string_view section) const;

    // The file's bytes with the named sections removed. Each name in `sections`
    // removes the first copy of that name still present, so a name given twice
    // removes two copies. Names without a section are ignored.
    std::string BytesWithout(const std::vector<std::string>& sections) const;

    // The bytes the document was made from.
    const std::string& Bytes() const { return bytes_; }

    enum class Encoding { Bytes, Utf8WithMark, Utf16LE };
    Encoding TextEncoding() const { return encoding_; }

private:
    enum class LineKind { Blank, Comment, Section, Entry, Text };
    struct Line {
        size_t begin = 0; // byte range in bytes_, line end included
        size_t end = 0;
        LineKind kind = LineKind::Blank;
        std::string name;  // section name, or entry key
        std::string value; // entry value (quotes kept), or the trimmed text of a Text line
    };
    struct Section {
        std::string name;
        std::string folded; // name folded for comparison
        size_t header = 0;  // index of the section line
        size_t endLine = 0; // one past its last line
    };

    static Line Classify(std::string_view text);
    const Section* FindSection(std::string_view section) const;

    std::string bytes_;
    Encoding encoding_ = Encoding::Bytes;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> firstByName_; // folded name -> first section
};

// The profile file at one path. Every call reads the file in its state at that
// moment; nothing is cached between calls. Opening never fails and never creates
// the file.
class ProfileFile {
public:
    explicit ProfileFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // A snapshot of the file now (empty when it is missing or unreadable). Use it
    // for a walk over many sections.
    ProfileDocument Load() const;
    // The same, telling a file that exists but cannot be read (locked, access
    // denied) apart from a missing one: `error` is set only for the first.
    ProfileDocument Load(std::error_code& error) const;

    std::vector<std::string> SectionNames() const { return Load().SectionNames(); }
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const {
        return Load().ReadString(section, key, defaultValue);
    }
    std::vector<ProfileEntry> Entries(std::string_view section) const {
        return Load().Entries(section);
    }
    std::vector<std::string> SectionLines(std::string_view section) const {
        return Load().SectionLines(section);
    }
    std::vector<std::string> EntryTexts(std::string_view section) const {
        return Load().EntryTexts(section);
    }

    // Removes the named sections in one rewrite (see ProfileDocument::BytesWithout).
    // A missing file, or no section of those names, writes nothing. When the file
    // cannot be replaced (read-only, locked, folder not writable, disk full) it stays
    // byte for byte as it was and the failure is returned.
    std::error_code RemoveSections(const std::vector<std::string>& sections) const;
    std::error_code RemoveSection(std::string_view section) const {
        return RemoveSections({std::string(section)});
    }

private:
    std::string path_;
};

} // namespace sweepstone
