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

#ifdef _WIN32
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#else
#include <sys/stat.h>
#endif

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
    EXPECT_FALSE(platform::DeleteMachineKeyTree(root + "\\Product").error);
    EXPECT_FALSE(platform::MachineKeyExists(root + "\\Product\\A\\A1"));
    EXPECT_FALSE(platform::MachineKeyExists(root + "\\Product"));
    EXPECT_TRUE(platform::MachineKeyExists(root + "\\Productive"));
    EXPECT_TRUE(platform::DeleteMachineKeyTree(root + "\\Product").error); // already gone
    EXPECT_FALSE(platform::DeleteMachineKeyTree(root).error);
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

// Each folder with what it is; the running account's profile is among the machine's
// accounts (on Win32 read from the list of profiles in the registry).
TEST(ProtectedFolders, IncludeTheTemporaryAndWindowsFoldersAndTheRunningAccount) {
    const auto folders = platform::SystemFolders();
    auto same = [](const std::string& a, std::string b) {
        while (b.size() > 3 && (b.back() == '\\' || b.back() == '/'))
            b.pop_back();
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    auto has = [&](platform::KnownFolder kind, const std::string& path) {
        return std::any_of(folders.begin(), folders.end(), [&](const platform::NamedFolder& f) {
            return f.kind == kind && same(f.path, path);
        });
    };
    EXPECT_TRUE(has(platform::KnownFolder::Temp, platform::TempFolder()));
    const platform::MachineProfiles machine = platform::AccountProfiles();
    for (const platform::NamedFolder& folder : folders) {
        if (folder.kind == platform::KnownFolder::Profile && folder.path != "/root") {
            EXPECT_TRUE(std::any_of(machine.profiles.begin(), machine.profiles.end(),
                                    [&](const std::string& p) { return same(p, folder.path); }))
                << folder.path;
        }
    }
#ifdef _WIN32
    EXPECT_TRUE(has(platform::KnownFolder::Windows, platform::WindowsFolder()));
    EXPECT_TRUE(has(platform::KnownFolder::DriveRoot, platform::WindowsFolder().substr(0, 3)));
    EXPECT_GE(folders.size(), 30u);
    EXPECT_FALSE(machine.defaultProfile.empty());
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

// The self-deletion's folder: owned by and open to the running account alone, or to
// the administrators and the system alone when elevated (the account's programs
// without elevation carry its SID too); nothing inherited from the shared folder
// above. Each descriptor is one the system accepts.
TEST(PrivateFolderSddl, LetsInOnlyTheAccountOrWhenElevatedTheAdministrators) {
    const struct {
        const char* sid;
        bool elevated;
        const char* sddl;
    } cases[] = {
        {"S-1-5-21-1004336348-1177238915-682003330-1001", false,
         "O:S-1-5-21-1004336348-1177238915-682003330-1001"
         "D:P(A;OICI;FA;;;S-1-5-21-1004336348-1177238915-682003330-1001)"},
        {"S-1-5-21-1004336348-1177238915-682003330-1001", true,
         "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"},
        {"S-1-5-18", true, "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sddl);
        EXPECT_EQ(platform::PrivateFolderSddl(c.sid, c.elevated), c.sddl);
#ifdef _WIN32
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(c.sddl, SDDL_REVISION_1,
                                                                         &descriptor, nullptr));
        LocalFree(descriptor);
#endif
    }
}

// A new folder every time, never one whose name is taken; the batch inside is
// written new, and a file already there under its name is left untouched.
TEST(MakePrivateFolder, MakesANewFolderEachTimeAndWritesOnlyNewFiles) {
    TestFolder t;
    std::string first, second;
    ASSERT_FALSE(platform::MakePrivateFolder(t.Base(), "uis", first));
    ASSERT_FALSE(platform::MakePrivateFolder(t.Base(), "uis", second));
    EXPECT_NE(first, second);
    for (const std::string& folder : {first, second}) {
        EXPECT_EQ(folder.rfind(t.Base() + "uis", 0), 0u) << folder;
        EXPECT_EQ(folder.size(), t.Base().size() + 11) << folder;
        EXPECT_TRUE(platform::FolderPresent(folder));
    }
    const std::string batch = first + "\\remove.bat";
    EXPECT_FALSE(platform::WriteNewFile(batch, "first"));
    EXPECT_TRUE(platform::WriteNewFile(batch, "planted over"));
    std::string bytes;
    EXPECT_FALSE(platform::ReadWholeFile(batch, bytes));
    EXPECT_EQ(bytes, "first");
    EXPECT_TRUE(platform::MakePrivateFolder(t.Path("missing\\"), "uis", second));
#ifdef _WIN32
    // Read back from the folder on Windows: a protected DACL that names nobody but
    // the entries of the descriptor above. Wine 8 neither keeps nor enforces it.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        return;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoA(first.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, nullptr, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
        descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr));
    const std::string dacl = text;
    LocalFree(text);
    LocalFree(descriptor);
    EXPECT_EQ(dacl.rfind("D:P(A;OICI;FA;;;", 0), 0u) << dacl;
    for (const char* other : {";WD)", ";BU)", ";AU)", ";IU)", "ID;"})
        EXPECT_EQ(dacl.find(other), std::string::npos) << dacl;
#else
    struct stat st {};
    ASSERT_EQ(::stat(first.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif
}
