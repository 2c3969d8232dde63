// The uninstall wizard's own tree walk on both sides of the platform layer: trees
// deeper than MAX_PATH with names in several scripts, however the folder is spelled,
// and links inside them removed as links.
#include "../common/tree_walk.h"
#include "platform/deletion.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include "scoped_win32.h"
#include "tree_walk_flags.h"
#endif

using testing_support::MakeFolderLink;
using testing_support::TestFolder;

namespace {

constexpr const char* kLevels[] = {"Ebene Łódź Lublinek", "Уровень Жуковский", "階層 東京 羽田",
                                   "Αθήνα Ελληνικό", "Müller Straße Ω 😀"};

// `depth` nested folders, each name 16 to 22 characters long.
std::string Nested(int depth) {
    std::string out;
    for (int i = 0; i < depth; ++i)
        out += (i ? "\\" : "") + std::to_string(i) + " " + kLevels[i % 5];
    return out;
}

constexpr int kDepth = 16;

// Writes a file whose name ends in a dot and a blank, as only the "\\?\" form writes it
// on Windows: plain paths drop trailing dots and blanks, so a walk that hands the
// system plain paths cannot delete it.
void WriteLiterally(const TestFolder& t, const std::string& relative) {
#ifdef _WIN32
    const std::wstring path = L"\\\\?\\" + platform::win32::Widen(t.Path(relative));
    const platform::win32::ScopedFileHandle written(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(written);
#else
    t.Write(relative, "n");
#endif
}

// The product folder's tree: a file at every level, a second folder with a read-only
// file and a file named "Notes. " at the bottom. Returns the deepest file's full path.
std::string LayOutProduct(const TestFolder& t) {
    for (int depth = 0; depth <= kDepth; ++depth)
        t.Write("Product\\" + Nested(depth) + "\\Scenery " + std::to_string(depth) + ".bgl", "s");
    const std::string deepest = "Product\\" + Nested(kDepth) + "\\Texture\\Жуковский 東京.bmp";
    t.Write(deepest, "t");
    EXPECT_FALSE(platform::SetReadOnly(t.Path(deepest), true));
    WriteLiterally(t, "Product\\" + Nested(kDepth) + "\\Notes. ");
    t.Write("Productive\\keep.txt", "keep");
    return t.Path(deepest);
}

// The path with every name in its 8.3 short form; empty without such names.
std::string ShortNames(const std::string& path) {
#ifdef _WIN32
    using namespace platform::win32;
    const std::wstring wide = WidePath(path);
    std::wstring out(GetShortPathNameW(wide.c_str(), nullptr, 0), L'\0');
    out.resize(GetShortPathNameW(wide.c_str(), out.data(), static_cast<DWORD>(out.size())));
    return Narrow(WithoutLongFormPrefix(out));
#else
    (void)path;
    return {};
#endif
}

bool UnderWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

std::string AsciiUpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

} // namespace

TEST(DeleteTree, RemovesTreesDeeperThanMaxPathHoweverTheFolderIsSpelled) {
    struct Case {
        const char* spelling;
        std::string (*name)(const std::string& folder);
        bool windowsOnly;
    } cases[] = {
        {"as written", [](const std::string& f) { return f; }, false},
        {"with / separators, a . part and a final separator",
         [](const std::string& f) {
             std::string out = f + "\\.\\";
             std::replace(out.begin(), out.end(), '\\', '/');
             return out;
         },
         false},
        {"in the \\\\?\\ form", [](const std::string& f) { return "\\\\?\\" + f; }, true},
        {"in the \\\\.\\ form", [](const std::string& f) { return "\\\\.\\" + f; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spelling);
#ifndef _WIN32
        if (c.windowsOnly)
            continue;
#endif
        TestFolder t;
        const std::string deepest = LayOutProduct(t);
        ASSERT_GT(deepest.size(), 350u);
        ASSERT_TRUE(platform::FilePresent(deepest));

        const platform::TreeDeletion done = platform::DeleteTree(c.name(t.Path("Product")));
        EXPECT_FALSE(done.error) << done.error.message();
        EXPECT_TRUE(done.inUse.empty());
        EXPECT_FALSE(platform::FolderPresent(t.Path("Product")));
        EXPECT_EQ(t.Read("Productive\\keep.txt"), "keep");
    }
}

TEST(DeleteTree, DeletesEverythingBelowTheFolderWrittenInAnyCase) {
    TestFolder t;
    t.Write("Product\\Scenery\\a.bgl", "a");
    t.Write("Product\\Texture\\Deep\\b.bmp", "b");
    t.Write("Product\\c.txt", "c");
    t.Write("Keep\\d.txt", "d");
    EXPECT_FALSE(platform::DeleteTree(t.Path("PRODUCT")).error);
    EXPECT_FALSE(platform::FolderPresent(t.Path("Product")));
    EXPECT_TRUE(t.Has("Keep\\d.txt"));
}

TEST(DeleteTree, LeavesFilesAndMissingFoldersAlone) {
    TestFolder t;
    t.Write("file.txt", "x");
    EXPECT_TRUE(platform::DeleteTree(t.Path("missing")).error);
    EXPECT_TRUE(platform::DeleteTree(t.Path("file.txt")).error);
    EXPECT_TRUE(t.Has("file.txt"));
}

TEST(DeleteTree, RemovesALinkBeyondMaxPathAsALink) {
    TestFolder t;
    t.Write("Shared\\keep.txt", "keep");
    LayOutProduct(t);
    const std::string link = t.Path("Product\\" + Nested(kDepth) + "\\ToShared");
    ASSERT_GT(link.size(), 300u);
    if (!MakeFolderLink(t.Path("Shared"), link))
        GTEST_SKIP() << "this system makes no symbolic links here";
    EXPECT_TRUE(platform::IsLink(link));
    // The safety rules compare what a path resolves to, links followed, however deep.
    EXPECT_EQ(platform::ResolvedPathName(link + "\\keep.txt"),
              platform::ResolvedPathName(t.Path("Shared\\keep.txt")));

    const platform::TreeDeletion done = platform::DeleteTree(t.Path("Product"));
    EXPECT_FALSE(done.error) << done.error.message();
    EXPECT_FALSE(platform::FolderPresent(t.Path("Product")));
    EXPECT_EQ(t.Read("Shared\\keep.txt"), "keep");
}

// Another program acting between the walk's listing of a folder and its opening of a
// child: the walk must delete what it checked, never what a link put in its place.
TEST(DeleteTree, ActsOnWhatItCheckedWhenAChildIsSwappedAfterTheListing) {
    struct Case {
        const char* what;
        const char* child; // the swap happens just before the walk opens it
        bool (*swap)(const TestFolder& t);
        bool holdsOnWindows; // Windows refuses the swap; POSIX lets the walk follow it
    } cases[] = {
        {"a folder renamed away and a link to a folder outside put in its place", "Product\\Sub",
         [](const TestFolder& t) {
             return !platform::RenameNoReplace(t.Path("Product\\Sub"), t.Path("Moved")) &&
                    MakeFolderLink(t.Path("Outside"), t.Path("Product\\Sub"));
         },
         false},
        {"a file replaced by a link to a folder outside", "Product\\a.txt",
         [](const TestFolder& t) {
             return !platform::RemoveFile(t.Path("Product\\a.txt")) &&
                    MakeFolderLink(t.Path("Outside"), t.Path("Product\\a.txt"));
         },
         false},
        {"the folder being emptied renamed away while the walk is inside it", "Product\\Sub\\b.txt",
         [](const TestFolder& t) {
             return !platform::RenameNoReplace(t.Path("Product\\Sub"), t.Path("Moved"));
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder t;
        t.Write("Product\\a.txt", "a");
        t.Write("Product\\Sub\\b.txt", "b");
        t.Write("Outside\\keep.txt", "keep");
        bool swapped = false;
        const std::string target = t.Path(c.child);
        const platform::TreeDeletion done =
            platform::walk::DeleteTree(t.Path("Product"), [&](const std::string& child) {
                std::string native = target;
#ifndef _WIN32
                std::replace(native.begin(), native.end(), '\\', '/');
#endif
                if (child == native && !swapped)
                    swapped = c.swap(t);
            });
        EXPECT_EQ(t.Read("Outside\\keep.txt"), "keep");
        EXPECT_TRUE(platform::FolderPresent(t.Path("Outside")));
#ifdef _WIN32
        const bool refused = c.holdsOnWindows;
#else
        const bool refused = false;
#endif
        if (refused) {
            EXPECT_FALSE(swapped) << "a folder the walk holds was renamed";
            EXPECT_FALSE(done.error) << done.error.message();
            EXPECT_FALSE(platform::FolderPresent(t.Path("Product")));
            continue;
        }
        if (!swapped)
            continue; // no links on this system (Wine 8)
        EXPECT_FALSE(platform::IsLink(t.Path("Product\\Sub")));
        EXPECT_FALSE(platform::IsLink(t.Path("Product\\a.txt")));
    }
}

#ifdef _WIN32
// What the walk asks of every open, read from the constants it opens with: the object
// itself and never a link's target, DELETE for deleting through the checked handle,
// and the folders it is inside held against renaming (no FILE_SHARE_DELETE). Backup
// intent would let an administrator's token pass the files' own permissions.
TEST(TreeWalk, OpensWithTheFlagsThatCloseTheWindow) {
    namespace flags = platform::win32::walk;
    const struct {
        const char* what;
        flags::OpenFlags open;
        ACCESS_MASK required;
        bool heldAgainstRenaming;
    } rows[] = {
        {"a folder the walk is inside", flags::kFolder, DELETE | FILE_LIST_DIRECTORY, true},
        {"a folder another program holds", flags::kHeldFolder, FILE_LIST_DIRECTORY, true},
        {"a file or a link", flags::kFile, DELETE | FILE_WRITE_ATTRIBUTES, false},
        {"a file or a link deleted as it closes", flags::kFileDeletedOnClose, DELETE, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.open.access & row.required, row.required);
        EXPECT_TRUE(row.open.options & FILE_OPEN_REPARSE_POINT);
        EXPECT_TRUE(row.open.options & FILE_SYNCHRONOUS_IO_NONALERT);
        EXPECT_FALSE(row.open.options & FILE_OPEN_FOR_BACKUP_INTENT);
        EXPECT_EQ((row.open.share & FILE_SHARE_DELETE) == 0, row.heldAgainstRenaming);
        EXPECT_TRUE(row.open.share & FILE_SHARE_READ);
    }
    EXPECT_EQ(flags::kFolderByPath,
              DWORD{FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT});
    EXPECT_EQ(flags::kFileByPath, DWORD{FILE_FLAG_OPEN_REPARSE_POINT}); // a folder is not opened
    EXPECT_EQ(flags::kFileDeletedOnClose.options & (FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE),
              ULONG{FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE}); // nor here
    // The folders of a [File] step are held against renaming while their files go.
    EXPECT_EQ(flags::kHeldFileFolderShare & FILE_SHARE_DELETE, 0u);
}

// Only what a program holds waits for the restart; a refusal is a refusal. Windows
// answers a running program's own image with access denied to a delete by path; the
// delete through a handle tells it apart.
TEST(IsInUseError, TakesSharingLockAndMappingButNotAccessDenied) {
    const struct {
        DWORD code;
        bool inUse;
    } cases[] = {
        {ERROR_SHARING_VIOLATION, true}, {ERROR_LOCK_VIOLATION, true},
        {ERROR_USER_MAPPED_FILE, true},  {ERROR_ACCESS_DENIED, false},
        {ERROR_FILE_NOT_FOUND, false},   {ERROR_DIR_NOT_EMPTY, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::IsInUseError(platform::win32::MakeError(c.code)), c.inUse) << c.code;
    EXPECT_FALSE(platform::IsInUseError(std::make_error_code(std::errc::permission_denied)));

    const std::string self = platform::ProgramPath();
    const std::error_code running = platform::DeleteOneFile(self);
    if (!platform::FilePresent(self))
        GTEST_SKIP() << "this system deletes a running program's file (Wine)";
    EXPECT_TRUE(platform::IsInUseError(running)) << running.value();
}
#endif

TEST(ResolvedPathName, ResolvesEveryPartOfAPathBeyondMaxPath) {
    TestFolder t;
    const std::string folder = t.Path("Product\\" + Nested(30));
    ASSERT_FALSE(platform::MakeFolders(folder));
    const std::string tail = "\\Missing\\Tail"; // kept as written
    const std::string resolved = platform::ResolvedPathName(folder + tail);
    EXPECT_EQ(resolved.size(), folder.size() + tail.size());
    // The folders of one removal step, each asked once, give the same answers: a file
    // there, one in a folder that is not there, and the same deep paths.
    t.Write("Product\\a.txt", "a");
    platform::FileFolders files;
    for (const std::string& path : {t.Path("Product\\a.txt"), t.Path("Gone\\Deeper\\b.txt"),
                                    t.Path("Product\\b.txt"), folder + tail, folder + "\\Other"})
        EXPECT_EQ(files.ResolvedPathName(path), platform::ResolvedPathName(path)) << path;
    if (UnderWine()) {
        // Windows resolves such paths; Wine 8 resolves none beyond MAX_PATH: its
        // GetFinalPathNameByHandleW fails with ERROR_MORE_DATA, and its GetLongPathNameW
        // copies a "\\?\" path as it is.
        GTEST_SKIP() << "Wine resolves no path beyond MAX_PATH";
    }
    struct Spelling {
        const char* what;
        std::string path;
    } spellings[] = {
        {"with 8.3 short names", ShortNames(folder)},
        {"in other letters' case", AsciiUpperCase(folder)},
    };
    for (const Spelling& s : spellings) {
        if (s.path.empty())
            continue; // not on this system
        SCOPED_TRACE(s.what);
        ASSERT_GT(s.path.size(), 280u);
        EXPECT_EQ(platform::ResolvedPathName(s.path + tail), resolved);
        EXPECT_EQ(files.ResolvedPathName(s.path + tail), resolved);
    }
}

#ifdef _WIN32
TEST(LongFormOfFullPath, GivesTheLiteralFormFrom248Characters) {
    using platform::win32::LongFormOfFullPath;
    const std::wstring name(300, L'x');
    const struct {
        std::wstring full;
        std::wstring expected;
    } cases[] = {
        {L"C:\\" + name.substr(0, 244), L"C:\\" + name.substr(0, 244)}, // 247: as it is
        {L"C:\\" + name.substr(0, 245), L"\\\\?\\C:\\" + name.substr(0, 245)},
        {L"\\\\server\\share\\" + name, L"\\\\?\\UNC\\server\\share\\" + name},
        {L"\\\\.\\C:\\" + name, L"\\\\?\\C:\\" + name},
        {L"\\\\?\\C:\\" + name, L"\\\\?\\C:\\" + name},
        {L"C:\\" + name + L"\\Notes. ", L"\\\\?\\C:\\" + name + L"\\Notes. "}, // taken literally
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LongFormOfFullPath(c.full), c.expected) << c.full.size();
        EXPECT_EQ(platform::win32::WithoutLongFormPrefix(c.expected).back(), c.full.back());
    }
}
#endif
