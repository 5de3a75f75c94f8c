#pragma once
// One enciphered config file as the tool takes it in: whole, checked for the faults that
// would make anything read from it a guess.

#include "Survival.h"

#include <cstddef>
#include <filesystem>
#include <string>

// The most a config file holds, in bytes: two for each unit of the longest plain text.
inline constexpr std::size_t MaxFileBytes = 2 * MaxTextUnits;

// The file's stored units, read in one open whose size is the one checked (the codec's
// fsys::ReadWhole, as the editor reads). Raises RunTimeError whose
// Description is the reason alone (the caller names the file): no such file, not a plain
// file, cannot be read, odd length, over the limit.
std::u16string ReadConfigFile(const std::filesystem::path &path);

// `path` as the codec's reader and writer take it. Raises RunTimeError for a name that
// cannot be turned into UTF-16 (bytes that are not valid in the system's encoding).
std::u16string CodecPath(const std::filesystem::path &path);
