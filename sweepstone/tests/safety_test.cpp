#include "safety.h"

#include "platform/shell.h"

#include <gtest/gtest.h>

using sweepstone::ComparablePath;
using sweepstone::IsUnsafeFolder;
using sweepstone::IsUnsafeRegistryKey;

TEST(ComparablePath, FoldsCaseSeparatorsAndDots) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\Program Files\\", "C:\\PROGRAM FILES"},
        {"c:/program files//x/../", "C:\\PROGRAM FILES"},
        {"C:", "C:\\"},
        {"C:\\", "C:\\"},
        {"\\\\server\\share\\dir\\", "\\\\SERVER\\SHARE\\DIR"},
        {"\\\\?\\C:\\Windows", "C:\\WINDOWS"},
        {"\\\\?\\UNC\\server\\share", "\\\\SERVER\\SHARE"},
        {"/home/user/./x", "\\HOME\\USER\\X"},
        {"/", "\\"},
        // Letters beyond ASCII compare without case too, so a user folder written in
        // the other case is still the same folder.
        {"C:\\Users\\Łukasz\\Документы", "C:\\USERS\\łUKASZ\\документы"},
        {"c:\\users\\ŁUKASZ\\ДОКУМЕНТЫ", "C:\\USERS\\łUKASZ\\документы"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComparablePath(c.in), c.out) << c.in;
}

#ifdef _WIN32
TEST(IsUnsafeFolder, RefusesRootsSharesAndProtectedFolders) {
    const std::vector<std::string> protectedFolders = {"C:\\Windows", "C:\\Program Files",
                                                       "C:\\Users\\pilot\\Documents"};
    struct Case {
        const char* path;
        bool unsafe;
    } cases[] = {
        {"C:\\", true},
        {"c:", true},
        {"D:\\", true},
        {"\\\\server\\share", true},
        {"\\\\server\\share\\", true},
        {"\\\\server", true},
        {"C:\\WINDOWS", true},
        {"C:\\Windows\\..\\Windows\\", true},
        {"C:\\Program Files", true},
        {"C:\\Users", true},        // holds a protected folder
        {"C:\\Users\\pilot", true}, // likewise
        {"C:/users/pilot/documents", true},
        {"C:\\Users\\pilot\\Documents\\Sample Airport", false},
        {"C:\\Program Files\\Sim\\Addon Scenery\\Sample", false},
        {"C:\\Program Files (x86)", false}, // not listed here, not a parent of one
        {"\\\\server\\share\\Sample", false},
        {"", false}, // names nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUnsafeFolder(c.path, protectedFolders), c.unsafe) << c.path;
}
#else
TEST(IsUnsafeFolder, RefusesRootsAndProtectedFolders) {
    const std::vector<std::string> protectedFolders = {"/usr", "/home/pilot/Documents"};
    struct Case {
        const char* path;
        bool unsafe;
    } cases[] = {
        {"/", true},
        {"\\", true},
        {"/usr", true},
        {"/USR/", true},
        {"/usr/local/../", true},
        {"/home", true},
        {"/home/pilot", true},
        {"\\home\\pilot\\documents", true},
        {"/home/pilot/Documents/Sample Airport", false},
        {"/usr/share/sample", false},
        {"/srv/sim/Sample", false},
        {"", false},
        {"   ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUnsafeFolder(c.path, protectedFolders), c.unsafe) << c.path;
}
#endif

TEST(IsUnsafeFolder, ResolvesRelativePathsAgainstTheCurrentFolder) {
    // With the current folder protected, "." names it and ".." holds it.
    const std::vector<std::string> protectedFolders = {platform::FullPathName(".")};
    EXPECT_TRUE(IsUnsafeFolder(".", protectedFolders));
    EXPECT_TRUE(IsUnsafeFolder("..", protectedFolders));
    EXPECT_TRUE(IsUnsafeFolder("product\\..", protectedFolders));
    EXPECT_FALSE(IsUnsafeFolder("product", protectedFolders));
}

TEST(IsUnsafeRegistryKey, NeedsTwoNonEmptyComponents) {
    struct Case {
        const char* key;
        bool unsafe;
    } cases[] = {
        {"", true},
        {"SOFTWARE", true},
        {"\\SOFTWARE\\", true},
        {"SOFTWARE\\\\", true},
        {"SOFTWARE\\ \\", true},
        {"SOFTWARE\\Sample", false},
        {"SOFTWARE\\Sample\\Sample Airport X", false},
        {"\\SOFTWARE\\Sample", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUnsafeRegistryKey(c.key), c.unsafe) << c.key;
}
