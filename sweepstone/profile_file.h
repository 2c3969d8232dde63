// ProfileFile: the uninstall wizard's INI reader, for the uninstall log and the
// scenery library.
//
// It reads the way the Windows profile-file functions (GetPrivateProfileStringA,
// GetPrivateProfileSectionA, GetPrivateProfileSectionNamesA) read, and gives the
// file's bytes without chosen sections as WritePrivateProfileStringA(section, NULL,
// NULL) would leave them, but it is plain C++ over the file's bytes, so it behaves
// the same on every platform and has no fixed buffers: long values and long section
// lists are read whole.
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
//  - A line without "=" is no key (LineType::Text), but GetPrivateProfileSection
//    lists it.
//  - Lines before the first section line belong to no reachable section.
//  - Section names and keys compare without regard to letter case (platform::UpperCaseName:
//    ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic, full-width Latin); values keep
//    their case.
//  - A value enclosed in one matching pair of double or single quotation marks is
//    returned without them (by lookups and EntryTexts; the line view gives the
//    value as written, as the system's section reader does). Names keep their
//    quotation marks.
//  - A key repeated inside one section: a lookup returns the first line's value;
//    listings give every line. A repeated section: lookups see only the first copy,
//    even when it is empty; the name list holds every copy; copies are not merged.
//  - The section or key that a caller passes has spaces at both ends dropped; a
//    default has its trailing spaces dropped.
//  - A missing or unreadable file reads as a file without sections; opening never
//    creates it.
//
// Encodings: every name, key and value comes out as UTF-8, decoded by the file's
// mark, as the profile functions decode it before they read:
//  - FF FE: UTF-16LE (a lone surrogate becomes U+FFFD);
//  - EF BB BF: UTF-8 (ill-formed bytes become U+FFFD). The system's profile
//    functions would read such a file in the ANSI code page and see the mark as part
//    of line 1; a log written as UTF-8 with a mark is read as its author meant;
//  - no mark: the system's ANSI code page (platform::AnsiToUtf8), as
//    GetPrivateProfileStringW reads such a file. A UTF-16BE mark FE FF is not
//    understood, as on Windows.
// Lines are found before decoding (CR and LF are never part of another character in
// any of these encodings). Edits never re-encode: the lines that stay keep their
// bytes, the mark included. NUL and Ctrl-Z are data like any other character.
//
// Without a section, its section line and its entry lines (with their line ends)
// are gone. Blank lines and comment lines inside it stay, as Windows keeps them;
// every byte outside the removed lines stays exactly as it was. The scenery
// library's edit (scenery_library.h) writes such bytes through
// platform::ReplaceFileContent, so the file is never seen half written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace sweepstone {

// A parsed snapshot of one profile file's bytes. Parsing is linear in the size of
// the text and builds an index of sections, so that a walk over every section costs
// one parse, not one per lookup.
class ProfileDocument {
public:
    ProfileDocument() = default;
    explicit ProfileDocument(std::string bytes);

    // The value of the first line with `key` in the first section named `section`,
    // quotation marks stripped; `defaultValue` (trailing spaces dropped) when there
    // is none (GetPrivateProfileStringA).
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // The section list of the removal sequence: for every entry line in file order,
    // key + "=" + the value that a lookup of that key yields (so a repeated key
    // shows the first line's value every time).
    std::vector<std::string> EntryTexts(std::string_view section) const;

    // The sections by position, in file order (every copy of a repeated name counts:
    // the list that GetPrivateProfileSectionNamesA returns).
    size_t SectionCount() const { return sections_.size(); }
    std::string_view SectionName(size_t index) const;
    // The value of `key` as a lookup of that section's name yields it (the first
    // copy of the name answers for every copy), quotation marks stripped; the view
    // lives as long as the document.
    bool FindValue(size_t index, std::string_view key, std::string_view& value) const;
    // The file's bytes without the sections at these positions (positions past the
    // end are passed over).
    std::string BytesWithoutSections(const std::vector<size_t>& indices) const;

    // The document line by line, for a check of the file: index i is line i + 1 of
    // the file, blank and comment lines included, so that findings can name lines.
    enum class LineType : unsigned char { Blank, Comment, Section, Entry, Text };
    struct LineView {
        LineType type = LineType::Blank;
        std::string_view name;  // a section's name or an entry's key
        std::string_view value; // an entry's value as written (quotation marks kept),
                                // or a text line's trimmed text
    };
    size_t LineCount() const { return lines_.size(); }
    LineView LineAt(size_t index) const;
    // The line's bytes without its line end, and the same decoded to UTF-8 (made on
    // request: the reader itself keeps only offsets).
    std::string_view LineBytes(size_t index) const;
    std::string LineText(size_t index) const;
    // The line index of section `index`'s section line, and the position of the first
    // section of the same name (the copy that every lookup of that name reads).
    size_t SectionLine(size_t index) const { return sections_[index].header; }
    size_t FirstCopyOf(size_t index) const { return sections_[index].first; }
    // A value as lookups give it: one pair of enclosing quotation marks dropped.
    static std::string_view LookupValue(std::string_view written);

    enum class Encoding { Bytes, Utf8WithMark, Utf16LE };
    Encoding TextEncoding() const { return encoding_; }

private:
    using LineKind = LineType;
    // Offsets into bytes_ (the line's raw bytes, its end included) and into the
    // decoded text (Text()); no line owns memory of its own.
    // 32-bit offsets keep the index small; a file of 1 GB or more reads as empty.
    struct Line {
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        std::uint32_t nameBegin = 0;  // section name, or entry key
        std::uint32_t valueBegin = 0; // entry value (quotes kept), or the trimmed text
        std::uint32_t nameLength = 0;
        std::uint32_t valueLength = 0;
        LineKind kind = LineKind::Blank;
    };
    struct Section {
        size_t header = 0;  // index of the section line
        size_t endLine = 0; // one past its last line
        size_t first = 0;   // index of the first section of the same name
        size_t hash = 0;    // of the folded name
    };

    std::string_view Text() const { return textIsBytes_ ? std::string_view(bytes_) : text_; }
    std::string_view NameOf(const Line& line) const {
        return Text().substr(line.nameBegin, line.nameLength);
    }
    std::string_view ValueOf(const Line& line) const {
        return Text().substr(line.valueBegin, line.valueLength);
    }
    void Classify(Line& line, size_t textBegin, size_t textEnd) const;
    void IndexSections();
    const Section* FindSection(std::string_view section) const;
    std::string Cut(const std::vector<bool>& removed) const;

    std::string bytes_;
    std::string text_;        // the decoded text, unless the bytes are it already
    bool textIsBytes_ = true; // ASCII or well-formed UTF-8 needs no copy
    Encoding encoding_ = Encoding::Bytes;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::vector<size_t> table_; // open addressing over first copies: index + 1, 0 free
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

private:
    std::string path_;
};

} // namespace sweepstone
