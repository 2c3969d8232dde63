// Names beyond Windows-1252 through every operation of the platform layer, paths
// beyond MAX_PATH, and the decoders and case folding that the programs' text relies
// on. On Windows the names go through the wide calls; on POSIX they are the file
// system's own UTF-8.
#include "platform/deletion.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/unicode.h"
#include "platform/version.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using testing_support::TestFolder;

namespace {

struct Name {
    const char* written;
    const char* otherCase; // the same name in other letters' case, as a user types it
};

// Polish, Cyrillic, Greek, Japanese and a character beyond the 16-bit range.
constexpr Name kNames[] = {
    {"Łódź Lublinek", "ŁÓDŹ LUBLINEK"}, {"Жуковский", "ЖУКОВСКИЙ"}, {"Αθήνα", "ΑΘΉΝΑ"},
    {"東京 羽田", "東京 羽田"},         {"Ω 😀 ñ", "ω 😀 Ñ"},
};

bool Listed(const std::string& folder, const std::string& name) {
    std::error_code error;
    const auto entries = platform::ListFolder(folder, error);
    return std::any_of(entries.begin(), entries.end(),
                       [&](const platform::FolderEntry& e) { return e.name == name; });
}

} // namespace

TEST(NamesBeyondWindows1252, EveryFileOperationFindsAndKeepsThem) {
    for (const Name& n : kNames) {
        SCOPED_TRACE(n.written);
        TestFolder t;
        const std::string name = n.written;
        const std::string folder = t.Path(name);
        ASSERT_FALSE(platform::MakeFolders(folder + "\\" + name));
        EXPECT_TRUE(Listed(t.Base(), name)) << "listed exactly as written";
        EXPECT_TRUE(platform::FolderPresent(t.Path(n.otherCase))) << "found in the other case";

        const std::string file = folder + "\\" + name + ".txt";
        ASSERT_FALSE(platform::WriteWholeFile(file, name));
        EXPECT_TRUE(platform::FilePresent(file));
        EXPECT_TRUE(platform::FolderHasFiles(folder));
        std::string read;
        ASSERT_FALSE(
            platform::ReadWholeFile(t.Path(n.otherCase) + "\\" + n.otherCase + ".TXT", read));
        EXPECT_EQ(read, name);

        EXPECT_FALSE(platform::CopyFileReplacing(file, file + ".copy"));
        EXPECT_FALSE(platform::RenameNoReplace(file + ".copy", folder + "\\" + name + " 2"));
        EXPECT_TRUE(platform::FilePresent(folder + "\\" + name + " 2"));
        EXPECT_FALSE(platform::ReplaceFileContent(file, "new " + name));
        EXPECT_EQ(t.Read(name + "\\" + name + ".txt"), "new " + name);
        ASSERT_FALSE(platform::MakeFolders(t.Path("copy " + name)));
        EXPECT_TRUE(platform::ShellFolderCopy(folder, t.Path("copy " + name)));
        EXPECT_EQ(t.Read("copy " + name + "\\" + name + ".txt"), "new " + name);
        EXPECT_FALSE(platform::RemoveFile(folder + "\\" + name + " 2"));
        EXPECT_FALSE(platform::FilePresent(folder + "\\" + name + " 2"));

        EXPECT_EQ(platform::FullPathName(folder + "\\.\\" + name + "\\.."), folder);
        EXPECT_FALSE(platform::DeleteTree(folder).error);
        EXPECT_FALSE(platform::FolderPresent(folder));
    }
}

TEST(NamesBeyondWindows1252, RegistryKeysHoldThem) {
#ifndef _WIN32
    TestFolder t;
    setenv("BRIGHTMERE_REGISTRY_ROOT", t.Path("registry").c_str(), 1);
#endif
    const std::string root = "SOFTWARE\\BrightmerePlatformTest Łódź";
    for (const Name& n : kNames) {
        SCOPED_TRACE(n.written);
        const std::string key = root + "\\" + n.written;
        ASSERT_FALSE(platform::CreateMachineKey(key + "\\" + n.written));
        EXPECT_TRUE(platform::MachineKeyExists(root + "\\" + n.otherCase));
        EXPECT_FALSE(platform::MachineKeyExists(root + "\\" + n.written + "?"));
        EXPECT_FALSE(platform::DeleteMachineKeyTree(key).error);
        EXPECT_FALSE(platform::MachineKeyExists(key));
    }
    EXPECT_FALSE(platform::DeleteMachineKeyTree(root).error);
}

TEST(NamesBeyondWindows1252, TheProgramsVersionIsReadFromSuchAPath) {
    TestFolder t;
    const std::string copy = t.Path("Жуковский 東京\\Łódź.exe");
    ASSERT_FALSE(platform::MakeFolders(t.Path("Жуковский 東京")));
    ASSERT_FALSE(platform::CopyFileReplacing(platform::ProgramPath(), copy));
    platform::FileVersionNumbers numbers;
#ifdef _WIN32
    // A test program carries no version record; a system library does.
    std::string system = platform::FullPathName("C:\\windows\\system32\\kernel32.dll");
    ASSERT_FALSE(platform::CopyFileReplacing(system, copy));
#endif
    ASSERT_TRUE(platform::ReadFileVersion(copy, numbers));
    EXPECT_NE(numbers.versionMS, 0u);
}

TEST(LongPaths, FileOperationsWorkBeyondMaxPath) {
    TestFolder t;
    std::string relative;
    for (int i = 0; i < 12; ++i)
        relative += (i ? "\\" : "") + std::string("Folder ") + std::to_string(i) + " Жуковский";
    const std::string folder = t.Path(relative);
    ASSERT_GT(folder.size(), 300u);
    ASSERT_FALSE(platform::MakeFolders(folder));
    EXPECT_TRUE(platform::FolderPresent(folder));
    const std::string file = folder + "\\Scenery.cfg";
    ASSERT_FALSE(platform::WriteWholeFile(file, "[Area.001]\r\nTitle=a\r\n"));
    EXPECT_TRUE(platform::FilePresent(file));
    EXPECT_FALSE(platform::CopyFileReplacing(file, file + ".bak"));
    EXPECT_FALSE(platform::ReplaceFileContent(file, "[b]\r\n"));
    std::string read;
    ASSERT_FALSE(platform::ReadWholeFile(file, read));
    EXPECT_EQ(read, "[b]\r\n");
    EXPECT_FALSE(platform::RenameNoReplace(file + ".bak", file + ".old"));
    EXPECT_TRUE(Listed(folder, "Scenery.cfg.old"));
    EXPECT_FALSE(platform::SetReadOnly(file, true));
    EXPECT_TRUE(platform::ReplaceFileContent(file, "x")) << "a read-only file stays";
    EXPECT_FALSE(platform::SetReadOnly(file, false));
    EXPECT_FALSE(platform::RemoveFile(file + ".old"));
    EXPECT_FALSE(platform::FilePresent(file + ".old"));
    EXPECT_FALSE(platform::RemoveFile(file));
}

TEST(Decoding, EachEncodingGivesUtf8) {
    struct Case {
        const char* behaviour;
        std::string decoded;
        std::string expected;
    } cases[] = {
        {"Windows-1252 letters and signs",
         platform::Windows1252ToUtf8("\xC4\xE4\xDF \x80\x84\x93\x9F \x81\x8D\x8F\x90\x9D"),
         "Ääß €„“Ÿ \u0081\u008D\u008F\u0090\u009D"},
        {"UTF-16LE with a pair and a lone surrogate",
         platform::Utf16LEToUtf8(std::string("\x41\x01\x3D\xD8\x00\xDE\x00\xD8x\0", 10)),
         "Ł😀\uFFFDx"},
        {"UTF-16LE: an odd last byte is ignored", platform::Utf16LEToUtf8(std::string("a\0b", 3)),
         "a"},
        {"UTF-8 kept as it is", platform::SanitizedUtf8("Łódź 東京 😀"), "Łódź 東京 😀"},
        {"overlong and cut UTF-8", platform::SanitizedUtf8("\xC0\xAF|\xE6\x9D|\xF0\x9F\x98"),
         "\uFFFD\uFFFD|\uFFFD|\uFFFD"},
        {"UTF-16LE with a pair of surrogates",
         platform::Utf16LEToUtf8(std::string("\x16\x04\x43\x04 \x00\x3D\xD8\x00\xDE", 10)), "Жу 😀"},
        {"to Windows-1252: what it lacks becomes ?",
         platform::Utf8ToWindows1252("Müller € Łódź 東"),
         "M\xFCller \x80 ?\xF3"
         "d? ?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.decoded, c.expected) << c.behaviour;
    EXPECT_TRUE(platform::IsUtf8("Łódź"));
    EXPECT_FALSE(platform::IsUtf8("\xED\xA0\x80")) << "a surrogate is no character";
}

TEST(Decoding, FoldingComparesLettersOfEveryKnownScript) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"ŁÓDŹ ŻÓŁĆ ĘŚĄŃ", "łódź żółć ęśąń", true},
        {"ЖУКОВСКИЙ ЁЛКА ЇЖАК", "жуковский ёлка їжак", true},
        {"ΑΘΉΝΑ ΏΡΑ", "αθήνα ώρα", true},
        {"ÄÖÜ ÀÉÎ Ÿ", "äöü àéî ÿ", true},
        {"ＡＢＣ", "ａｂｃ", true},
        {"İ", "i", false}, // dotted capital I folds to nothing plain
        {"ß", "ss", false},
        {"東京", "東京", true},
        {"Łódź", "Lodz", false},
        {"ŁÓDŹ", "łódźx", false}, // one a prefix of the other
        {"ЖУК", "жу", false},
        {"", "", true},
        {"Ａ\xC3", "ａ\xC3", true}, // ill-formed bytes stay and compare as bytes
        {"A\xE0\x80Б", "a\xE0\x80б", true},
        {"A\xC3", "a\xC3\x83", false},
        {"\xC3\x83", "\xC3\xA3", true}, // Ã and ã
        {"\xC3", "\xC3\xA3", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::FoldUtf8(c.a) == platform::FoldUtf8(c.b), c.same) << c.a;
        EXPECT_EQ(platform::EqualFolded(c.a, c.b), c.same) << c.a;
        EXPECT_EQ(platform::EqualFolded(c.b, c.a), c.same) << c.a;
        EXPECT_EQ(platform::FoldedHash(c.a), platform::HashBytes(platform::FoldUtf8(c.a))) << c.a;
        if (c.same) {
            EXPECT_EQ(platform::FoldedHash(c.a), platform::FoldedHash(c.b)) << c.a;
        }
        if (platform::IsUtf8(c.a) && platform::IsUtf8(c.b)) {
            EXPECT_EQ(platform::SameNameNoCase(c.a, c.b), c.same) << c.a;
        }
    }
    // FNV-1a's published 64-bit vectors.
    EXPECT_EQ(platform::HashBytes(""), 0xcbf29ce484222325ull);
    EXPECT_EQ(platform::HashBytes("a"), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(platform::HashBytes("foobar"), 0x85944171f73967e8ull);
}

TEST(Decoding, FoldingKeepsTheLengthOfEveryCharactersEncoding) {
    // EqualFolded rejects texts of different lengths before it folds them.
    std::string capital;
    std::string small;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        capital.clear();
        small.clear();
        platform::AppendUtf8(capital, c);
        platform::AppendUtf8(small, platform::FoldToSmall(c));
        ASSERT_EQ(capital.size(), small.size()) << std::hex << static_cast<unsigned>(c);
    }
}

TEST(Decoding, EveryCharacterFoldsToItsSmallFormOnce) {
    // Capital and small pairs at the edges of each folded range, and neighbours that
    // have no small form; folding a small form again changes nothing.
    const struct {
        char32_t capital;
        char32_t small;
    } pairs[] = {
        {U'A', U'a'},     {U'Z', U'z'},     {0xC0, 0xE0},     {0xDE, 0xFE},       {0xD7, 0xD7},
        {0x100, 0x101},   {0x139, 0x13A},   {0x147, 0x148},   {0x14A, 0x14B},     {0x176, 0x177},
        {0x178, 0xFF},    {0x179, 0x17A},   {0x17D, 0x17E},   {0x130, 0x130},     {0x131, 0x131},
        {0x386, 0x3AC},   {0x388, 0x3AD},   {0x38C, 0x3CC},   {0x38F, 0x3CE},     {0x391, 0x3B1},
        {0x3A2, 0x3A2},   {0x3AB, 0x3CB},   {0x400, 0x450},   {0x40F, 0x45F},     {0x410, 0x430},
        {0x42F, 0x44F},   {0x460, 0x461},   {0x480, 0x481},   {0x48A, 0x48B},     {0x4C0, 0x4CF},
        {0x4C1, 0x4C2},   {0x4CD, 0x4CE},   {0x4D0, 0x4D1},   {0x52E, 0x52F},     {0x530, 0x530},
        {0xFF21, 0xFF41}, {0xFF3A, 0xFF5A}, {0xFF3B, 0xFF3B}, {0x1F600, 0x1F600},
    };
    for (const auto& p : pairs) {
        EXPECT_EQ(platform::FoldToSmall(p.capital), p.small)
            << std::hex << static_cast<unsigned>(p.capital);
        EXPECT_EQ(platform::FoldToSmall(p.small), p.small)
            << std::hex << static_cast<unsigned>(p.small);
    }
}

TEST(Decoding, TheAnsiCodePageRoundTripsWhatItHolds) {
    // The programs' hosts under test run with code page 1252, as the POSIX side
    // stands in for it.
    EXPECT_EQ(platform::AnsiToUtf8("M\xFCnchen \x80"), "München €");
    EXPECT_EQ(platform::Utf8ToAnsi("München € Łódź"), "M\xFCnchen \x80 ?\xF3"
                                                      "d?");
}
