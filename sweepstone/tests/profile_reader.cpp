#include "profile_reader.h"

#include "platform/file_replace.h"
#include "platform/unicode.h"

namespace testing_support {

using LineType = sweepstone::ProfileDocument::LineType;

std::vector<std::string> ProfileReader::SectionNames() const {
    std::vector<std::string> names;
    for (size_t i = 0; i < SectionCount(); ++i)
        names.emplace_back(SectionName(i));
    return names;
}

size_t ProfileReader::FirstSection(std::string_view section) const {
    while (!section.empty() && section.front() == ' ')
        section.remove_prefix(1);
    while (!section.empty() && section.back() == ' ')
        section.remove_suffix(1);
    for (size_t i = 0; i < SectionCount(); ++i) {
        if (FirstCopyOf(i) == i && platform::EqualFolded(SectionName(i), section))
            return i;
    }
    return SectionCount();
}

size_t ProfileReader::EndLine(size_t index) const {
    return index + 1 < SectionCount() ? SectionLine(index + 1) : LineCount();
}

bool ProfileReader::HasSection(std::string_view section) const {
    return FirstSection(section) < SectionCount();
}

bool ProfileReader::FindString(std::string_view section, std::string_view key,
                               std::string& value) const {
    const size_t s = FirstSection(section);
    std::string_view found;
    if (s == SectionCount() || !FindValue(s, key, found))
        return false;
    value.assign(found);
    return true;
}

std::vector<std::string> ProfileReader::KeyNames(std::string_view section) const {
    std::vector<std::string> keys;
    for (const ProfileEntry& entry : Entries(section))
        keys.push_back(entry.key);
    return keys;
}

std::vector<ProfileEntry> ProfileReader::Entries(std::string_view section) const {
    std::vector<ProfileEntry> entries;
    const size_t s = FirstSection(section);
    if (s == SectionCount())
        return entries;
    for (size_t i = SectionLine(s) + 1; i < EndLine(s); ++i) {
        const LineView line = LineAt(i);
        if (line.type == LineType::Entry)
            entries.push_back({std::string(line.name), std::string(LookupValue(line.value))});
    }
    return entries;
}

std::vector<std::string> ProfileReader::SectionLines(std::string_view section) const {
    std::vector<std::string> texts;
    const size_t s = FirstSection(section);
    if (s == SectionCount())
        return texts;
    for (size_t i = SectionLine(s) + 1; i < EndLine(s); ++i) {
        const LineView line = LineAt(i);
        if (line.type == LineType::Entry)
            texts.push_back(std::string(line.name) + "=" + std::string(line.value));
        else if (line.type == LineType::Text)
            texts.emplace_back(line.value);
    }
    return texts;
}

std::vector<size_t> ProfileReader::SectionsNamed(const std::vector<std::string>& sections) const {
    std::vector<size_t> chosen;
    std::vector<bool> taken(SectionCount(), false);
    for (const std::string& name : sections) {
        const size_t first = FirstSection(name);
        for (size_t i = first; i < SectionCount(); ++i) {
            if (FirstCopyOf(i) == first && !taken[i]) {
                taken[i] = true;
                chosen.push_back(i);
                break;
            }
        }
    }
    return chosen;
}

ProfileReader ReadProfile(const std::string& path) {
    return ProfileReader(sweepstone::ProfileFile(path).Load());
}

std::error_code RemoveSections(const std::string& path, const std::vector<std::string>& sections) {
    const ProfileReader document = ReadProfile(path);
    const std::vector<size_t> chosen = document.SectionsNamed(sections);
    if (chosen.empty())
        return {};
    return platform::ReplaceFileContent(path, document.BytesWithoutSections(chosen));
}

} // namespace testing_support
