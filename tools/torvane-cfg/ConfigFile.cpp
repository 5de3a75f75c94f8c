#include "ConfigFile.h"

#include "FileSystem.h"
#include "LossReport.h"
#include "RunTimeError.h"
#include "modUnicodeRW.h"

#include <fstream>
#include <istream>
#include <vector>

namespace {

[[noreturn]] void Refuse(std::int32_t number, std::string reason)
{
    throw RunTimeError(number, std::move(reason), "ReadConfigFile");
}

[[noreturn]] void OverLimit(const std::string &size)
{
    Refuse(ErrorNumber::Overflow, size + ", over the limit of " +
                                      lossreport::Thousands(MaxFileBytes) +
                                      " bytes for a config file");
}

StoredFile Stored(const std::vector<unsigned char> &bytes)
{
    return {TextOfBytes(bytes, false), bytes.size()};
}

StoredFile StoredOf(const std::string &bytes)
{
    return Stored(std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

} // namespace

std::u16string CodecPath(const std::filesystem::path &path)
{
    try {
        return path.u16string();
    } catch (const std::exception &) {
        throw RunTimeError(ErrorNumber::PathFileAccess,
                           "the name is not valid in the system's character encoding", "CodecPath");
    }
}

std::optional<std::string> ReadAtMost(std::istream &in, std::size_t limit)
{
    std::string bytes;
    char chunk[16384];
    while (bytes.size() <= limit && in) {
        in.read(chunk,
                static_cast<std::streamsize>(std::min(sizeof chunk, limit + 1 - bytes.size())));
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        Refuse(ErrorNumber::PathFileAccess, "cannot be read");
    if (bytes.size() > limit)
        return std::nullopt;
    return bytes;
}

StoredFile ReadConfigStream(std::istream &in)
{
    const std::optional<std::string> bytes = ReadAtMost(in, MaxFileBytes);
    if (!bytes)
        OverLimit("more than " + lossreport::Thousands(MaxFileBytes) + " bytes");
    return StoredOf(*bytes);
}

StoredFile ReadConfigFile(const std::filesystem::path &path)
{
    // One open, whose kind and size are those of the file then read, as the editor reads
    // (the codec's plain reader turns every failure into empty text, and a command line
    // must tell a missing file from an empty one).
    const fsys::ReadResult read = fsys::ReadWhole(CodecPath(path), MaxFileBytes);
    if (read.failure)
        Refuse(read.failure.number, "cannot be read: " + read.failure.reason);
    switch (read.identity.kind) {
    case fsys::Kind::Missing:
        Refuse(ErrorNumber::FileNotFound, "no such file");
    case fsys::Kind::Folder:
        Refuse(ErrorNumber::PathFileAccess, "is a folder, not a file");
    case fsys::Kind::Other:
        Refuse(ErrorNumber::PathFileAccess, "not a plain file");
    case fsys::Kind::File:
        break;
    }
    if (read.size > MaxFileBytes)
        OverLimit(lossreport::Thousands(read.size) + " bytes");
    if (read.size == 0) {
        // The system's files (those under /proc, for one) give their size as 0 and have
        // content all the same; an empty file reads as empty this way too.
        std::ifstream again(path, std::ios::binary);
        if (!again)
            Refuse(ErrorNumber::PathFileAccess, "cannot be read");
        return ReadConfigStream(again);
    }
    // Anything short of the size the open file gave: the file shrank while it was read.
    if (read.bytes.size() != read.size)
        Refuse(ErrorNumber::PathFileAccess, "could not be read completely");
    return Stored(read.bytes);
}
