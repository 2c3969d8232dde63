// Key trees below HKEY_LOCAL_MACHINE, as the uninstall wizard removes them. Every
// key is reached in the 32-bit view of the registry, where 32-bit installers write:
// on 64-bit Windows SOFTWARE\Maker names SOFTWARE\WOW6432Node\Maker, in a 32-bit
// build as in a 64-bit one (KEY_WOW64_32KEY).
//
// Without a registry (POSIX) a stand-in keeps each key as a folder below a root
// folder, so that tests can create, look at and delete key trees: the root is the
// environment variable BRIGHTMERE_REGISTRY_ROOT, or "brightmere-registry" in the
// temporary folder.
#pragma once

#include <string>
#include <system_error>
#include <vector>

namespace platform {

// `keyPath` is the path below HKEY_LOCAL_MACHINE, without the root ("SOFTWARE\A\B").

// A key that stayed when its tree was deleted, with its own failure.
struct KeyLeft {
    std::string keyPath;
    std::error_code error;
};

// What deleting a key tree left behind.
struct KeyTreeDeletion {
    std::error_code error;         // the key could not be opened or deleted
    std::vector<KeyLeft> keysLeft; // keys below it that stayed, the key stays for them
};

// Deletes the key with all its subkeys and values, depth first. What cannot be
// deleted is passed over and the rest still goes; each key that stays for a failure
// of its own is listed (not the keys above it that stay only because they hold it).
KeyTreeDeletion DeleteMachineKeyTree(const std::string& keyPath);

bool MachineKeyExists(const std::string& keyPath);

// Creates the key and any missing parents (for tests and tools).
std::error_code CreateMachineKey(const std::string& keyPath);

// True when the key itself is a registry link (a key made with
// REG_OPTION_CREATE_LINK whose SymbolicLinkValue names another key), whatever the
// link points to. DeleteMachineKeyTree removes a link as a link: neither a link it
// is given nor one it meets below is ever followed. On POSIX a link is a symbolic
// link of the stand-in's folders.
bool MachineKeyIsLink(const std::string& keyPath);

// A string value of a key (REG_SZ or REG_EXPAND_SZ, unexpanded); empty when the key
// or value is missing. On POSIX a value is a file of that name in the key's folder.
std::string ReadMachineString(const std::string& keyPath, const std::string& valueName);

// For tests and tools: writes a string value, creating the key; and creates
// `keyPath` as a link to `targetPath` (both below HKEY_LOCAL_MACHINE, in this
// program's view of the registry).
std::error_code WriteMachineString(const std::string& keyPath, const std::string& valueName,
                                   const std::string& value);
std::error_code CreateMachineKeyLink(const std::string& keyPath, const std::string& targetPath);

} // namespace platform
