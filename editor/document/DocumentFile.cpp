#include "DocumentFile.h"

#include "LossReport.h"
#include "RunTimeError.h"
#include "modUnicodeRW.h"

namespace docfile {

namespace {

[[noreturn]] void Fail(const std::u16string &path, std::int32_t number, const std::string &why)
{
    throw RunTimeError(number, fsys::DisplayPath(path) + ": " + why, "ReadConfigFile");
}

} // namespace

std::u16string ReadConfigFile(const std::u16string &path, fsys::Identity *identity)
{
    const fsys::ReadResult read = fsys::ReadWhole(path, MaxReadBytes);
    if (read.failure)
        Fail(path, read.failure.number, read.failure.reason);
    switch (read.identity.kind) {
    case fsys::Kind::Missing:
        break;
    case fsys::Kind::Folder:
        Fail(path, ErrorNumber::PathFileAccess, "Is a directory");
    case fsys::Kind::Other:
        Fail(path, ErrorNumber::PathFileAccess, "not an ordinary file");
    case fsys::Kind::File:
        if (read.size > static_cast<std::uint64_t>(MaxReadBytes))
            Fail(path, ErrorNumber::Overflow,
                 "larger than a config file can be (" + lossreport::Thousands(read.size) +
                     " bytes; a config file holds at most " + lossreport::Thousands(MaxReadBytes) +
                     ")");
        if (read.bytes.size() != read.size)
            Fail(path, ErrorNumber::PathFileAccess, "could not be read completely");
        break;
    }

    std::u16string text = TextOfBytes(read.bytes, false);
    if (identity)
        *identity = read.identity;
    return text;
}

bool SameFileAsLoaded(const std::u16string &path, const fsys::Identity &loaded)
{
    return fsys::StatusOf(path).identity == loaded;
}

FileStamp StampOf(const std::u16string &path)
{
    const fsys::Status status = fsys::StatusOf(path);
    if (status.identity.kind != fsys::Kind::File)
        return {};
    return {true, status.identity, status.size, status.modifiedNs, status.changedNs};
}

} // namespace docfile
