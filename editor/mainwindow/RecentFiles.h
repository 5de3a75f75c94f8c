#pragma once
// The File menu's list of files last opened or saved, most recent first. Plain C++: the
// frame makes the paths absolute and stores them; the list only orders them.

#include <cstddef>
#include <string>
#include <vector>

namespace recent {

// The File menu has this many slots.
inline constexpr std::size_t Slots = 3;

using List = std::vector<std::u16string>;

// The list as stored: empty entries and repeats dropped, cut to Slots, order kept.
List Clean(const List &stored);

// `path` put first; an earlier entry of the same path is taken out, and the oldest drops
// off beyond Slots.
List Remember(const List &list, const std::u16string &path);

// The list without `path`.
List Forget(const List &list, const std::u16string &path);

// The menu caption of slot `index` (from 0) for a file called `name`: "&1 name", with any
// "&" in the name doubled so that it shows as itself.
std::u16string Caption(std::size_t index, const std::u16string &name);

} // namespace recent
