#pragma once
// The file-existence search used by start-up and by Save As. Plain C++.

#include <string>
#include <string_view>

namespace fsys {

// Whether `name` matches `pattern`, where "*" stands for any run of characters and "?"
// for exactly one; everything else compares exactly.
bool WildcardMatch(std::u16string_view pattern, std::u16string_view name);

// The name (without folder) of the first ordinary file that `path` names, or the empty
// text. Wildcards in the last part of the path match within its folder, in the case rule
// of the platform's file names; the folder part is taken literally. Folders never count,
// nor do other special files, nor (unless `includeHidden`) hidden files. A path that
// cannot name a file (an embedded NUL) finds nothing. Never throws but for lack of memory.
std::u16string FindFile(const std::u16string &path, bool includeHidden = false);

} // namespace fsys
