#pragma once
// Reading one value of the machine-wide registry. On Windows that is the system registry,
// read through its 8-bit character interface; elsewhere it is the store file of
// RegistryStore.h, looked for as Torvane/machine-registry.conf in the system's
// configuration folders ($XDG_CONFIG_DIRS, else /etc/xdg), the first one found.

#include <string>

#ifdef _WIN32
// HKEY as <windows.h> declares it, without bringing that header (and its macros) to every
// file that reads a value.
struct HKEY__;
#endif

namespace registry {

#ifdef _WIN32
using Root = HKEY__ *;
#else
// The store holds the machine-wide root only.
enum class Root { LocalMachine };
#endif

Root MachineRoot();

#ifndef _WIN32
// The store file that GetKeyValue reads: the one set with SetStoreFilePath, else the
// first Torvane/machine-registry.conf found in the system's configuration folders (or
// where it would be in the first of them, when there is none).
std::string StoreFilePath();
// Makes GetKeyValue read `path` from now on; an empty path goes back to the search.
void SetStoreFilePath(std::string path);
#endif

} // namespace registry

// Reads `valueName` of the key `keyPath` under `root` into `result`. False, with `result`
// emptied, when the key or the value is not present or the value is longer than the
// 1,024-byte read buffer. When it was read: text up to its first zero character, a 32-bit
// number as "&h" and hex digits, and for any other type `result` is left as it was.
bool GetKeyValue(registry::Root root, const std::string &keyPath, const std::string &valueName,
                 std::string &result);
