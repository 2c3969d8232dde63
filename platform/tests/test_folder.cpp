#include "test_folder.h"

#include "platform/deletion.h"
#include "platform/files.h"
#include "platform/path.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include "windows_support.h"
#else
#include <unistd.h>
#endif

namespace testing_support {

namespace {
std::atomic<unsigned> counter{0};

} // namespace

TestFolder::TestFolder() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name = "bmtest-" + std::to_string(stamp) + "-" + std::to_string(++counter);
    native_ = platform::TempFolder() + name;
    if (platform::MakeFolders(native_))
        throw std::runtime_error("cannot create test folder " + native_);
#ifdef _WIN32
    base_ = native_ + "\\";
#else
    base_ = native_ + "/";
#endif
}

TestFolder::~TestFolder() {
    std::error_code ignored;
    // Read-only files left by a test must not keep the folder alive.
    for (auto it = std::filesystem::recursive_directory_iterator(native_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(native_, ignored);
}

std::string TestFolder::Canonical(const std::string& relative) const {
    return platform::CanonicalFullPath(Path(relative)).path;
}

void TestFolder::Write(const std::string& relative, const std::string& content) const {
    const std::string path = Path(relative);
    const std::string parent = platform::ParentOf(path);
    if (!parent.empty())
        platform::MakeFolders(parent);
    if (platform::WriteWholeFile(path, content))
        throw std::runtime_error("cannot write " + path);
}

void TestFolder::MakeFolder(const std::string& relative) const {
    if (platform::MakeFolders(Path(relative)))
        throw std::runtime_error("cannot create " + Path(relative));
}

std::string TestFolder::Read(const std::string& relative) const {
    std::string bytes;
    if (!platform::FilePresent(Path(relative)) || platform::ReadWholeFile(Path(relative), bytes))
        return "<missing>";
    return bytes;
}

bool TestFolder::Has(const std::string& relative) const {
    return platform::FilePresent(Path(relative));
}

bool MakeFolderLink(const std::string& target, const std::string& link) {
#ifdef _WIN32
    return CreateSymbolicLinkW(platform::win32::WidePath(link).c_str(),
                               platform::win32::WidePath(target).c_str(),
                               SYMBOLIC_LINK_FLAG_DIRECTORY) != 0 &&
           platform::IsLink(link);
#else
    std::string l = link;
    std::string to = target;
    std::replace(l.begin(), l.end(), '\\', '/');
    std::replace(to.begin(), to.end(), '\\', '/');
    return ::symlink(to.c_str(), l.c_str()) == 0;
#endif
}

} // namespace testing_support
