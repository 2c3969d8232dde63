#include "profile_file.h"

#include "platform/file_replace.h"
#include "platform/files.h"
#include "text_encoding.h"

#include <utility>

namespace sweepstone {
namespace {

// Blanks that the profile functions drop around lines, names and values. CR and LF
// never reach here: they end lines.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// A caller's section or key loses spaces (only spaces) at both ends.
std::string_view TrimSpaces(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.substr(b, e - b);
}

std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(FoldWindows1252(static_cast<unsigned char>(c)));
    return out;
}

bool SameFolded(std::string_view folded, std::string_view other) {
    if (folded.size() != other.size())
        return false;
    for (size_t i = 0; i < folded.size(); ++i) {
        if (static_cast<unsigned char>(folded[i]) !=
            FoldWindows1252(static_cast<unsigned char>(other[i])))
            return false;
    }
    return true;
}

// One matching pair of quotation marks around the whole value goes.
std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return std::string(value.substr(1, value.size() - 2));
    return std::string(value);
}

} // namespace

// What one line of text is, by its first non-blank character.
ProfileDocument::Line ProfileDocument::Classify(std::string_view text) {
    Line line;
    const std::string_view s = TrimBlanks(text);
    if (s.empty()) {
        line.kind = LineKind::Blank;
    } else if (s.front() == '[') {
        // The name ends at the first "]"; without one, the rest of the line is the name.
        line.kind = LineKind::Section;
        std::string_view name = s.substr(1);
        const size_t close = name.find(']');
        if (close != std::string_view::npos)
            name = name.substr(0, close);
        line.name = TrimBlanks(name);
    } else if (s.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (const size_t eq = s.find('='); eq != std::string_view::npos) {
        line.kind = LineKind::Entry;
        line.name = TrimBlanks(s.substr(0, eq));
        line.value = TrimBlanks(s.substr(eq + 1));
    } else {
        line.kind = LineKind::Text;
        line.value = s;
    }
    return line;
}

ProfileDocument::ProfileDocument(std::string bytes) : bytes_(std::move(bytes)) {
    size_t start = 0;
    size_t unit = 1;
    if (bytes_.size() >= 2 && static_cast<unsigned char>(bytes_[0]) == 0xFF &&
        static_cast<unsigned char>(bytes_[1]) == 0xFE) {
        encoding_ = Encoding::Utf16LE;
        start = 2;
        unit = 2;
    } else if (bytes_.size() >= 3 && static_cast<unsigned char>(bytes_[0]) == 0xEF &&
               static_cast<unsigned char>(bytes_[1]) == 0xBB &&
               static_cast<unsigned char>(bytes_[2]) == 0xBF) {
        encoding_ = Encoding::Utf8WithMark;
        start = 3;
    }

    const size_t size = bytes_.size();
    // The code unit at byte offset i (a byte, or a UTF-16LE unit).
    auto unitAt = [&](size_t i) -> unsigned {
        if (unit == 1)
            return static_cast<unsigned char>(bytes_[i]);
        return static_cast<unsigned char>(bytes_[i]) |
               (static_cast<unsigned>(static_cast<unsigned char>(bytes_[i + 1])) << 8);
    };
    // In a UTF-16 file an odd last byte is no unit; it stays with the last line.
    const size_t limit = start + (size - start) / unit * unit;

    size_t pos = start;
    while (pos < size) {
        const size_t lineBegin = pos;
        size_t textEnd = pos;
        while (textEnd < limit && unitAt(textEnd) != '\r' && unitAt(textEnd) != '\n')
            textEnd += unit;
        size_t lineEnd = textEnd;
        if (lineEnd < limit) {
            const bool cr = unitAt(lineEnd) == '\r';
            lineEnd += unit;
            if (cr && lineEnd < limit && unitAt(lineEnd) == '\n')
                lineEnd += unit;
        } else {
            lineEnd = size;
        }
        pos = lineEnd;

        std::string text;
        if (unit == 1)
            text.assign(bytes_, lineBegin, textEnd - lineBegin);
        else
            text = Utf16LEToWindows1252(
                std::string_view(bytes_).substr(lineBegin, textEnd - lineBegin));

        Line line = Classify(text);
        line.begin = lineBegin;
        line.end = lineEnd;

        if (line.kind == LineKind::Section) {
            if (!sections_.empty())
                sections_.back().endLine = lines_.size();
            Section section;
            section.name = line.name;
            section.folded = Fold(line.name);
            section.header = lines_.size();
            firstByName_.emplace(section.folded, sections_.size());
            sections_.push_back(std::move(section));
        }
        lines_.push_back(std::move(line));
    }
    if (!sections_.empty())
        sections_.back().endLine = lines_.size();
}

const ProfileDocument::Section* ProfileDocument::FindSection(std::string_view section) const {
    const auto found = firstByName_.find(Fold(TrimSpaces(section)));
    return found == firstByName_.end() ? nullptr : &sections_[found->second];
}

std::vector<std::string> ProfileDocument::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& s : sections_)
        names.push_back(s.name);
    return names;
}

bool ProfileDocument::HasSection(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool ProfileDocument::FindString(std::string_view section, std::string_view key,
                                 std::string& value) const {
    const Section* s = FindSection(section);
    if (!s)
        return false;
    const std::string folded = Fold(TrimSpaces(key));
    for (size_t i = s->header + 1; i < s->endLine; ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Entry && SameFolded(folded, line.name)) {
            value = Unquote(line.value);
            return true;
        }
    }
    return false;
}

std::string ProfileDocument::ReadString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue) const {
    std::string value;
    if (FindString(section, key, value))
        return value;
    while (!defaultValue.empty() && defaultValue.back() == ' ')
        defaultValue.remove_suffix(1);
    return std::string(defaultValue);
}

std::vector<std::string> ProfileDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section)) {
        for (size_t i = s->header + 1; i < s->endLine; ++i) {
            if (lines_[i].kind == LineKind::Entry)
                keys.push_back(lines_[i].name);
        }
    }
    return keys;
}

std::vector<ProfileEntry> ProfileDocument::Entries(std::string_view section) const {
    std::vector<ProfileEntry> entries;
    if (const Section* s = FindSection(section)) {
        for (size_t i = s->header + 1; i < s->endLine; ++i) {
            if (lines_[i].kind == LineKind::Entry)
                entries.push_back({lines_[i].name, Unquote(lines_[i].value)});
        }
    }
    return entries;
}

std::vector<std::string> ProfileDocument::SectionLines(std::string_view section) const {
    std::vector<std::string> texts;
    if (const Section* s = FindSection(section)) {
        for (size_t i = s->header + 1; i < s->endLine; ++i) {
            const Line& line = lines_[i];
            if (line.kind == LineKind::Entry)
                texts.push_back(line.name + "=" + line.value);
            else if (line.kind == LineKind::Text)
                texts.push_back(line.value);
        }
    }
    return texts;
}

std::vector<std::string> ProfileDocument::EntryTexts(std::string_view section) const {
    std::vector<std::string> texts;
    const Section* s = FindSection(section);
    if (!s)
        return texts;
    // The first line of each key answers every lookup of that key.
    std::unordered_map<std::string, std::string> firstValue;
    for (size_t i = s->header + 1; i < s->endLine; ++i) {
        const Line& line = lines_[i];
        if (line.kind != LineKind::Entry)
            continue;
        const auto it = firstValue.try_emplace(Fold(line.name), Unquote(line.value)).first;
        texts.push_back(line.name + "=" + it->second);
    }
    return texts;
}

std::string ProfileDocument::BytesWithout(const std::vector<std::string>& sections) const {
    // Every copy of each name, in file order; each request takes the next copy.
    std::unordered_map<std::string, std::vector<size_t>> copies;
    for (size_t i = 0; i < sections_.size(); ++i)
        copies[sections_[i].folded].push_back(i);
    std::unordered_map<std::string, size_t> taken;
    std::vector<bool> removed(sections_.size(), false);
    bool any = false;
    for (const std::string& name : sections) {
        const std::string folded = Fold(TrimSpaces(name));
        const auto found = copies.find(folded);
        if (found == copies.end())
            continue;
        size_t& next = taken[folded];
        if (next < found->second.size()) {
            removed[found->second[next++]] = true;
            any = true;
        }
    }
    if (!any)
        return bytes_;

    std::string out;
    out.reserve(bytes_.size());
    // The byte-order mark, if any, stands before the first line.
    out.append(bytes_, 0, lines_.empty() ? bytes_.size() : lines_.front().begin);
    size_t section = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        while (section < sections_.size() && sections_[section].endLine <= i)
            ++section;
        const Line& line = lines_[i];
        const bool inRemoved =
            section < sections_.size() && sections_[section].header <= i && removed[section];
        // Blank and comment lines of a removed section stay, as Windows keeps them.
        const bool drop =
            inRemoved && line.kind != LineKind::Blank && line.kind != LineKind::Comment;
        if (!drop)
            out.append(bytes_, line.begin, line.end - line.begin);
    }
    return out;
}

ProfileDocument ProfileFile::Load() const {
    std::error_code unused;
    return Load(unused);
}

ProfileDocument ProfileFile::Load(std::error_code& error) const {
    error.clear();
    if (!platform::FilePresent(path_))
        return ProfileDocument();
    std::string bytes;
    if ((error = platform::ReadWholeFile(path_, bytes)))
        return ProfileDocument();
    return ProfileDocument(std::move(bytes));
}

std::error_code ProfileFile::RemoveSections(const std::vector<std::string>& sections) const {
    const ProfileDocument document = Load();
    std::string bytes = document.BytesWithout(sections);
    if (bytes == document.Bytes())
        return {};
    return platform::ReplaceFileContent(path_, bytes);
}

} // namespace sweepstone
