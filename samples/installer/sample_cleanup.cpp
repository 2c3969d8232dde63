// The sample product's library: the uninstall wizard calls RemoveSettings at removal
// ([DLL_RUN] D1=...\sample_cleanup.dll@RemoveSettings@<mark file>@<product>@). A
// real product would clean up what it made while it ran; this one leaves a mark for
// the round-trip test: it appends one line naming the product to the file of its
// first text.
//
// Exported under its plain name with the stdcall convention, as the wizard asks
// GetProcAddress for it (mingw: -Wl,--kill-at, so no "_RemoveSettings@12").
#include "scoped_win32.h"

#include <string>

extern "C" __declspec(dllexport) void __stdcall RemoveSettings(const char* markFile,
                                                               const char* product,
                                                               const char* /*unused*/) {
    if (!markFile || !*markFile)
        return;
    const platform::win32::ScopedFileHandle file(CreateFileA(markFile, FILE_APPEND_DATA,
                                                             FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    const std::string line = std::string("removed ") + (product ? product : "") + "\r\n";
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
