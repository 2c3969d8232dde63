#include "platform/files.h"
#include "platform/version.h"
#include "test_folder.h"

#include <gtest/gtest.h>

using testing_support::TestFolder;

#ifdef _WIN32

TEST(ReadFileVersion, AFileWithoutAVersionRecordHasNone) {
    TestFolder t;
    t.Write("readme.txt", "not a program");
    platform::FileVersionNumbers numbers{7, 7};
    EXPECT_FALSE(platform::ReadFileVersion(t.Path("readme.txt"), numbers));
    EXPECT_FALSE(platform::ReadFileVersion(t.Path("missing.exe"), numbers));
    EXPECT_EQ(numbers.versionMS, 7u) << "left alone on failure";
}

TEST(ReadFileVersion, ASystemLibraryCarriesOne) {
    platform::FileVersionNumbers numbers;
    ASSERT_TRUE(platform::ReadFileVersion("kernel32.dll", numbers));
    EXPECT_NE(numbers.versionMS, 0u);
}

#else

TEST(ReadFileVersion, WithoutVersionResourcesTheBuildsVersionIsGiven) {
    platform::FileVersionNumbers numbers;
    ASSERT_TRUE(platform::ReadFileVersion(platform::ProgramPath(), numbers));
    EXPECT_EQ(numbers.versionMS, (1u << 16) | 30u);
    EXPECT_EQ(numbers.versionLS, 0u);
}

#endif
