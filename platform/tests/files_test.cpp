// The file system behaviours that the season switcher and the uninstall wizard rely
// on, checked the same way on both sides of the platform layer.
#include "platform/deletion.h"
#include "platform/files.h"
#include "platform/text.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#ifdef _WIN32
#include "windows_support.h"
#endif

using testing_support::TestFolder;

namespace {

// The two copies, which must behave alike: the plain one and the one held to the
// place the target resolves to (here: where it lies).
using Copy = std::error_code (*)(const std::string& source, const std::string& target);
std::error_code HeldCopy(const std::string& source, const std::string& target) {
    bool ledElsewhere = false;
    const std::error_code failure = platform::CopyFileOntoResolved(
        source, target, platform::ResolvedPathName(target), ledElsewhere);
    EXPECT_FALSE(ledElsewhere) << target;
    return failure;
}
const Copy kCopies[] = {platform::CopyFileReplacing, HeldCopy};

void MakeAncient(const std::string& path) {
    // About 1969: older than anything a DOS date can hold.
    const auto ancient =
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 57);
    std::filesystem::last_write_time(std::filesystem::path(path), ancient);
}

void MakeHidden(const TestFolder& t, const std::string& name) {
#ifdef _WIN32
    t.MakeFolder(name);
    SetFileAttributesW(platform::win32::Widen(t.Path(name)).c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
#else
    t.MakeFolder("." + name);
#endif
}

} // namespace

TEST(FilePresent, TellsFilesFromFoldersAndNothing) {
    TestFolder t;
    t.Write("Addon\\Texture\\Default\\treesSU.bmp", "su");
    struct Case {
        const char* path;
        bool present;
    } cases[] = {
        {"Addon\\Texture\\Default\\treesSU.bmp", true},
        {"ADDON\\texture\\DEFAULT\\TREESSU.BMP", true}, // names match without regard to case
        {"Addon/Texture/Default/treesSU.bmp", true},    // slash separates too
        {"Addon\\Texture\\\\Default\\treesSU.bmp", true},
        {"Addon\\Texture\\Default", false}, // a folder is not a file
        {"Addon\\Texture\\Default\\treesFA.bmp", false},
        {"Nothing\\At\\All.bmp", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::FilePresent(t.Path(c.path)), c.present) << c.path;
}

TEST(FilePresent, CountsFilesWhoseDateADosTimeCannotHold) {
    TestFolder t;
    t.Write("old.bmp", "x");
    MakeAncient(t.Path("old.bmp"));
    EXPECT_TRUE(platform::FilePresent(t.Path("old.bmp")));
}

TEST(FolderPresent, TellsFoldersFromFiles) {
    TestFolder t;
    t.Write("A\\file.txt", "x");
    EXPECT_TRUE(platform::FolderPresent(t.Path("a")));
    EXPECT_FALSE(platform::FolderPresent(t.Path("A\\file.txt")));
    EXPECT_FALSE(platform::FolderPresent(t.Path("B")));
    EXPECT_TRUE(platform::FolderHasFiles(t.Path("A")));
    t.MakeFolder("Empty\\Sub");
    EXPECT_FALSE(platform::FolderHasFiles(t.Path("Empty"))); // a sub-folder is not a file
    EXPECT_FALSE(platform::FolderHasFiles(t.Path("Missing")));
}

TEST(CopyFileReplacing, ReplacesAnExistingTarget) {
    for (const Copy copy : kCopies) {
        TestFolder t;
        t.Write("src.bmp", "new");
        t.Write("dst.bmp", "an older, longer texture");
        EXPECT_FALSE(copy(t.Path("src.bmp"), t.Path("DST.BMP")));
        EXPECT_EQ(t.Read("dst.bmp"), "new");
        EXPECT_EQ(t.Read("src.bmp"), "new");
    }
}

TEST(CopyFileReplacing, AHeldCopyWritesNothingWhereTheTargetLiesElsewhere) {
    TestFolder t;
    t.Write("src.bmp", "new");
    t.Write("Other\\dst.bmp", "old");
    t.MakeFolder("Checked");
    for (const char* name : {"dst.bmp", "new.bmp"}) {
        bool ledElsewhere = false;
        EXPECT_TRUE(platform::CopyFileOntoResolved(
            t.Path("src.bmp"), t.Path(std::string("Other\\") + name),
            platform::ResolvedPathName(t.Path(std::string("Checked\\") + name)), ledElsewhere));
        EXPECT_TRUE(ledElsewhere) << name;
    }
    EXPECT_EQ(t.Read("Other\\dst.bmp"), "old");
    EXPECT_FALSE(t.Has("Other\\new.bmp"));
}

TEST(CopyFileReplacing, CopiesLargeFilesWholeWithTheirLastWriteTime) {
    for (const Copy copy : kCopies) {
        TestFolder t;
        // Sizes around the copy's buffer of 1 MiB, with bytes that differ in every block.
        for (const size_t size : {size_t{0}, size_t{1} << 20, (size_t{3} << 20) + 17}) {
            std::string bytes(size, '\0');
            for (size_t i = 0; i < size; ++i)
                bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
            t.Write("big.dds", bytes);
            t.Write("target.dds", "an older, shorter texture");
            ASSERT_FALSE(copy(t.Path("big.dds"), t.Path("target.dds")));
            EXPECT_TRUE(t.Read("target.dds") == bytes) << size;
        }
        // The copy keeps the source's last-write time, as CopyFile does.
        t.Write("stamped.bmp", "x");
        const auto stamp = std::chrono::time_point_cast<std::chrono::seconds>(
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400));
        std::filesystem::last_write_time(t.Path("stamped.bmp"), stamp);
        ASSERT_FALSE(copy(t.Path("stamped.bmp"), t.Path("copy.bmp")));
        EXPECT_TRUE(std::filesystem::last_write_time(t.Path("copy.bmp")) == stamp);
    }
}

TEST(CopyFileReplacing, FailsWithoutChangingAnything) {
    for (const Copy copy : kCopies) {
        TestFolder t;
        t.Write("src.bmp", "new");
        t.Write("locked.bmp", "old");
        ASSERT_FALSE(platform::SetReadOnly(t.Path("locked.bmp"), true));
        t.MakeFolder("folder.bmp");
        struct Case {
            const char* source;
            const char* target;
        } cases[] = {
            {"missing.bmp", "out.bmp"},       // missing source
            {"src.bmp", "no\\such\\out.bmp"}, // target folder missing
            {"src.bmp", "locked.bmp"},        // read-only target
            {"src.bmp", "folder.bmp"},        // target is a folder
            {"src.bmp", "SRC.BMP"},           // the source itself
        };
        for (const Case& c : cases)
            EXPECT_TRUE(copy(t.Path(c.source), t.Path(c.target))) << c.source << " -> " << c.target;
        EXPECT_EQ(t.Read("locked.bmp"), "old");
        EXPECT_EQ(t.Read("src.bmp"), "new");
        EXPECT_FALSE(t.Has("out.bmp"));
        platform::SetReadOnly(t.Path("locked.bmp"), false);
    }
}

TEST(RenameNoReplace, RenamesOnlyWhenTheNewNameIsFree) {
    TestFolder t;
    t.Write("Scenery\\a.off", "a");
    EXPECT_FALSE(platform::RenameNoReplace(t.Path("Scenery\\a.off"), t.Path("Scenery\\a.bgl")));
    EXPECT_FALSE(t.Has("Scenery\\a.off"));
    EXPECT_EQ(t.Read("Scenery\\a.bgl"), "a");

    t.Write("Scenery\\b.off", "off");
    t.Write("Scenery\\b.bgl", "bgl");
    EXPECT_TRUE(platform::RenameNoReplace(t.Path("Scenery\\b.off"), t.Path("Scenery\\B.BGL")));
    EXPECT_EQ(t.Read("Scenery\\b.off"), "off");
    EXPECT_EQ(t.Read("Scenery\\b.bgl"), "bgl");

    EXPECT_TRUE(platform::RenameNoReplace(t.Path("Scenery\\none.off"), t.Path("Scenery\\n.bgl")));
}

TEST(RemoveFile, DeletesFilesButNotFolders) {
    TestFolder t;
    t.Write("f.txt", "x");
    t.MakeFolder("d");
    EXPECT_FALSE(platform::RemoveFile(t.Path("F.TXT")));
    EXPECT_FALSE(t.Has("f.txt"));
    EXPECT_TRUE(platform::RemoveFile(t.Path("f.txt")));
    EXPECT_TRUE(platform::RemoveFile(t.Path("d")));
    EXPECT_TRUE(platform::FolderPresent(t.Path("d")));
}

TEST(ShellFolderCopy, CopiesTheFilesButNotTheSubFolders) {
    TestFolder t;
    t.Write("Texture\\Winter\\a.bmp", "wa");
    t.Write("Texture\\Winter\\b.dds", "wb");
    t.Write("Texture\\Winter\\Deep\\c.bmp", "deep");
    t.Write("Texture\\a.bmp", "old");
    EXPECT_TRUE(platform::ShellFolderCopy(t.Path("Texture\\Winter"), t.Path("Texture\\")));
    EXPECT_EQ(t.Read("Texture\\a.bmp"), "wa");
    EXPECT_EQ(t.Read("Texture\\b.dds"), "wb");
    EXPECT_FALSE(t.Has("Texture\\Deep\\c.bmp"));
    EXPECT_FALSE(platform::FolderPresent(t.Path("Texture\\Deep")));
    EXPECT_EQ(t.Read("Texture\\Winter\\a.bmp"), "wa"); // the source stays
}

TEST(ShellFolderCopy, CreatesAMissingTargetFolder) {
    TestFolder t;
    t.Write("src\\x.bmp", "x");
    t.Write("src\\y.bmp", "y");
    EXPECT_TRUE(platform::ShellFolderCopy(t.Path("src"), t.Path("New")));
    EXPECT_EQ(t.Read("New\\x.bmp"), "x");
    EXPECT_EQ(t.Read("New\\y.bmp"), "y");
}

TEST(ShellFolderCopy, AMissingSourceCopiesNothing) {
    // Only the effect counts: Wine's shell reports success for a wildcard that
    // matches nothing, Windows an error.
    TestFolder t;
    platform::ShellFolderCopy(t.Path("nothing"), t.Path("New"));
    EXPECT_FALSE(platform::FolderPresent(t.Path("New")));
    EXPECT_FALSE(platform::FilePresent(t.Path("New")));
}

TEST(ShellFolderCopy, FailsWhenTheTargetFolderIsAFile) {
    TestFolder t;
    t.Write("src\\x.bmp", "x");
    t.Write("src\\y.bmp", "y");
    t.Write("Texture", "a file");
    EXPECT_FALSE(platform::ShellFolderCopy(t.Path("src"), t.Path("Texture")));
    EXPECT_EQ(t.Read("Texture"), "a file");
}

TEST(ShellFolderCopy, NeverReplacesAReadOnlyTargetAndFails) {
    TestFolder t;
    t.Write("src\\a.bmp", "new a");
    t.Write("src\\b.bmp", "new b");
    t.Write("src\\c.bmp", "new c");
    t.Write("Texture\\a.bmp", "old a");
    t.Write("Texture\\b.bmp", "old b");
    ASSERT_FALSE(platform::SetReadOnly(t.Path("Texture\\b.bmp"), true));
    EXPECT_FALSE(platform::ShellFolderCopy(t.Path("src"), t.Path("Texture")));
    EXPECT_EQ(t.Read("Texture\\b.bmp"), "old b");
    EXPECT_EQ(t.Read("Texture\\a.bmp"), "new a"); // the others are still copied
    EXPECT_EQ(t.Read("Texture\\c.bmp"), "new c");
    // A folder whose only file meets a read-only target copies nothing.
    t.Write("one\\b.bmp", "new b");
    EXPECT_FALSE(platform::ShellFolderCopy(t.Path("one"), t.Path("Texture")));
    EXPECT_EQ(t.Read("Texture\\b.bmp"), "old b");
    platform::SetReadOnly(t.Path("Texture\\b.bmp"), false);
}

TEST(ShellFolderCopy, CopiesASingleFileIntoAMissingTargetFolder) {
    TestFolder t;
    t.Write("src\\only.bmp", "x");
    EXPECT_TRUE(platform::ShellFolderCopy(t.Path("src"), t.Path("New")));
    EXPECT_EQ(t.Read("New\\only.bmp"), "x");
}

TEST(ListFolder, ReportsFoldersFilesAndHiddenEntries) {
    TestFolder t;
    t.MakeFolder("Visible");
    t.Write("file.txt", "x");
    MakeHidden(t, "Secret");
    std::error_code error;
    auto entries = platform::ListFolder(t.Base(), error);
    ASSERT_FALSE(error);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 3u);
    for (const auto& e : entries) {
        if (e.name == "Visible")
            EXPECT_TRUE(e.directory && !e.hidden);
        else if (e.name == "file.txt")
            EXPECT_TRUE(!e.directory && !e.hidden);
        else
            EXPECT_TRUE(e.directory && e.hidden) << e.name;
    }
    platform::ListFolder(t.Path("missing"), error);
    EXPECT_TRUE(error);
}

TEST(CompareNamesNoCase, OrdersWithoutRegardToCase) {
    EXPECT_LT(platform::CompareNamesNoCase("Alpha", "beta"), 0);
    EXPECT_LT(platform::CompareNamesNoCase("beta", "Gamma"), 0);
    EXPECT_GT(platform::CompareNamesNoCase("gamma", "Beta"), 0);
    EXPECT_EQ(platform::CompareNamesNoCase("TEXTURE", "texture"), 0);
    EXPECT_LT(platform::CompareNamesNoCase("Tex", "texture"), 0);
    EXPECT_TRUE(platform::SameNameNoCase("Winter_TUBR.BGL", "winter_tubr.bgl"));
    EXPECT_FALSE(platform::SameNameNoCase("a.bgl", "a.off"));
}

TEST(ProgramPath, NamesThisTestProgram) {
    const std::string path = platform::ProgramPath();
    EXPECT_TRUE(platform::FilePresent(path)) << path;
    EXPECT_NE(path.find("platform_tests"), std::string::npos) << path;
}
