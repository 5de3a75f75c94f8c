#include "ConfigFile.h"

#include "FileSystem.h"
#include "LossReport.h"
#include "RunTimeError.h"
#include "modUnicodeRW.h"

namespace {

[[noreturn]] void Refuse(std::int32_t number, std::string reason)
{
    throw RunTimeError(number, std::move(reason), "ReadConfigFile");
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

std::u16string ReadConfigFile(const std::filesystem::path &path)
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
        Refuse(ErrorNumber::Overflow,
               lossreport::Thousands(read.size) + " bytes, over the limit of " +
                   lossreport::Thousands(MaxFileBytes) + " bytes for a config file");
    if (read.size % 2 != 0)
        Refuse(ErrorNumber::PathFileAccess,
               "odd length (" + lossreport::Thousands(read.size) +
                   " bytes): a config file holds two bytes for each character");
    // Anything short of the size the open file gave: the file shrank while it was read.
    if (read.bytes.size() != read.size)
        Refuse(ErrorNumber::PathFileAccess, "could not be read completely");
    return TextOfBytes(read.bytes, false);
}
