#pragma once
// One enciphered config file as the tool takes it in: whole, checked for the faults that
// would make anything read from it a guess.

#include "Survival.h"

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

// The most a config file holds, in bytes: two for each unit of the longest plain text.
inline constexpr std::size_t MaxFileBytes = 2 * MaxTextUnits;

// A file's stored units as the editor reads them: an odd last byte is a unit of its own.
struct StoredFile
{
    std::u16string units;
    std::size_t bytes = 0;
    bool oddLength() const { return bytes % 2 != 0; }
};

// The file's stored units, read in one open whose size is the one checked (the codec's
// fsys::ReadWhole, as the editor reads); a file whose size the system gives as 0 (as
// for those under /proc) is read to its end instead. Raises RunTimeError whose
// Description is the reason alone (the caller names the file): no such file, not a plain
// file, cannot be read, over the limit.
StoredFile ReadConfigFile(const std::filesystem::path &path);
// The same for a file that comes on a stream (standard input).
StoredFile ReadConfigStream(std::istream &in);

// All of `in` when it holds at most `limit` bytes; nothing, and no byte more than
// `limit` + 1 read, when it holds more. Raises RunTimeError when it cannot be read.
std::optional<std::string> ReadAtMost(std::istream &in, std::size_t limit);

// `path` as the codec's reader and writer take it. Raises RunTimeError for a name that
// cannot be turned into UTF-16 (bytes that are not valid in the system's encoding).
std::u16string CodecPath(const std::filesystem::path &path);
