#pragma once
// Turning the editor's UTF-16 paths into the byte strings the system names files by.

#include <optional>
#include <string>
#include <string_view>

// The bytes to hand to the system for `path`, or nothing when no file can have that name
// (a NUL would cut the name short and so name a different file). Unpaired surrogates are
// kept, each as the three bytes its code would take, so that every other name round-trips.
std::optional<std::string> NativePath(std::u16string_view path);

// `path` as UTF-8 for messages; unpaired surrogates show as U+FFFD.
std::string DisplayPath(std::u16string_view path);
