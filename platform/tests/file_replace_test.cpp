// Replacing a file's content in one step.
#include "platform/file_replace.h"
#include "platform/files.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#else
#include <sys/stat.h>
#include <unistd.h>
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

// The file that the elevated wizard rewrites stays the user's: its owner, its
// permissions and its attributes stay as they were.
TEST(ReplaceFileContent, KeepsTheFilesAttributes) {
    TestFolder t;
    t.Write("Scenery.cfg", "old");
    const std::string path = t.Path("Scenery.cfg");
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    // A descriptor of the file's own (the world may write it), which no folder
    // would hand down. Wine 8 keeps no descriptor, so there only the attributes count.
    const char* own = "D:P(A;;FA;;;WD)";
    PSECURITY_DESCRIPTOR set = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA(own, SDDL_REVISION_1, &set, nullptr));
    const bool kept = SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, set) &&
                      !GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
    LocalFree(set);
    ASSERT_FALSE(platform::ReplaceFileContent(path, "new"));
    EXPECT_EQ(t.Read("Scenery.cfg"), "new");
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    if (kept) {
        PSECURITY_DESCRIPTOR read = nullptr;
        ASSERT_EQ(GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, nullptr, nullptr, &read),
                  static_cast<DWORD>(ERROR_SUCCESS));
        char* text = nullptr;
        ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
            read, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr));
        EXPECT_STREQ(text, own);
        LocalFree(text);
        LocalFree(read);
    }
#else
    // Given to another user as a root process would find it; permission bits too.
    ASSERT_EQ(::chmod(path.c_str(), 0664), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 4321, 4321), 0);
    }
    ASSERT_FALSE(platform::ReplaceFileContent(path, "new"));
    EXPECT_EQ(t.Read("Scenery.cfg"), "new");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4321u);
    }
#endif
    EXPECT_EQ(FileCount(t), 1u) << "no temporary or backup file stays";
}

// A report written where its caller said: never through a link planted at the name,
// which would turn the elevated write onto another file.
TEST(WriteFileNotThroughLink, WritesPlainFilesAndRefusesLinks) {
    TestFolder t;
    t.Write("target.txt", "precious");
    t.Write("old report.txt", "an old report that is longer");
    const std::string target = t.Path("target.txt");
#ifdef _WIN32
    // Wine 8 makes hard links but counts every file's names as one, and opens a
    // symbolic link itself without telling it is one (it then writes the link, not
    // its target, which stays as the last check shows): there neither is refused.
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
    const bool hard = CreateHardLinkA(t.Path("hard.txt").c_str(), target.c_str(), nullptr) && !wine;
    const bool soft =
        CreateSymbolicLinkA(t.Path("soft.txt").c_str(), target.c_str(), 0) && !wine &&
        (GetFileAttributesA(t.Path("soft.txt").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
    const bool hard = ::link(target.c_str(), t.Path("hard.txt").c_str()) == 0;
    const bool soft = ::symlink(target.c_str(), t.Path("soft.txt").c_str()) == 0;
#endif
    struct Case {
        const char* name;
        bool present; // the case could be made here
        bool written;
    } cases[] = {
        {"new report.txt", true, true},
        {"old report.txt", true, true},
        {"hard.txt", hard, false},
        {"soft.txt", soft, false},
    };
    for (const Case& c : cases) {
        if (!c.present)
            continue;
        SCOPED_TRACE(c.name);
        const std::error_code failure = platform::WriteFileNotThroughLink(t.Path(c.name), "report");
        EXPECT_EQ(!failure, c.written) << failure.message();
        if (c.written) {
            EXPECT_EQ(t.Read(c.name), "report");
        }
    }
    EXPECT_EQ(t.Read("target.txt"), "precious");
    t.MakeFolder("Folder");
    EXPECT_TRUE(platform::WriteFileNotThroughLink(t.Path("Folder"), "report"));
}
