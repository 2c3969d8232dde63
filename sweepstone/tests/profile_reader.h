// The tests' questions to a profile file by section name, as the system's profile
// functions are asked them (GetPrivateProfileSectionNames, GetPrivateProfileString
// with no key, GetPrivateProfileSection, WritePrivateProfileString(section, NULL,
// NULL)). Built only on what the wizard itself calls of ProfileDocument (sections by
// position, FindValue, the line view, BytesWithoutSections), so that every answer
// comes from the reader's one parse.
#pragma once

#include "profile_file.h"

#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace testing_support {

// One entry line of a section: its key and its own value as a lookup returns it.
struct ProfileEntry {
    std::string key;
    std::string value;
    bool operator==(const ProfileEntry&) const = default;
};

class ProfileReader : public sweepstone::ProfileDocument {
public:
    ProfileReader() = default;
    explicit ProfileReader(std::string bytes) : ProfileDocument(std::move(bytes)) {}
    explicit ProfileReader(sweepstone::ProfileDocument document)
        : ProfileDocument(std::move(document)) {}

    // Every section name in file order, repeated names included.
    std::vector<std::string> SectionNames() const;
    bool HasSection(std::string_view section) const;
    // As ReadString, telling a missing key from a present one.
    bool FindString(std::string_view section, std::string_view key, std::string& value) const;
    // The first section of that name: the key of every entry line, in file order.
    std::vector<std::string> KeyNames(std::string_view section) const;
    // The same with each line's own value (quotation marks stripped).
    std::vector<ProfileEntry> Entries(std::string_view section) const;
    // GetPrivateProfileSection's texts: "key=value" (quotation marks kept) per entry
    // line and the trimmed text of a line without "=".
    std::vector<std::string> SectionLines(std::string_view section) const;
    // Each name takes the first copy of that name not taken yet; names without a
    // section are passed over.
    std::vector<size_t> SectionsNamed(const std::vector<std::string>& sections) const;
    std::string BytesWithout(const std::vector<std::string>& sections) const {
        return BytesWithoutSections(SectionsNamed(sections));
    }

private:
    // The position of the first section of that name (spaces around it dropped), or
    // SectionCount() when there is none.
    size_t FirstSection(std::string_view section) const;
    // One past the last line of section `index`.
    size_t EndLine(size_t index) const;
};

// The file as it is now.
ProfileReader ReadProfile(const std::string& path);

// Removes the named sections (SectionsNamed) in one replacement of the file; writes
// nothing when none of them is there.
std::error_code RemoveSections(const std::string& path, const std::vector<std::string>& sections);

} // namespace testing_support
