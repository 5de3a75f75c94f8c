#pragma once
// The few things the editor asks of the platform's file system, in one place: everything
// above this works on UTF-16 paths and the editor's error numbers, and a port implements
// this header once (FileSystemPosix.cpp, FileSystemWindows.cpp). Plain C++.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fsys {

// A failure as the editor numbers it (ErrorNumber), with the system's reason in words.
// Number 0 is no failure.
struct Failure
{
    std::int32_t number = 0;
    std::string reason; // UTF-8

    explicit operator bool() const { return number != 0; }
};

enum class Kind { Missing, File, Folder, Other };

// Which file a path leads to: the device and the file's number on it, and whether the path
// itself is a symbolic link. Two looks at a path give equal identities as long as nobody
// put another file (or a link) in its place.
struct Identity
{
    Kind kind = Kind::Missing;
    bool link = false;
    std::uint64_t device = 0;
    std::uint64_t file = 0;

    friend bool operator==(const Identity &, const Identity &) = default;
};

// What a path leads to, links followed.
struct Status
{
    Identity identity;
    bool hidden = false;   // hidden from listings (a dot name here, an attribute on Windows)
    bool readOnly = false; // the file is there but may not be written by this user
    // When the file's contents and when its status (contents, links, owner, mode) last
    // changed, in nanoseconds since 1970, and its size: whether anybody wrote it since.
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint64_t size = 0;
    Failure failure; // why the path could not be looked at (a missing file is none)
};
Status StatusOf(std::u16string_view path);

// One open of the file at `path`, made without blocking (a pipe or device cannot hang the
// caller), whose kind and size are asked of that same open file. Only an ordinary file of
// at most `maxBytes` bytes is read, whole; for anything else `bytes` stays empty.
struct ReadResult
{
    Identity identity;
    std::uint64_t size = 0;           // as the open file gave it
    std::vector<unsigned char> bytes; // fewer than `size` when the read broke off
    Failure failure;                  // why it could not be opened or read
};
ReadResult ReadWhole(std::u16string_view path, std::uint64_t maxBytes);

// Makes the file at `path` hold exactly `bytes`: a hidden temporary file in the same folder
// is written, flushed to disk and put in place of the old file in one step, so a failure
// at any point leaves the old file as it was and no temporary behind. The old file's
// attributes (owner and mode here, attributes on Windows) are kept; a symbolic link stays
// a link and the file it leads to is replaced. A read-only file is refused. Temporaries
// of the same file left by a save that was killed part-way are removed first.
Failure ReplaceWhole(std::u16string_view path, const std::vector<unsigned char> &bytes);

// The entries of a folder (an empty text is the current folder); nothing when it cannot
// be listed.
struct Entry
{
    std::u16string name;
    Kind kind = Kind::Other;
    bool hidden = false;
};
std::vector<Entry> ListFolder(std::u16string_view folder);

// Where a path's folder part ends: the position after its last separator, or 0.
std::size_t NameStart(std::u16string_view path);

// `name` in the case the platform compares file names in: unchanged where names are
// case-sensitive, upper case where they are not.
std::u16string FoldCase(std::u16string name);

// The path as UTF-8 for messages; what cannot be shown becomes U+FFFD.
std::string DisplayPath(std::u16string_view path);

// The longest file name the usual file systems take (bytes on POSIX, UTF-16 units on
// Windows), for a folder that does not say.
inline constexpr std::size_t DefaultNameLimit = 255;

// The hidden temporary file that ReplaceWhole writes for the file named `target` (both
// without their folder): its name holds the writing process's number, so that a later
// save can tell a temporary whose writer is gone from one still being written. It keeps
// only as much of the target's name as lets it fit within `nameLimit`, the folder's.
std::u16string TemporaryName(std::u16string_view target, std::uint64_t process, std::uint64_t tick,
                             int attempt, std::size_t nameLimit = DefaultNameLimit);
// The process that wrote `name`, when it is a temporary of `target` in a folder whose
// name limit is `nameLimit`.
std::optional<std::uint64_t> TemporaryWriter(std::u16string_view name, std::u16string_view target,
                                             std::size_t nameLimit = DefaultNameLimit);

} // namespace fsys
