// Section removal: which lines go, that every other byte stays, the encodings, and
// how the file on disk is replaced.
#include "platform/files.h"
#include "profile_reader.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include "scoped_win32.h"
#endif

using testing_support::ProfileReader;
using testing_support::RemoveSections;
using Texts = std::vector<std::string>;

TEST(ProfileRemoval, RemovesExactlyTheSectionsLines) {
    struct Case {
        const char* behaviour;
        std::string before;
        Texts remove;
        std::string after;
    } cases[] = {
        {"a middle section", "[a]\nk=1\n[b]\nk=2\n[c]\nk=3\n", {"b"}, "[a]\nk=1\n[c]\nk=3\n"},
        {"the first section", "[a]\nk=1\n[b]\nk=2\n", {"a"}, "[b]\nk=2\n"},
        {"the last section without a final line end", "[a]\nk=1\n[b]\nk=2", {"b"}, "[a]\nk=1\n"},
        {"names compare without case", "[Area.002]\nk=1\n[x]\n", {"AREA.002"}, "[x]\n"},
        {"blank lines stay", "[a]\nk=1\n\n[b]\nk=2\n\n[c]\n", {"b"}, "[a]\nk=1\n\n\n[c]\n"},
        {"comment lines inside stay", "[a]\n;note\nk=1\n[b]\n", {"a"}, ";note\n[b]\n"},
        {"lines without equals sign go", "[a]\nloose\nk=1\n[b]\n", {"a"}, "[b]\n"},
        {"lines before the first section stay", "top=1\n[a]\nk=1\n", {"a"}, "top=1\n"},
        {"CR LF line ends are kept",
         "[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n",
         {"a"},
         "\r\n[b]\r\nk=2\r\n"},
        {"CR alone is kept", "[a]\rk=1\r[b]\rk=2\r", {"a"}, "[b]\rk=2\r"},
        {"blanks inside kept lines are kept", "  [a] \n k = 1 \n[b]\n", {"b"}, "  [a] \n k = 1 \n"},
        {"a missing section changes nothing", "[a]\nk=1\n", {"z"}, "[a]\nk=1\n"},
        {"several sections in one go", "[a]\n[b]\n[c]\n[d]\n", {"d", "b"}, "[a]\n[c]\n"},
        {"only the first copy of a repeated name", "[s]\nk=1\n[s]\nk=2\n", {"s"}, "[s]\nk=2\n"},
        {"a name given twice removes two copies", "[s]\nk=1\n[t]\n[s]\nk=2\n", {"s", "s"}, "[t]\n"},
        {"an empty section", "[a]\n[b]\nk=2\n", {"a"}, "[b]\nk=2\n"},
        {"a line not starting with a bracket starts no section",
         "\x01\x80[a]\n[b]\nk=\xFF\xFE\n",
         {"a"},
         "\x01\x80[a]\n[b]\nk=\xFF\xFE\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileReader(c.before).BytesWithout(c.remove), c.after) << c.behaviour;
}

TEST(ProfileRemoval, KeepsTheUtf8Mark) {
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(ProfileReader(mark + "[a]\r\nk=1\r\n[b]\r\n").BytesWithout({"a"}), mark + "[b]\r\n");
    EXPECT_EQ(ProfileReader(mark + "[a]\r\nk=1\r\n").BytesWithout({"a"}), mark);
}

namespace {

std::string Utf16(const std::u16string& text, bool mark = true) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

} // namespace

TEST(ProfileRemoval, WritesUtf16BackAsUtf16) {
    const std::string before =
        Utf16(u"[General]\r\nName=M\u00FCnchen \u65E5\r\n[Area.001]\r\nTitle=x\r\n\r\n"
              u"[Area.002]\r\nTitle=\u20AC\r\n");
    const std::string expected =
        Utf16(u"[General]\r\nName=M\u00FCnchen \u65E5\r\n\r\n[Area.002]\r\nTitle=\u20AC\r\n");
    const ProfileReader doc(before);
    EXPECT_EQ(doc.BytesWithout({"area.001"}), expected);
    // A line holding U+0A0D or U+0D0A is no line end: only whole units count.
    const std::string tricky = Utf16(u"[a]\r\nk=\u0A0D\u0D0A\r\n[b]\r\n");
    EXPECT_EQ(ProfileReader(tricky).BytesWithout({"b"}), Utf16(u"[a]\r\nk=\u0A0D\u0D0A\r\n"));
}

TEST(ProfileRemoval, SectionNamesAreFoundInUtf16Files) {
    const std::string before = Utf16(u"[\u00C4rea]\r\nk=1\r\n[b]\r\n");
    EXPECT_EQ(ProfileReader(before).BytesWithout({"äREA"}), Utf16(u"[b]\r\n"));
}

TEST(ProfileRemoval, NamesBeyondWindows1252AreFoundAndOtherLinesKeepTheirBytes) {
    // Each encoding: the names are found after decoding, and what stays is the file's
    // own bytes, ill-formed ones included; nothing is re-encoded.
    struct Case {
        const char* behaviour;
        std::string before;
        std::vector<std::string> remove;
        std::string after;
    };
    const std::string mark = "\xEF\xBB\xBF";
    const Case cases[] = {
        {"UTF-8 with mark",
         mark + "[Łódź]\r\nk=1\r\n[Жуковский]\r\nk=\xC3\r\n[東京]\r\n",
         {"ŁÓDŹ", "東京"},
         mark + "[Жуковский]\r\nk=\xC3\r\n"},
        {"UTF-16LE",
         Utf16(u"[\u0141\u00F3d\u017A]\r\nk=\xD800\r\n[\u0416]\r\n[\u6771]\r\n"),
         {"łÓDŹ", "ж"},
         Utf16(u"[\u6771]\r\n")},
        {"ANSI code page",
         "[\xC4rea]\r\nk=\x81\r\n[b]\r\nk=\x9D\xFF\r\n",
         {"äREA"},
         "[b]\r\nk=\x9D\xFF\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileReader(c.before).BytesWithout(c.remove), c.after) << c.behaviour;
}

TEST(ProfileFileRemoval, RewritesTheFileOnDisk) {
    testing_support::TestFolder t;
    t.Write("Scenery.cfg", "[Area.001]\r\nTitle=a\r\n\r\n[Area.002]\r\nTitle=b\r\n");
    const std::string file = t.Path("Scenery.cfg");
    ASSERT_FALSE(RemoveSections(file, {"Area.001"}));
    EXPECT_EQ(t.Read("Scenery.cfg"), "\r\n[Area.002]\r\nTitle=b\r\n");
    // Removing twice is harmless.
    EXPECT_FALSE(RemoveSections(file, {"Area.001"}));
    EXPECT_EQ(t.Read("Scenery.cfg"), "\r\n[Area.002]\r\nTitle=b\r\n");
}

namespace {

// Names in the folder other than `keep`: a temporary file left behind shows here.
Texts OtherFiles(const testing_support::TestFolder& t, const std::string& keep) {
    std::error_code error;
    Texts names;
    for (const auto& e : platform::ListFolder(t.Base(), error)) {
        if (e.name != keep)
            names.push_back(e.name);
    }
    return names;
}

} // namespace

TEST(ProfileFileRemoval, LeavesNoTemporaryFileBehind) {
    testing_support::TestFolder t;
    t.Write("Scenery.cfg", "[a]\nk=1\n[b]\n");
    ASSERT_FALSE(RemoveSections(t.Path("Scenery.cfg"), {"a"}));
    EXPECT_EQ(OtherFiles(t, "Scenery.cfg"), Texts{});
}

TEST(ProfileFileRemoval, AReadOnlyFileStaysAsItWasAndFails) {
    testing_support::TestFolder t;
    const std::string content = "[a]\nk=1\n[b]\n";
    t.Write("Scenery.cfg", content);
    ASSERT_FALSE(platform::SetReadOnly(t.Path("Scenery.cfg"), true));
    EXPECT_TRUE(RemoveSections(t.Path("Scenery.cfg"), {"a"}));
    EXPECT_EQ(t.Read("Scenery.cfg"), content);
    EXPECT_EQ(OtherFiles(t, "Scenery.cfg"), Texts{});
    // Nothing to remove: nothing is written, so nothing fails.
    EXPECT_FALSE(RemoveSections(t.Path("Scenery.cfg"), {"z"}));
}

TEST(ProfileFileRemoval, KeepsTheFilesPermissions) {
#ifndef _WIN32
    testing_support::TestFolder t;
    t.Write("Scenery.cfg", "[a]\n[b]\n");
    const std::filesystem::path path(t.Path("Scenery.cfg"));
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_read | perms::owner_write | perms::group_read);
    ASSERT_FALSE(RemoveSections(t.Path("Scenery.cfg"), {"a"}));
    EXPECT_EQ(std::filesystem::status(path).permissions() & perms::all,
              perms::owner_read | perms::owner_write | perms::group_read);
#else
    GTEST_SKIP() << "POSIX permission bits only";
#endif
}

TEST(ProfileFileRemoval, ALockedFileStaysAsItWasAndFails) {
#ifdef _WIN32
    testing_support::TestFolder t;
    const std::string content = "[a]\r\nk=1\r\n[b]\r\n";
    t.Write("Scenery.cfg", content);
    // Another program holds the file open and lets others only read it.
    platform::win32::ScopedFileHandle lock(
        CreateFileW(platform::win32::Widen(t.Path("Scenery.cfg")).c_str(), GENERIC_READ,
                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    const std::error_code failure = RemoveSections(t.Path("Scenery.cfg"), {"a"});
    lock.Reset();
    EXPECT_TRUE(failure);
    EXPECT_EQ(t.Read("Scenery.cfg"), content);
    EXPECT_EQ(OtherFiles(t, "Scenery.cfg"), Texts{});
#else
    GTEST_SKIP() << "Windows sharing modes only";
#endif
}
