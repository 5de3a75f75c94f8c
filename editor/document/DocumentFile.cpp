#include "DocumentFile.h"

#include "FileSearch.h"
#include "RunTimeError.h"
#include "modUnicodeRW.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace docfile {

namespace {

std::string Shown(const std::u16string &path)
{
    const std::optional<std::string> utf8 = cmdline::Utf8Path(path);
    return utf8 ? *utf8 : std::string("(unreadable name)");
}

[[noreturn]] void Fail(const std::u16string &path, std::int32_t number, const std::string &why)
{
    throw RunTimeError(number, Shown(path) + ": " + why, "ReadConfigFile");
}

std::int32_t NumberFor(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return ErrorNumber::PermissionDenied;
    default:
        return ErrorNumber::PathFileAccess;
    }
}

} // namespace

std::u16string ReadConfigFile(const std::u16string &path)
{
    const std::optional<std::string> utf8 = cmdline::Utf8Path(path);
    if (!utf8)
        Fail(path, ErrorNumber::PathFileAccess, "not a valid file name");
    if (utf8->empty())
        return {};

    // Opened without blocking so that a named pipe or device cannot hang the window; the
    // reader below opens it again only once it is known to be an ordinary file.
    const int fd = ::open(utf8->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return {};
        Fail(path, NumberFor(error), std::strerror(error));
    }
    struct stat info
    {
    };
    const bool statOk = ::fstat(fd, &info) == 0;
    const int statError = errno;
    ::close(fd);
    if (!statOk)
        Fail(path, NumberFor(statError), std::strerror(statError));
    if (S_ISDIR(info.st_mode))
        Fail(path, ErrorNumber::PathFileAccess, std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode))
        Fail(path, ErrorNumber::PathFileAccess, "not an ordinary file");
    if (info.st_size > MaxReadBytes)
        Fail(path, ErrorNumber::Overflow,
             "too large for a config file (" + std::to_string(info.st_size) + " bytes)");

    std::u16string text = ReadUnicodeFile(path, false);
    const auto expected = static_cast<std::size_t>((info.st_size + 1) / 2);
    if (text.size() != expected)
        Fail(path, ErrorNumber::PathFileAccess, "could not be read completely");
    return text;
}

} // namespace docfile
