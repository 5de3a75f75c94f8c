#include "modUnicodeRW.h"

#include "RunTimeError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Utf8(const std::u16string &path)
{
    const std::u8string s = fs::path(path).u8string();
    return std::string(s.begin(), s.end());
}

std::int32_t NumberFor(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorNumber::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorNumber::PermissionDenied;
    case ENOENT:
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    default:
        return ErrorNumber::PathFileAccess;
    }
}

[[noreturn]] void Fail(const std::u16string &path, int error)
{
    throw RunTimeError(NumberFor(error), Utf8(path) + ": " + std::strerror(error),
                       "WriteUnicodeFile");
}

// A symbolic link stays a link: the file it leads to is the one replaced.
fs::path FinalTarget(fs::path path)
{
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
        fs::path next = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

bool WriteAll(int fd, const unsigned char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::u16string ReadUnicodeFile(const std::u16string &path, bool UseBOM)
{
    std::vector<unsigned char> bytes;
    const int fd = ::open(fs::path(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st{};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            bytes.resize(static_cast<std::size_t>(st.st_size));
            std::size_t got = 0;
            while (got < bytes.size()) {
                const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                got += static_cast<std::size_t>(n);
            }
            bytes.resize(got);
        }
        ::close(fd);
    }

    std::u16string text((bytes.size() + 1) / 2, u'\0');
    for (std::size_t j = 0; j < text.size(); ++j) {
        const unsigned lo = bytes[2 * j];
        const unsigned hi = 2 * j + 1 < bytes.size() ? bytes[2 * j + 1] : 0u;
        text[j] = static_cast<char16_t>(lo | (hi << 8));
    }
    if (UseBOM && !text.empty() && text.front() == u'\xFEFF')
        std::erase(text, u'\xFEFF');
    return text;
}

void WriteUnicodeFile(const std::u16string &path, const std::u16string &text, bool UseBOM)
{
    const fs::path target = FinalTarget(fs::path(path));
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

    std::vector<unsigned char> bytes;
    bytes.reserve(text.size() * 2 + 2);
    if (UseBOM) {
        bytes.push_back(0xFF);
        bytes.push_back(0xFE);
    }
    for (char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }

    struct stat old{};
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (hadFile && S_ISDIR(old.st_mode))
        Fail(path, EISDIR);

    std::random_device random;
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = folder / ("." + target.filename().string() + "." + std::to_string(random()) + ".tmp");
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            Fail(path, errno);
    }
    if (fd < 0)
        Fail(path, EEXIST);

    int error = 0;
    if (!WriteAll(fd, bytes.data(), bytes.size()))
        error = errno;
    if (!error && hadFile && ::fchmod(fd, old.st_mode & 07777) != 0)
        error = errno;
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.c_str());
        Fail(path, error);
    }
}
