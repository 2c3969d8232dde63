#include "platform/path.h"

#include <gtest/gtest.h>

using platform::CanonicalFullPath;
using platform::PathStyle;

namespace {

struct PathCase {
    const char* value;
    const char* canonical; // the accepted form, or the rule that refuses the value
};

void ExpectReadings(const PathCase* cases, size_t count, PathStyle style) {
    for (size_t i = 0; i < count; ++i) {
        const platform::CanonicalPath read = CanonicalFullPath(cases[i].value, style);
        EXPECT_EQ(read.Accepted() ? read.path : "refused: " + read.refusal, cases[i].canonical)
            << cases[i].value;
    }
}

} // namespace

// Every way a log may spell a path, read by Windows' rules on either side.
TEST(CanonicalFullPath, ReadsWindowsPathsOrNamesTheRuleThatRefusesThem) {
    static const PathCase cases[] = {
        {"C:\\Program Files\\Sample", "C:\\Program Files\\Sample"},
        {"c:/program files//sample/", "C:\\program files\\sample"},
        {"d:\\", "D:\\"},
        {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
        {"C:\\..\\..\\Windows", "C:\\Windows"},
        {"C:\\Windows.\\System32 ..\\", "C:\\Windows\\System32"},
        {"C:\\Product\\read me.txt", "C:\\Product\\read me.txt"},
        {"C:\\Users\\Łukasz\\Документы", "C:\\Users\\Łukasz\\Документы"},
        {"C:\\Product\\console.txt", "C:\\Product\\console.txt"},
        {"C:\\Product\\COM10", "C:\\Product\\COM10"},
        {"C:\\Product\\nul-things", "C:\\Product\\nul-things"},
        {"\\\\server\\share\\Product\\", "\\\\server\\share\\Product"},
        {"//server/share/x/../../..", "\\\\server\\share"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"\\\\server", "\\\\server"},
        {"\\\\pilot-pc\\C$\\Windows", "\\\\pilot-pc\\C$\\Windows"},
        // The device prefixes of a drive folder or share.
        {"\\\\?\\C:\\Windows\\x.txt", "C:\\Windows\\x.txt"},
        {"\\\\.\\c:\\Windows", "C:\\Windows"},
        {"\\\\?\\C:", "C:\\"},
        {"\\\\.\\C:", "C:\\"},
        {"\\\\?\\C:\\", "C:\\"},
        {"//?/C:/Windows", "C:\\Windows"},
        {"\\\\?\\UNC\\server\\share\\Product", "\\\\server\\share\\Product"},
        {"\\\\.\\unc\\server\\share", "\\\\server\\share"},
        // NT paths: Win32 takes them for folders of the current drive, the layers
        // below for the drive they name.
        {"\\??\\C:\\Windows\\x.txt", "refused: an NT path"},
        {"\\??\\C:", "refused: an NT path"},
        {"/?\?/C:/Windows", "refused: an NT path"},
        {"\\Device\\HarddiskVolume1\\Windows", "refused: an NT path"},
        {"\\GLOBAL??\\C:\\Windows", "refused: an NT path"},
        {"\\DosDevices\\C:\\Windows", "refused: an NT path"},
        {"\\\\??\\C:\\Windows", "refused: a character that Windows forbids in names"},
        {"\\Windows", "refused: a path relative to the current drive's root"},
        {"\\", "refused: a path relative to the current drive's root"},
        {"C:", "refused: a drive-relative path"},
        {"C:Windows", "refused: a drive-relative path"},
        {"Windows\\System32", "refused: a relative path"},
        {".", "refused: a relative path"},
        {"..\\Windows", "refused: a relative path"},
        {"", "refused: a relative path"},
        {"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\", "refused: a volume GUID path"},
        {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1", "refused: a device path"},
        {"\\\\.\\PhysicalDrive0", "refused: a device path"},
        {"\\\\.\\CON", "refused: a device path"},
        {"\\\\?\\C:Windows", "refused: a device path"},
        {"\\\\\\share", "refused: a share path without a server"},
        {"\\\\..\\share", "refused: a share path without a server"},
        {"\\\\server\\..", "refused: a share path without a share"},
        // Device names open the device in any folder, with any extension.
        {"C:\\Product\\CON", "refused: a DOS device name"},
        {"C:\\Product\\nul.txt", "refused: a DOS device name"},
        {"C:\\Product\\Aux .log", "refused: a DOS device name"},
        {"C:\\Product\\prn.", "refused: a DOS device name"},
        {"C:\\COM1\\x", "refused: a DOS device name"},
        {"C:\\Product\\lpt9.dat", "refused: a DOS device name"},
        {"C:\\Product\\COM\xC2\xB9", "refused: a DOS device name"},
        {"C:\\Product\\conout$", "refused: a DOS device name"},
        {"\\\\server\\NUL\\x", "refused: a DOS device name"},
        // Streams, forbidden characters, names that are nothing.
        {"C:\\Product\\file.txt:hidden", "refused: an alternate data stream"},
        {"C:\\Windows::$INDEX_ALLOCATION", "refused: an alternate data stream"},
        {"C:\\Product\\*", "refused: a character that Windows forbids in names"},
        {"C:\\Product\\a\"b", "refused: a character that Windows forbids in names"},
        {"C:\\Product\\a\tb", "refused: a character that Windows forbids in names"},
        {"C:\\Product\\...\\x", "refused: a name of dots or blanks only"},
        {"C:\\Product\\ \\x", "refused: a name of dots or blanks only"},
    };
    ExpectReadings(cases, std::size(cases), PathStyle::Windows);
}

// The native-test side reads POSIX paths by the same name rules.
TEST(CanonicalFullPath, ReadsPosixPathsByTheSameNameRules) {
    static const PathCase cases[] = {
        {"/home/pilot/./x/../Product/", "/home/pilot/Product"},
        {"/tmp/t\\Product\\sub", "/tmp/t/Product/sub"},
        {"/", "/"},
        {"/..", "/"},
        {"\\srv", "/srv"},
        {"srv/x", "refused: a relative path"},
        {"C:\\Windows", "refused: a relative path"},
        {"/tmp/nul.txt", "refused: a DOS device name"},
        {"/tmp/a:b", "refused: an alternate data stream"},
        {"\\\\.\\PhysicalDrive0", "refused: a device path"},
        {"//host/IPC$/pipe", "refused: a share path"},
    };
    ExpectReadings(cases, std::size(cases), PathStyle::Posix);
}

TEST(PathSplits, FollowTheLastSeparatorOrDriveColon) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        const char* parent;
        const char* base;
        const char* stem;
        const char* names; // SplitAtSeparators, joined by "|"
    } cases[] = {
        {"C:\\Sim\\Sample\\Uninstall.exe", "C:\\Sim\\Sample\\", "Uninstall.exe", "C:\\Sim\\Sample",
         "C:\\Sim\\Sample\\", "C:\\Sim\\Sample\\Uninstall", "C:|Sim|Sample|Uninstall.exe"},
        {"C:\\My.Addons\\a.b.exe", "C:\\My.Addons\\", "a.b.exe", "C:\\My.Addons", "C:\\My.Addons\\",
         "C:\\My.Addons\\a", "C:|My.Addons|a.b.exe"},
        {"C:/Games/x/", "C:/Games/x/", "", "C:/Games", "C:/Games/x/", "C:/Games/x/", "C:|Games|x|"},
        {"C:\\a", "C:\\", "a", "C:", "C:\\", "C:\\a", "C:|a"},
        {"C:b.exe", "C:", "b.exe", "C:", "C:\\", "C:b", "C:b.exe"},
        {"\\\\server\\share\\s.exe", "\\\\server\\share\\", "s.exe", "\\\\server\\share",
         "\\\\server\\share\\", "\\\\server\\share\\s", "||server|share|s.exe"},
        {"season.exe", "", "season.exe", "", "\\", "season", "season.exe"},
        {"/opt/sim/season", "/opt/sim/", "season", "/opt/sim", "/opt/sim/", "/opt/sim/season",
         "|opt|sim|season"},
        {"", "", "", "", "\\", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(platform::NameOf(c.path), c.name) << c.path;
        EXPECT_EQ(platform::ParentOf(c.path), c.parent) << c.path;
        EXPECT_EQ(platform::BaseFolderOf(c.path), c.base) << c.path;
        EXPECT_EQ(platform::WithoutExtensions(c.path), c.stem) << c.path;
        const std::vector<std::string_view> split = platform::SplitAtSeparators(c.path);
        std::string names;
        for (size_t i = 0; i < split.size(); ++i)
            names += (i ? "|" : "") + std::string(split[i]);
        EXPECT_EQ(names, c.names) << c.path;
    }
    EXPECT_EQ(platform::JoinPath("C:\\a", "b"), "C:\\a\\b");
    EXPECT_EQ(platform::JoinPath("C:\\a\\", "b"), "C:\\a\\b");
    EXPECT_EQ(platform::JoinPath("/tmp/", "b"), "/tmp/b");
    struct Same {
        const char* first;
        const char* second;
        bool same;
    } pairs[] = {
        {"C:\\Sim\\Addons\\treesSU.bmp", "c:/sim//ADDONS\\treessu.bmp", true},
        {"C:\\Sim\\", "C:\\Sim", true},
        {"\\\\server\\share\\a", "//server/share/a", true},
        {"/tmp/Ä/x", "/TMP/ä/X", true},
        {"C:\\Sim\\Addons", "C:\\Sim\\Addon", false},
        {"C:\\Sim\\a\\b", "C:\\Sim\\ab", false},
        {"C:\\Other\\treesSU.bmp", "C:\\Sim\\treesSU.bmp", false},
    };
    for (const Same& p : pairs)
        EXPECT_EQ(platform::SamePathText(p.first, p.second), p.same)
            << p.first << " ~ " << p.second;
}
