#pragma once
// Reading a config file for a document window, with the failures the raw reader keeps
// quiet about made visible. Plain C++.

#include "FileSystem.h"
#include "Survival.h"

#include <string>

namespace docfile {

// The file's raw UTF-16LE text, as ReadUnicodeFile gives it (no byte-order mark taken
// off). A path that names nothing gives the empty text, as a new file would. A path that
// exists but cannot be read whole (no permission, a folder or other special file, an
// unreadable disk, a file far too large for the format) raises RunTimeError whose
// Description names the path and the reason. The size is checked on the same open file
// that is read, so the file cannot be swapped in between. `identity`, when given, is set
// to which file was read, for SameFileAsLoaded.
std::u16string ReadConfigFile(const std::u16string &path, fsys::Identity *identity = nullptr);

// Whether `path` still leads to the file that was read with `loaded`: the same file, and
// a symbolic link only where it was one then. A file that was missing then and is still
// missing counts as the same.
bool SameFileAsLoaded(const std::u16string &path, const fsys::Identity &loaded);

// The longest text a config file holds takes this many bytes; a larger file cannot be one
// (the cipher would only fail on it), and it is refused before anything is read so that
// a wrong path cannot fill the memory.
inline constexpr long long MaxReadBytes = 2 * static_cast<long long>(MaxTextUnits);

// What a file on disk looks like from outside, to tell whether anybody wrote it since.
struct FileStamp
{
    bool exists = false;
    fsys::Identity identity; // a file put in its place by renaming is another file
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// The stamp of the file at `path` now; a path that names nothing (or not an ordinary
// file) has the stamp of a missing file.
FileStamp StampOf(const std::u16string &path);

} // namespace docfile
