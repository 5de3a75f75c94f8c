#pragma once
// The machine-wide registry where the platform has none: a read-only store of keys, each
// holding named values of a type and bytes, read from one text file that an administrator
// writes. The file looks like this:
//
//   ; a comment (so is a line starting with #)
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   "PATH"="/usr/bin/sysinfo"        text (type 1); \\ is a backslash, \" a quotation mark
//                                    and \0 a zero character
//   "Count"=dword:0000002a           32-bit number (type 4), one to eight hex digits
//   "Raw"=hex(3):01,ff,00            any type (hexadecimal), its bytes as hex pairs
//   @="..."                          the key's unnamed value
//
// Only keys under HKEY_LOCAL_MACHINE are held. Key paths and value names match without
// regard to (ASCII) case, as the registry's do; a later line for the same value replaces
// an earlier one. Text is kept byte for byte (the file is read as 8-bit text) and stored
// with a closing zero, as the registry stores text, so the longest text that fits the
// 1,024-byte read buffer has 1,023 bytes. A line that cannot be read is skipped and listed
// in Problems(); the rest of the file still counts.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace registry {

inline constexpr std::string_view MachineRootName = "HKEY_LOCAL_MACHINE";

struct StoredValue
{
    std::uint32_t type = 0;
    std::string bytes;
};

struct StoreProblem
{
    std::size_t line = 0; // 1-based
    std::string what;
};

class RegistryStore
{
public:
    static RegistryStore Parse(std::string_view text);

    // The value, or nullptr when the key or the value is not present. `keyPath` is the
    // path under the machine-wide root ("SOFTWARE\...").
    const StoredValue *Find(std::string_view keyPath, std::string_view valueName) const;
    bool HasKey(std::string_view keyPath) const;

    const std::vector<StoreProblem> &Problems() const { return m_problems; }

private:
    // Folded key path -> folded value name -> value.
    std::map<std::string, std::map<std::string, StoredValue>> m_keys;
    std::vector<StoreProblem> m_problems;
};

} // namespace registry
