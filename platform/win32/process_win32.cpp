#include "platform/process.h"

#include "scoped_win32.h"
#include "windows_support.h"

#include <sddl.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace platform {

namespace {

// The running account's SID as text and whether the process runs elevated (a
// full administrator's token, or the system's).
std::error_code CurrentAccount(std::string& sid, bool& elevated) {
    win32::ScopedKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return win32::LastError();
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size))
        return win32::LastError();
    win32::ScopedLocalMemory text;
    wchar_t* sidText = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sidText))
        return win32::LastError();
    text.Reset(sidText);
    sid = win32::Narrow(sidText);
    TOKEN_ELEVATION elevation{};
    elevated =
        GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
        elevation.TokenIsElevated != 0;
    return {};
}

} // namespace

std::error_code MakePrivateFolder(const std::string& parent, const std::string& prefix,
                                  std::string& folder) {
    std::string sid;
    bool elevated = false;
    if (const std::error_code failure = CurrentAccount(sid, elevated))
        return failure;
    win32::ScopedLocalMemory descriptor;
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            win32::Widen(PrivateFolderSddl(sid, elevated)).c_str(), SDDL_REVISION_1, &made,
            nullptr))
        return win32::LastError();
    descriptor.Reset(made);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, made, FALSE};
    // Numbers that differ from run to run; a taken one moves on to the next.
    DWORD number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int tries = 0; tries < 1000; ++tries, ++number) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08lX", static_cast<unsigned long>(number));
        const std::string candidate = parent + prefix + digits;
        // CreateDirectoryW makes a new folder or fails: it never opens what is there.
        if (CreateDirectoryW(win32::WidePath(candidate).c_str(), &attributes)) {
            folder = candidate;
            return {};
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return win32::LastError();
    }
    return win32::LastError();
}

std::error_code WriteNewFile(const std::string& path, const std::string& bytes) {
    win32::ScopedFileHandle file(CreateFileW(win32::WidePath(path).c_str(), GENERIC_WRITE, 0,
                                             nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return win32::LastError();
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size())
        return win32::LastError();
    return {};
}

std::error_code ClearFileAttributes(const std::string& path) {
    if (!SetFileAttributesW(win32::WidePath(path).c_str(), FILE_ATTRIBUTE_NORMAL))
        return win32::LastError();
    return {};
}

std::string CommandLineText() {
    return win32::Narrow(GetCommandLineW(), CP_UTF8);
}

std::string SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : win32::Narrow(std::wstring(folder, n));
}

std::error_code StartHiddenCommand(const std::string& arguments,
                                   const EnvironmentValues& environment,
                                   const std::string& currentFolder) {
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return win32::LastError();
    // Named in full, so that no cmd.exe in the current folder is started instead.
    const std::wstring interpreter = std::wstring(folder, n) + L"\\cmd.exe";
    std::wstring command = L"\"" + interpreter + L"\" " + win32::Widen(arguments);

    // The caller's environment without the variables given, then those.
    std::vector<std::wstring> added;
    for (const auto& [name, value] : environment)
        added.push_back(win32::Widen(name) + L"=" + win32::Widen(value));
    std::wstring block;
    if (wchar_t* current = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
            const std::wstring text = entry;
            bool replaced = false;
            for (const auto& [name, value] : environment) {
                const std::wstring prefix = win32::Widen(name) + L"=";
                replaced = replaced ||
                           (text.size() >= prefix.size() &&
                            CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()),
                                                 prefix.data(), static_cast<int>(prefix.size()),
                                                 TRUE) == CSTR_EQUAL);
            }
            if (!replaced)
                block += text + L'\0';
        }
        FreeEnvironmentStringsW(current);
    }
    for (const std::wstring& entry : added)
        block += entry + L'\0';
    block += L'\0';

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), command.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, block.data(),
                        win32::Widen(currentFolder).c_str(), &startup, &process))
        return win32::LastError();
    win32::ScopedKernelHandle thread(process.hThread);
    win32::ScopedKernelHandle started(process.hProcess);
    return {};
}

std::vector<std::string> RunningProgramNames() {
    std::vector<std::string> names;
    win32::ScopedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return names;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry))
        names.push_back(win32::Narrow(entry.szExeFile));
    return names;
}

void EndProcess(int code) {
    ExitProcess(static_cast<UINT>(code));
}

} // namespace platform
