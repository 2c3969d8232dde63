// Key trees below HKEY_LOCAL_MACHINE, as the uninstall wizard removes them. A 32-bit
// program sees the registry view that 32-bit installers write.
//
// Without a registry (POSIX) a stand-in keeps each key as a folder below a root
// folder, so that tests can create, look at and delete key trees: the root is the
// environment variable BRIGHTMERE_REGISTRY_ROOT, or "brightmere-registry" in the
// temporary folder.
#pragma once

#include <string>
#include <system_error>

namespace platform {

// `keyPath` is the path below HKEY_LOCAL_MACHINE, without the root ("SOFTWARE\A\B").

// Deletes the key with all its subkeys and values, depth first.
std::error_code DeleteMachineKeyTree(const std::string& keyPath);

bool MachineKeyExists(const std::string& keyPath);

// Creates the key and any missing parents (for tests and tools).
std::error_code CreateMachineKey(const std::string& keyPath);

} // namespace platform
