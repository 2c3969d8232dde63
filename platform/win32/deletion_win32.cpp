// Win32 side of safe deletion. The shell's own tree delete follows junctions and
// directory links into their targets, so the tree is walked here (class Walk, which
// says what it guarantees): every reparse point is removed as the link it is and
// never entered, and everything is deleted through a handle to the very object that
// was checked.
//
// Below the folder it starts at, the walk opens each child by its name relative to its
// folder's handle, so depth is no limit. The folder itself is opened by the long form
// of its full path (the "\\?\" form from 248 characters on). Paths in results are the
// walk's own, without that prefix.
#include "platform/deletion.h"

#include "../common/tree_walk.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/shell.h"
#include "scoped_win32.h"
#include "tree_walk_flags.h"
#include "windows_support.h"

#include <cstdlib>
#include <vector>

namespace platform {
namespace {

constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034L); // no such name
constexpr NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003AL); // no folder on the way
constexpr NTSTATUS kSharingViolation = static_cast<NTSTATUS>(0xC0000043L);
constexpr NTSTATUS kFileIsAFolder = static_cast<NTSTATUS>(0xC00000BAL);

bool NotThere(NTSTATUS status) {
    return status == kNameNotFound || status == kPathNotFound;
}

using win32::Narrow;
using win32::ScopedFileHandle;
using win32::Widen;
namespace flags = win32::walk;

std::wstring Long(const std::wstring& fullPath) {
    return win32::LongFormOfFullPath(fullPath);
}

// A name inside `folder`. The long form takes a doubled separator literally, and a
// drive root ("C:\\") already ends in one.
std::wstring Child(const std::wstring& folder, const std::wstring& name) {
    return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// The final path of an existing file or folder (a full path), links followed; empty
// when it cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
    const ScopedFileHandle file(
        CreateFileW(Long(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return {};
    return win32::PlaceOfHandle(file.Get());
}

// A full path with its 8.3 short names expanded; empty when it does not exist.
std::wstring LongNames(const std::wstring& path) {
    const std::wstring call = Long(path);
    const DWORD needed = GetLongPathNameW(call.c_str(), nullptr, 0);
    if (needed == 0)
        return {};
    std::wstring out(needed, L'\0');
    const DWORD n = GetLongPathNameW(call.c_str(), out.data(), needed);
    if (n == 0 || n >= needed)
        return {};
    out.resize(n);
    return win32::WithoutLongFormPrefix(out);
}

std::error_code StatusError(NTSTATUS status) {
    return win32::MakeError(RtlNtStatusToDosError(status));
}

std::error_code AttributesOf(HANDLE handle, DWORD& attributes) {
    FILE_BASIC_INFO info{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info))
        return win32::LastError();
    attributes = info.FileAttributes;
    return {};
}

std::error_code SetAttributes(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO info{}; // times of zero are left as they are
    info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info))
        return win32::LastError();
    return {};
}

// Deletes what `handle` holds (opened with DELETE) when the handle is closed; a
// read-only one too. A file that the system cannot delete for any other reason is
// a running program's image, mapped by the loader: "in use", not "access denied",
// although Windows reports both as ERROR_ACCESS_DENIED.
std::error_code DeleteThroughHandle(HANDLE handle, DWORD attributes) {
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        if (const std::error_code error =
                SetAttributes(handle, attributes & ~FILE_ATTRIBUTE_READONLY))
            return error;
    }
    struct {
        BOOLEAN deleteFile;
    } disposition = {TRUE};
    IO_STATUS_BLOCK io{};
    // FileDispositionInformation, as SetFileInformationByHandle(FileDispositionInfo)
    // sets it; called directly for the status that tells the two refusals apart.
    const NTSTATUS status = NtSetInformationFile(handle, &io, &disposition, sizeof disposition,
                                                 static_cast<FILE_INFORMATION_CLASS>(13));
    if (NT_SUCCESS(status))
        return {};
    if (readOnly)
        SetAttributes(handle, attributes); // leave it as it was
    if (status == static_cast<NTSTATUS>(0xC0000121L) && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return win32::MakeError(ERROR_USER_MAPPED_FILE); // STATUS_CANNOT_DELETE
    return StatusError(status);
}

// Opens `name` inside the folder that `folder` holds: the name is looked up in that
// very folder, whatever has happened to the path that led to it.
NTSTATUS OpenChild(HANDLE folder, const std::wstring& name, const flags::OpenFlags& open,
                   ScopedFileHandle& out) {
    UNICODE_STRING unicode;
    unicode.Buffer = const_cast<PWSTR>(name.c_str());
    unicode.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    unicode.MaximumLength = unicode.Length;
    OBJECT_ATTRIBUTES object;
    InitializeObjectAttributes(&object, &unicode, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE handle = nullptr;
    const NTSTATUS status = NtCreateFile(&handle, open.access, &object, &io, nullptr, 0, open.share,
                                         FILE_OPEN, open.options, nullptr, 0);
    if (NT_SUCCESS(status))
        out.Reset(handle);
    return status;
}

// Deletes the file or link `name` inside the folder that `folder` holds, as
// DeleteOneFile deletes one by its path: opened as itself, a folder not at all.
std::error_code DeleteChildFile(HANDLE folder, const std::wstring& name) {
    ScopedFileHandle file;
    NTSTATUS status = OpenChild(folder, name, flags::kFileDeletedOnClose, file);
    if (NT_SUCCESS(status))
        return {}; // gone as the handle closes
    if (status == kFileIsAFolder)
        return win32::MakeError(ERROR_ACCESS_DENIED); // as DeleteFileW answers a folder
    if (NotThere(status))
        return StatusError(status);
    flags::OpenFlags open = flags::kFile;
    open.options |= FILE_NON_DIRECTORY_FILE;
    status = OpenChild(folder, name, open, file);
    if (!NT_SUCCESS(status))
        return status == kFileIsAFolder ? win32::MakeError(ERROR_ACCESS_DENIED)
                                        : StatusError(status);
    DWORD attributes = 0;
    if (const std::error_code error = AttributesOf(file.Get(), attributes))
        return error;
    return DeleteThroughHandle(file.Get(), attributes);
}

struct Entry {
    std::wstring name;
    DWORD attributes;
};

// Every name in the folder that `folder` holds, read through that handle.
std::error_code List(HANDLE folder, std::vector<Entry>& entries) {
    std::vector<LONGLONG> buffer(8192); // 64 KiB, aligned for the records
    for (;;) {
        if (!GetFileInformationByHandleEx(folder, FileFullDirectoryInfo, buffer.data(),
                                          static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)))) {
            const DWORD error = GetLastError();
            return error == ERROR_NO_MORE_FILES ? std::error_code{} : win32::MakeError(error);
        }
        const char* at = reinterpret_cast<const char*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_FULL_DIR_INFO*>(at);
            std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..")
                entries.push_back({std::move(name), info->FileAttributes});
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
    }
}

// The walk. Its guarantee: it acts only on objects it holds open and has checked on
// their handle. Each folder it is inside stays open without FILE_SHARE_DELETE from
// before it is listed until it is removed, so it cannot be renamed, removed or
// replaced by a link meanwhile; each child is opened by its name relative to that
// handle, without following a reparse point, checked on its own handle, and deleted
// through it. A child swapped for a junction or a link after the listing is therefore
// opened as the link, and removed as one; its target is never entered.
class Walk {
public:
    Walk(TreeDeletion& result, const walk::BeforeOpeningChild& observer)
        : result_(result), observer_(observer) {}

    // Deletes what `handle` holds (a folder with everything in it, or a link or file)
    // at `path`; `removable` is false when the handle cannot delete it. Returns true
    // when it is gone, once the handle is closed.
    bool Remove(HANDLE handle, const std::wstring& path, bool removable) {
        DWORD attributes = 0;
        if (const std::error_code error = AttributesOf(handle, attributes))
            return Failed(path, error);
        const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (folder && !link && !Empty(handle, path))
            return false;
        if (!removable)
            return Failed(path, win32::MakeError(ERROR_SHARING_VIOLATION));
        // For a junction or a folder link this removes the link, never its target.
        if (const std::error_code error = DeleteThroughHandle(handle, attributes))
            return Failed(path, error);
        return true;
    }

private:
    // Returns true when everything in the folder is gone.
    bool Empty(HANDLE folder, const std::wstring& path) {
        std::vector<Entry> entries;
        if (const std::error_code error = List(folder, entries))
            return Failed(path, error);
        bool gone = true;
        bool childInUse = false;
        for (const Entry& entry : entries) {
            const size_t before = result_.inUse.size();
            gone = RemoveChild(folder, path, entry) && gone;
            childInUse = childInUse || result_.inUse.size() != before;
        }
        if (childInUse) {
            // The folder goes once what it holds is gone: at the restart, after it.
            result_.inUse.push_back(Narrow(path));
            return false;
        }
        return gone;
    }

    bool RemoveChild(HANDLE folder, const std::wstring& folderPath, const Entry& entry) {
        const std::wstring path = Child(folderPath, entry.name);
        if (observer_)
            observer_(Narrow(path));
        // The listing only names the child and says how to open it; what is done with
        // it is decided on its own handle.
        const bool listedAsFolder = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                    !(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        ScopedFileHandle child;
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            // A file or a file link, as listed: deleted in one open and one close.
            // Whatever else it is now (a folder, a junction, read-only, in use) is opened
            // again below and decided on its own handle.
            const NTSTATUS status =
                OpenChild(folder, entry.name, flags::kFileDeletedOnClose, child);
            if (NT_SUCCESS(status) || status == kNameNotFound)
                return true; // gone as the handle closes, or gone already
            child.Reset();
        }
        NTSTATUS status =
            OpenChild(folder, entry.name, listedAsFolder ? flags::kFolder : flags::kFile, child);
        bool removable = true;
        if (status == kSharingViolation && listedAsFolder) {
            removable = false;
            status = OpenChild(folder, entry.name, flags::kHeldFolder, child);
        }
        if (status == kNameNotFound)
            return true; // gone already
        if (!NT_SUCCESS(status))
            return Failed(path, StatusError(status));
        return Remove(child.Get(), path, removable);
    }

    bool Failed(const std::wstring& path, std::error_code error) {
        if (IsInUseError(error))
            result_.inUse.push_back(Narrow(path));
        else if (!result_.error)
            result_.error = error;
        return false;
    }

    TreeDeletion& result_;
    const walk::BeforeOpeningChild& observer_;
};

} // namespace

std::string ResolvedPathName(const std::string& path) {
    const std::wstring full = Widen(FullPathName(path));
    // The longest part that exists is resolved by the system; the rest is appended.
    std::wstring head = full;
    std::wstring tail;
    for (;;) {
        std::wstring resolved = FinalPath(head);
        if (resolved.empty())
            resolved = LongNames(head);
        if (!resolved.empty()) {
            if (!tail.empty()) {
                if (resolved.back() != L'\\')
                    resolved += L'\\';
                resolved += tail;
            }
            return Narrow(resolved);
        }
        const size_t cut = head.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut + 1 >= head.size())
            return Narrow(full);
        tail = head.substr(cut + 1) + (tail.empty() ? L"" : L"\\" + tail);
        head = head.substr(0, cut);
        if (head.size() == 2 && head[1] == L':')
            head += L'\\';
    }
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(win32::WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Access denied is a refusal, not a sign of use: it is listed with its reason and never
// handed to the restart. A running program's own image refused through its handle
// comes back as ERROR_USER_MAPPED_FILE (DeleteThroughHandle).
bool IsInUseError(std::error_code error) {
    if (error.category() != std::system_category())
        return false;
    switch (error.value()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return true;
    default:
        return false;
    }
}

std::error_code DeleteOneFile(const std::string& path) {
    // Opened as itself (a link as the link) and deleted through the handle that was
    // checked; a folder is not opened at all (ERROR_ACCESS_DENIED, as DeleteFileW).
    ScopedFileHandle file(CreateFileW(win32::WidePath(path).c_str(), flags::kFile.access,
                                      flags::kFile.share, nullptr, OPEN_EXISTING,
                                      flags::kFileByPath, nullptr));
    if (!file)
        return win32::LastError();
    DWORD attributes = 0;
    if (const std::error_code error = AttributesOf(file.Get(), attributes))
        return error;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return win32::MakeError(ERROR_ACCESS_DENIED);
    return DeleteThroughHandle(file.Get(), attributes);
}

TreeDeletion walk::DeleteTree(const std::string& folder, const BeforeOpeningChild& observer) {
    TreeDeletion result;
    std::wstring path = Widen(FullPathName(folder));
    // "C:\\Product\\" is the folder "C:\\Product"; a drive root keeps its separator.
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':')
        path.pop_back();
    const std::wstring call = Long(path);
    bool removable = true;
    ScopedFileHandle root(CreateFileW(call.c_str(), flags::kFolder.access, flags::kFolder.share,
                                      nullptr, OPEN_EXISTING, flags::kFolderByPath, nullptr));
    if (!root && GetLastError() == ERROR_SHARING_VIOLATION) {
        removable = false;
        root.Reset(CreateFileW(call.c_str(), flags::kHeldFolder.access, flags::kHeldFolder.share,
                               nullptr, OPEN_EXISTING, flags::kFolderByPath, nullptr));
    }
    if (!root) {
        result.error = win32::LastError();
        return result;
    }
    DWORD attributes = 0;
    if (const std::error_code error = AttributesOf(root.Get(), attributes)) {
        result.error = error;
        return result;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        result.error = win32::MakeError(ERROR_DIRECTORY);
        return result;
    }
    Walk(result, observer).Remove(root.Get(), path, removable);
    return result;
}

TreeDeletion DeleteTree(const std::string& folder) {
    return walk::DeleteTree(folder, {});
}

std::error_code DeleteAtRestart(const std::string& path) {
    if (!MoveFileExW(Long(Widen(FullPathName(path))).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        return win32::LastError();
    return {};
}

std::error_code RemoveEmptyFolder(const std::string& folder,
                                  const std::function<bool(const std::string& onDisk)>& allowed) {
    std::wstring path = Widen(FullPathName(folder));
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, never what it leads to.
    win32::ScopedFileHandle handle(
        CreateFileW(Long(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle)
        return win32::LastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.Get(), &info))
        return win32::LastError();
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return win32::MakeError(ERROR_DIRECTORY);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return win32::MakeError(ERROR_REPARSE_ATTRIBUTE_CONFLICT);
    const std::wstring onDisk = win32::PlaceOfHandle(handle.Get());
    if (onDisk.empty())
        return win32::LastError();
    if (!allowed(Narrow(onDisk)))
        return win32::MakeError(ERROR_ACCESS_DENIED);
    // The system refuses this for a folder that is not empty (ERROR_DIR_NOT_EMPTY);
    // the folder goes when the handle closes.
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(handle.Get(), FileDispositionInfo, &disposition,
                                    sizeof disposition))
        return win32::LastError();
    return {};
}

struct FileFolders::Folder {
    enum class State {
        Held,    // open in `handle`, leading to `resolved`
        Missing, // not there: `firstMissing` is not in `ancestor`, the nearest held folder above
        Unheld,  // there but not held, or not to be asked this way: each file by its path
    };
    State state = State::Unheld;
    ScopedFileHandle handle;
    std::wstring path;     // Held: as it was opened
    std::wstring resolved; // where it leads, as ResolvedPathName gives it
    Folder* ancestor = nullptr;
    std::wstring firstMissing;
};

namespace {

using State = FileFolders::Folder::State;

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

enum class Found { There, NotThere, Unknown };

// What is at `name` in a held folder, its attributes as GetFileAttributesW gives them (a
// link's own). Asked by the path the folder was opened by, which leads to the held
// folder while it is held; the answer only tells whether to delete and how to judge,
// and the deletion itself goes through the folder's handle.
Found QueryChild(const FileFolders::Folder& folder, const std::wstring& name, DWORD& attributes) {
    attributes = GetFileAttributesW(Long(Joined(folder.path, name)).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return Found::There;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Found::NotThere
                                                                          : Found::Unknown;
}

// The folder of a canonical full path ("C:\" for "C:\a"), or empty for a root.
std::string FolderOfCanonical(const std::string& path) {
    std::string folder = ParentOf(path);
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    return folder == path ? std::string() : folder;
}

// `path` in its canonical form, which the folders are kept by; empty when it has none
// (the plain functions then answer).
std::string Canonical(const std::string& path) {
    const CanonicalPath canonical = CanonicalFullPath(path);
    return canonical.Accepted() ? canonical.path : std::string();
}

// Still not there: nothing of that name in the held folder above it, so nothing below
// either, whatever has been put elsewhere meanwhile.
bool StillMissing(const FileFolders::Folder& entry) {
    DWORD attributes = 0;
    return QueryChild(*entry.ancestor, entry.firstMissing, attributes) == Found::NotThere;
}

} // namespace

FileFolders::FileFolders() = default;
FileFolders::~FileFolders() = default;

FileFolders::Folder* FileFolders::Find(const std::string& folder, bool verify) {
    std::unique_ptr<Folder>& slot = folders_[folder];
    if (!slot) {
        slot = std::make_unique<Folder>();
        Look(folder, *slot);
    } else if (verify && slot->state == State::Missing && !StillMissing(*slot)) {
        Look(folder, *slot); // it has appeared: asked again, from its path
    }
    return slot.get();
}

void FileFolders::Look(const std::string& folder, Folder& entry) {
    entry = Folder{};
    const std::wstring path = Widen(folder);
    ScopedFileHandle handle(CreateFileW(Long(path).c_str(), flags::kHeldFileFolderAccess,
                                        flags::kHeldFileFolderShare, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle) {
        DWORD attributes = 0;
        const std::error_code failure = AttributesOf(handle.Get(), attributes);
        std::wstring resolved = failure ? std::wstring() : win32::PlaceOfHandle(handle.Get());
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !resolved.empty()) {
            entry.state = State::Held;
            entry.handle = std::move(handle);
            entry.path = path;
            entry.resolved = std::move(resolved);
        }
        return; // a file in the folder's place, or a folder that cannot say where it leads
    }
    const DWORD error = GetLastError();
    const std::string parent = FolderOfCanonical(folder);
    if ((error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) || parent.empty())
        return;
    Folder* above = Find(parent, true);
    if (above->state == State::Unheld)
        return;
    const std::wstring name = Widen(NameOf(folder));
    entry.state = State::Missing;
    entry.resolved = Joined(above->resolved, name);
    entry.ancestor = above->state == State::Held ? above : above->ancestor;
    entry.firstMissing = above->state == State::Held ? name : above->firstMissing;
    // It may have appeared between the failed open and the look at the folder above.
    if (!StillMissing(entry))
        entry = Folder{};
}

std::string FileFolders::ResolvedPathName(const std::string& path) {
    const std::string canonical = Canonical(path);
    const std::string folder = FolderOfCanonical(canonical);
    const std::wstring name = Widen(NameOf(canonical));
    if (folder.empty() || name.empty())
        return platform::ResolvedPathName(path);
    const Folder* entry = Find(folder, true);
    if (entry->state == State::Missing)
        return Narrow(Joined(entry->resolved, name));
    if (entry->state == State::Held) {
        DWORD attributes = 0;
        const Found child = QueryChild(*entry, name, attributes);
        // A link leads elsewhere and a name with "~" may be a short one: those are
        // asked on their own, by a path that leads through the held folder.
        if (child == Found::NotThere ||
            (child == Found::There && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
             name.find(L'~') == std::wstring::npos))
            return Narrow(Joined(entry->resolved, name));
    }
    return platform::ResolvedPathName(path);
}

bool FileFolders::FileOrLinkPresent(const std::string& path) {
    const std::string canonical = Canonical(path);
    const std::string folder = FolderOfCanonical(canonical);
    const std::wstring name = Widen(NameOf(canonical));
    if (!folder.empty() && !name.empty()) {
        const Folder* entry = Find(folder, false);
        if (entry->state == State::Missing)
            return false;
        if (entry->state == State::Held) {
            DWORD attributes = 0;
            return QueryChild(*entry, name, attributes) == Found::There &&
                   !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        }
    }
    return FilePresent(path) || (IsLink(path) && !FolderPresent(path));
}

std::error_code FileFolders::DeleteOneFile(const std::string& path) {
    const std::string canonical = Canonical(path);
    const std::string folder = FolderOfCanonical(canonical);
    const std::wstring name = Widen(NameOf(canonical));
    if (!folder.empty() && !name.empty()) {
        const Folder* entry = Find(folder, false);
        if (entry->state == State::Missing)
            return win32::MakeError(ERROR_FILE_NOT_FOUND);
        if (entry->state == State::Held)
            return DeleteChildFile(entry->handle.Get(), name);
    }
    return platform::DeleteOneFile(path);
}

} // namespace platform
