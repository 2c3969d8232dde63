// Rules the switcher applies around a switch: one switcher per folder, and no
// switch while the flight simulator holds the texture files open.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace season {

// Executable names of the simulators that hold the add-ons' files open while they
// run. The boxed edition and the Steam edition start the same program name.
inline constexpr std::string_view kSimulatorPrograms[] = {"fsx.exe"};

// The first of `processNames` (executable names, with or without a path) that is
// a simulator, compared without regard to case; empty when none is.
std::string RunningSimulator(const std::vector<std::string>& processNames);

// The folder in the form that identifies it whatever way it was written: "/" as
// "\", no trailing separator (a drive root keeps its own), ASCII letters in upper
// case. Text is UTF-8; letters beyond ASCII fold as platform::FoldUtf8 folds names
// (Latin, Greek, Cyrillic, full-width Latin), bytes of no UTF-8 sequence stay.
std::string FolderIdentity(std::string_view folder);

// A 64-bit fingerprint of a folder's identity (FNV-1a).
std::uint64_t FolderFingerprint(std::string_view folder);

// The name of the mutex that a switcher holds for its folder while it runs. It
// lives in the session's namespace and carries no backslash beyond the
// namespace's own, whatever the folder's length.
std::string InstanceMutexName(std::string_view folder);

// Whether a start without arguments ends at once. Only when its folder's mark was
// taken and a switcher window of this folder came to the front: any program of
// the session may take a mutex of that name first, and a start that finds the mark
// but no window to bring forward opens its own window as usual.
bool StartEndsAtOnce(bool markTaken, bool otherWindowBroughtForward);

} // namespace season
