#pragma once
// The file-existence search used by start-up and by Save As. Plain C++.

#include <optional>
#include <string>

namespace cmdline {

// Whether `name` matches `pattern`, where "*" stands for any run of characters and "?"
// for exactly one; everything else compares exactly.
bool WildcardMatch(std::u16string_view pattern, std::u16string_view name);

// The name (without folder) of the first ordinary file that `path` names, or the empty
// text. Wildcards in the last part of the path match within its folder; the folder part is
// taken literally. Folders never count, nor do other special files, nor (unless
// `includeHidden`) files whose name begins with a dot. A path that cannot name a file
// (an embedded NUL, broken UTF-16) finds nothing. Never throws but for lack of memory.
std::u16string FindFile(const std::u16string &path, bool includeHidden = false);

// UTF-16 to the UTF-8 bytes the file system takes; nothing for a lone surrogate.
std::optional<std::string> Utf8Path(std::u16string_view path);

} // namespace cmdline
