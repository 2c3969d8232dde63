// The shell, registry, library and folder calls of the uninstall wizard, on both
// sides of the platform layer.
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using testing_support::TestFolder;

TEST(MachineKeys, DeletesAWholeKeyTreeAndNothingBeside) {
#ifndef _WIN32
    TestFolder t;
    setenv("BRIGHTMERE_REGISTRY_ROOT", t.Path("registry").c_str(), 1);
#endif
    const std::string root = "SOFTWARE\\BrightmerePlatformTest";
    ASSERT_FALSE(platform::CreateMachineKey(root + "\\Product\\A\\A1"));
    ASSERT_FALSE(platform::CreateMachineKey(root + "\\Product\\A\\A2"));
    ASSERT_FALSE(platform::CreateMachineKey(root + "\\Product\\B"));
    ASSERT_FALSE(platform::CreateMachineKey(root + "\\Productive"));
    EXPECT_TRUE(platform::MachineKeyExists(root + "\\product\\a\\a2"));
    EXPECT_FALSE(platform::DeleteMachineKeyTree(root + "\\Product"));
    EXPECT_FALSE(platform::MachineKeyExists(root + "\\Product\\A\\A1"));
    EXPECT_FALSE(platform::MachineKeyExists(root + "\\Product"));
    EXPECT_TRUE(platform::MachineKeyExists(root + "\\Productive"));
    EXPECT_TRUE(platform::DeleteMachineKeyTree(root + "\\Product")); // already gone
    EXPECT_FALSE(platform::DeleteMachineKeyTree(root));
    EXPECT_FALSE(platform::MachineKeyExists(root));
}

TEST(CallLibraryEntry, TellsAMissingLibraryFromAMissingEntryPoint) {
    TestFolder t;
    EXPECT_EQ(platform::CallLibraryEntry(t.Path("no-such-library.dll"), "Entry", nullptr, nullptr,
                                         nullptr)
                  .result,
              platform::LibraryCallResult::NotLoaded);
#ifdef _WIN32
    const char* system = "kernel32.dll";
#else
    const char* system = "libc.so.6";
#endif
    EXPECT_EQ(
        platform::CallLibraryEntry(system, "NoSuchEntryPointAnywhere", "a", nullptr, "c").result,
        platform::LibraryCallResult::EntryMissing);
}

TEST(FullPathName, ResolvesRelativePathsAndDots) {
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    std::string here = platform::FullPathName(".");
    EXPECT_EQ(platform::FullPathName("sub\\..\\."), here);
    if (here.back() != separator)
        here += separator;
    EXPECT_EQ(platform::FullPathName("a"), here + "a");
}

TEST(ProtectedFolders, IncludeTheTemporaryAndWindowsFolders) {
    const auto folders = platform::ProtectedFolders();
    auto has = [&folders](std::string path) {
        while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
            path.pop_back();
        return std::any_of(folders.begin(), folders.end(), [&](const std::string& f) {
            return f.size() == path.size() &&
                   std::equal(f.begin(), f.end(), path.begin(), [](char a, char b) {
                       return std::tolower(static_cast<unsigned char>(a)) ==
                              std::tolower(static_cast<unsigned char>(b));
                   });
        });
    };
    EXPECT_TRUE(has(platform::TempFolder()));
#ifdef _WIN32
    EXPECT_TRUE(has(platform::WindowsFolder()));
    EXPECT_GE(folders.size(), 15u);
#endif
}

TEST(FolderWritable, CreatesAndDeletesItsProbeAndFailsWhereNothingCanBeCreated) {
    TestFolder t;
    t.Write("Addon\\file.txt", "x");
    EXPECT_TRUE(platform::FolderWritable(t.Base()));
    EXPECT_TRUE(platform::FolderWritable(t.Path("Addon")));
    std::error_code error;
    EXPECT_EQ(platform::ListFolder(t.Base(), error).size(), 1u) << "the probe is gone again";
    EXPECT_EQ(platform::ListFolder(t.Path("Addon"), error).size(), 1u);
    EXPECT_FALSE(platform::FolderWritable(t.Path("missing")));
    EXPECT_FALSE(platform::FolderWritable(t.Path("Addon\\file.txt"))) << "a file is no folder";
}

TEST(RunningProgramNames, IncludesTheRunningTestProgram) {
    const std::vector<std::string> names = platform::RunningProgramNames();
    EXPECT_TRUE(
        std::any_of(names.begin(), names.end(),
                    [](const std::string& name) { return name.rfind("platform_tests", 0) == 0; }))
        << names.size() << " names";
}
