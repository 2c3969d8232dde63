// Replacing a file's content in one step.
#include "platform/file_replace.h"
#include "platform/files.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

using testing_support::TestFolder;

namespace {

size_t FileCount(const TestFolder& t) {
    std::error_code error;
    return platform::ListFolder(t.Base(), error).size();
}

} // namespace

TEST(ReplaceFileContent, ReplacesTheWholeContent) {
    TestFolder t;
    t.Write("Scenery.cfg", std::string(100000, 'x'));
    ASSERT_FALSE(platform::ReplaceFileContent(t.Path("SCENERY.CFG"), "short"));
    EXPECT_EQ(t.Read("Scenery.cfg"), "short");
    ASSERT_FALSE(platform::ReplaceFileContent(t.Path("Scenery.cfg"), ""));
    EXPECT_EQ(t.Read("Scenery.cfg"), "");
    EXPECT_EQ(FileCount(t), 1u);
}

TEST(ReplaceFileContent, NeverCreatesAMissingFile) {
    TestFolder t;
    EXPECT_TRUE(platform::ReplaceFileContent(t.Path("Scenery.cfg"), "new"));
    EXPECT_FALSE(t.Has("Scenery.cfg"));
    EXPECT_EQ(FileCount(t), 0u);
}

TEST(ReplaceFileContent, RefusesAFolderAndAReadOnlyFile) {
    TestFolder t;
    t.MakeFolder("Folder");
    EXPECT_TRUE(platform::ReplaceFileContent(t.Path("Folder"), "new"));
    t.Write("ro.cfg", "old");
    ASSERT_FALSE(platform::SetReadOnly(t.Path("ro.cfg"), true));
    EXPECT_TRUE(platform::ReplaceFileContent(t.Path("ro.cfg"), "new"));
    EXPECT_EQ(t.Read("ro.cfg"), "old");
    EXPECT_EQ(FileCount(t), 2u);
}

TEST(ReplaceFileContent, KeepsTheFilesAttributes) {
#ifdef _WIN32
    TestFolder t;
    t.Write("Scenery.cfg", "old");
    const std::string path = t.Path("Scenery.cfg");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_FALSE(platform::ReplaceFileContent(path, "new"));
    EXPECT_EQ(t.Read("Scenery.cfg"), "new");
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
#else
    GTEST_SKIP() << "Windows attributes; POSIX permission bits are checked with ProfileFile";
#endif
}
