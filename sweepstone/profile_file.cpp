#include "profile_file.h"

#include "platform/files.h"
#include "platform/text.h"
#include "platform/unicode.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace sweepstone {
namespace {

// Blanks that the profile functions drop around lines, names and values. CR and LF
// never reach here: they end lines.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
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

// Eight bytes at a time: a file's text is nearly always ASCII.
bool IsAscii(std::string_view s) {
    size_t i = 0;
    std::uint64_t high = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        high |= word;
    }
    for (; i < s.size(); ++i)
        high |= static_cast<unsigned char>(s[i]);
    return (high & 0x8080808080808080ull) == 0;
}

// Where the line starting at `pos` ends: its first CR or LF, or `size`.
size_t LineTextEnd(const char* data, size_t pos, size_t size) {
    const void* lf = std::memchr(data + pos, '\n', size - pos);
    const size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - data) : size;
    const void* cr = std::memchr(data + pos, '\r', end - pos);
    return cr ? static_cast<size_t>(static_cast<const char*>(cr) - data) : end;
}

size_t CountLineFeeds(std::string_view s) {
    size_t n = 0;
    for (size_t at = s.find('\n'); at != std::string_view::npos; at = s.find('\n', at + 1))
        ++n;
    return n;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

// Names compare after case folding; ASCII names, nearly all of them, fold in place,
// and a name looked up as the file spells it needs no folding at all.
bool SameName(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (LowerAscii(a[i]) != LowerAscii(b[i]))
                return false;
        }
        return true;
    }
    return platform::EqualFolded(a, b);
}

// The hash of the folded name (platform::FoldedHash), with ASCII folded in place.
size_t NameHash(std::string_view name) {
    std::uint64_t h = 0;
    if (IsAscii(name)) {
        platform::Fnv1a hash;
        for (const char c : name)
            hash.Add(static_cast<unsigned char>(LowerAscii(c)));
        h = hash.Value();
    } else {
        h = platform::FoldedHash(name);
    }
    return static_cast<size_t>(h ^ (h >> 29));
}

// One matching pair of quotation marks around the whole value goes.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

// What one line of text is, by its first non-blank character.
void ProfileDocument::Classify(Line& line, size_t textBegin, size_t textEnd) const {
    const std::string_view text = Text();
    size_t b = textBegin;
    size_t e = textEnd;
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    auto set = [&text](std::uint32_t& begin, std::uint32_t& length, size_t from, size_t to) {
        while (from < to && IsBlank(text[from]))
            ++from;
        while (to > from && IsBlank(text[to - 1]))
            --to;
        begin = static_cast<std::uint32_t>(from);
        length = static_cast<std::uint32_t>(to - from);
    };
    if (b == e) {
        line.kind = LineKind::Blank;
    } else if (text[b] == '[') {
        // The name ends at the first "]"; without one, the rest of the line is the name.
        line.kind = LineKind::Section;
        const void* close = std::memchr(text.data() + b + 1, ']', e - b - 1);
        const size_t nameEnd =
            close ? static_cast<size_t>(static_cast<const char*>(close) - text.data()) : e;
        set(line.nameBegin, line.nameLength, b + 1, nameEnd);
    } else if (text[b] == ';') {
        line.kind = LineKind::Comment;
    } else if (const void* eq = std::memchr(text.data() + b, '=', e - b)) {
        line.kind = LineKind::Entry;
        const size_t at = static_cast<size_t>(static_cast<const char*>(eq) - text.data());
        set(line.nameBegin, line.nameLength, b, at);
        set(line.valueBegin, line.valueLength, at + 1, e);
    } else {
        line.kind = LineKind::Text;
        set(line.valueBegin, line.valueLength, b, e);
    }
}

ProfileDocument::ProfileDocument(std::string bytes) : bytes_(std::move(bytes)) {
    // Offsets are 32-bit and a decoded text may grow by half again: such a file reads
    // as empty; no profile file of that size is ever meant.
    if (bytes_.size() >= 0x40000000u) {
        bytes_.clear();
        return;
    }
    size_t start = 0;
    const size_t size = bytes_.size();
    const auto byte = [this](size_t i) {
        return static_cast<unsigned char>(bytes_[i]);
    };
    if (size >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        encoding_ = Encoding::Utf16LE;
        start = 2;
    } else if (size >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
        encoding_ = Encoding::Utf8WithMark;
        start = 3;
    }
    const std::string_view content = std::string_view(bytes_).substr(start);
    // The decoded text is the bytes themselves when decoding changes nothing: text
    // without a mark that is all ASCII, or a UTF-8 file that is well-formed.
    textIsBytes_ = encoding_ == Encoding::Utf8WithMark ? platform::IsUtf8(content)
                   : encoding_ == Encoding::Bytes      ? IsAscii(content)
                                                       : false;
    if (!textIsBytes_)
        text_.reserve(content.size() + content.size() / 8);
    // One allocation for the line index: a line per line end, and one more.
    lines_.reserve(CountLineFeeds(content) + 1);

    if (encoding_ == Encoding::Utf16LE) {
        // In a UTF-16 file an odd last byte is no unit; it stays with the last line.
        const size_t limit = start + (size - start) / 2 * 2;
        auto unitAt = [this](size_t i) -> unsigned {
            return static_cast<unsigned char>(bytes_[i]) |
                   (static_cast<unsigned>(static_cast<unsigned char>(bytes_[i + 1])) << 8);
        };
        for (size_t pos = start; pos < size;) {
            Line line;
            line.begin = static_cast<std::uint32_t>(pos);
            size_t textEnd = pos;
            while (textEnd < limit && unitAt(textEnd) != '\r' && unitAt(textEnd) != '\n')
                textEnd += 2;
            size_t lineEnd = textEnd;
            if (lineEnd < limit) {
                const bool cr = unitAt(lineEnd) == '\r';
                lineEnd += 2;
                if (cr && lineEnd < limit && unitAt(lineEnd) == '\n')
                    lineEnd += 2;
            } else {
                lineEnd = size;
            }
            line.end = static_cast<std::uint32_t>(lineEnd);
            pos = lineEnd;
            const size_t textBegin = text_.size();
            text_ += platform::Utf16LEToUtf8(
                std::string_view(bytes_).substr(line.begin, textEnd - line.begin));
            Classify(line, textBegin, text_.size());
            lines_.push_back(line);
        }
    } else {
        const char* data = bytes_.data();
        for (size_t pos = start; pos < size;) {
            Line line;
            line.begin = static_cast<std::uint32_t>(pos);
            // The line ends at the first CR or LF; neither is ever part of another
            // character in UTF-8 or in any ANSI code page.
            const size_t textEnd = LineTextEnd(data, pos, size);
            size_t lineEnd = textEnd;
            if (lineEnd < size) {
                const bool cr = data[lineEnd] == '\r';
                ++lineEnd;
                if (cr && lineEnd < size && data[lineEnd] == '\n')
                    ++lineEnd;
            }
            line.end = static_cast<std::uint32_t>(lineEnd);
            pos = lineEnd;
            if (textIsBytes_) {
                Classify(line, line.begin, textEnd);
            } else {
                const std::string_view raw =
                    std::string_view(bytes_).substr(line.begin, textEnd - line.begin);
                const size_t textBegin = text_.size();
                if (IsAscii(raw))
                    text_ += raw;
                else if (encoding_ == Encoding::Utf8WithMark)
                    text_ += platform::SanitizedUtf8(raw);
                else
                    text_ += platform::AnsiToUtf8(raw);
                Classify(line, textBegin, text_.size());
            }
            lines_.push_back(line);
        }
    }
    IndexSections();
}

void ProfileDocument::IndexSections() {
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != LineKind::Section)
            continue;
        if (!sections_.empty())
            sections_.back().endLine = i;
        sections_.push_back({i, lines_.size(), 0});
    }
    size_t capacity = 16;
    while (capacity < sections_.size() * 2)
        capacity *= 2;
    table_.assign(capacity, 0);
    for (size_t s = 0; s < sections_.size(); ++s) {
        const std::string_view name = NameOf(lines_[sections_[s].header]);
        sections_[s].hash = NameHash(name);
        size_t slot = sections_[s].hash & (capacity - 1);
        sections_[s].first = s;
        while (table_[slot] != 0) {
            const size_t other = table_[slot] - 1;
            if (sections_[other].hash == sections_[s].hash &&
                SameName(NameOf(lines_[sections_[other].header]), name)) {
                sections_[s].first = other;
                break;
            }
            slot = (slot + 1) & (capacity - 1);
        }
        if (table_[slot] == 0)
            table_[slot] = s + 1;
    }
}

const ProfileDocument::Section* ProfileDocument::FindSection(std::string_view section) const {
    if (sections_.empty())
        return nullptr;
    const std::string_view name = TrimSpaces(section);
    const size_t hash = NameHash(name);
    const size_t mask = table_.size() - 1;
    for (size_t slot = hash & mask; table_[slot] != 0; slot = (slot + 1) & mask) {
        const Section& s = sections_[table_[slot] - 1];
        if (s.hash == hash && SameName(NameOf(lines_[s.header]), name))
            return &s;
    }
    return nullptr;
}

std::string_view ProfileDocument::SectionName(size_t index) const {
    return NameOf(lines_[sections_[index].header]);
}

bool ProfileDocument::FindValue(size_t index, std::string_view key, std::string_view& value) const {
    const Section& s = sections_[sections_[index].first];
    const std::string_view wanted = TrimSpaces(key);
    for (size_t i = s.header + 1; i < s.endLine; ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Entry && SameName(NameOf(line), wanted)) {
            value = Unquote(ValueOf(line));
            return true;
        }
    }
    return false;
}

std::string ProfileDocument::ReadString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue) const {
    std::string_view found;
    if (const Section* s = FindSection(section);
        s && FindValue(static_cast<size_t>(s - sections_.data()), key, found))
        return std::string(found);
    while (!defaultValue.empty() && defaultValue.back() == ' ')
        defaultValue.remove_suffix(1);
    return std::string(defaultValue);
}

std::vector<std::string> ProfileDocument::EntryTexts(std::string_view section) const {
    std::vector<std::string> texts;
    const Section* s = FindSection(section);
    if (!s)
        return texts;
    // The first line of each key answers every lookup of that key.
    struct FoldedName {
        size_t operator()(std::string_view name) const { return NameHash(name); }
        bool operator()(std::string_view a, std::string_view b) const { return SameName(a, b); }
    };
    std::unordered_map<std::string_view, std::string_view, FoldedName, FoldedName> firstValue;
    for (size_t i = s->header + 1; i < s->endLine; ++i) {
        const Line& line = lines_[i];
        if (line.kind != LineKind::Entry)
            continue;
        const std::string_view value =
            firstValue.try_emplace(NameOf(line), Unquote(ValueOf(line))).first->second;
        std::string text(NameOf(line));
        text += '=';
        text += value;
        texts.push_back(std::move(text));
    }
    return texts;
}

ProfileDocument::LineView ProfileDocument::LineAt(size_t index) const {
    const Line& line = lines_[index];
    LineView view;
    view.type = line.kind;
    if (line.kind == LineKind::Section || line.kind == LineKind::Entry)
        view.name = NameOf(line);
    if (line.kind == LineKind::Entry || line.kind == LineKind::Text)
        view.value = ValueOf(line);
    return view;
}

std::string_view ProfileDocument::LineBytes(size_t index) const {
    const Line& line = lines_[index];
    std::string_view raw = std::string_view(bytes_).substr(line.begin, line.end - line.begin);
    if (encoding_ == Encoding::Utf16LE) {
        while (raw.size() >= 2 && raw[raw.size() - 1] == '\0' &&
               (raw[raw.size() - 2] == '\n' || raw[raw.size() - 2] == '\r'))
            raw.remove_suffix(2);
    } else {
        while (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r'))
            raw.remove_suffix(1);
    }
    return raw;
}

std::string ProfileDocument::LineText(size_t index) const {
    const std::string_view raw = LineBytes(index);
    if (encoding_ == Encoding::Utf16LE)
        return platform::Utf16LEToUtf8(raw);
    if (IsAscii(raw))
        return std::string(raw);
    if (encoding_ == Encoding::Utf8WithMark)
        return platform::SanitizedUtf8(raw);
    return platform::AnsiToUtf8(raw);
}

std::string_view ProfileDocument::LookupValue(std::string_view written) {
    return Unquote(written);
}

std::string ProfileDocument::BytesWithoutSections(const std::vector<size_t>& indices) const {
    std::vector<bool> removed(sections_.size(), false);
    bool any = false;
    for (const size_t i : indices) {
        if (i < sections_.size())
            removed[i] = any = true;
    }
    return any ? Cut(removed) : bytes_;
}

std::string ProfileDocument::Cut(const std::vector<bool>& removed) const {
    std::string out;
    out.reserve(bytes_.size());
    // Kept bytes go in runs: bytes_[kept, next removed line) at a time. The
    // byte-order mark, if any, starts the first run.
    size_t kept = 0;
    for (size_t s = 0; s < sections_.size(); ++s) {
        if (!removed[s])
            continue;
        for (size_t i = sections_[s].header; i < sections_[s].endLine; ++i) {
            const Line& line = lines_[i];
            // Blank and comment lines of a removed section stay, as Windows keeps them.
            if (line.kind == LineKind::Blank || line.kind == LineKind::Comment)
                continue;
            out.append(bytes_, kept, line.begin - kept);
            kept = line.end;
        }
    }
    out.append(bytes_, kept, bytes_.size() - kept);
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

} // namespace sweepstone
