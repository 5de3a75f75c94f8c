#include "modUnicodeRW.h"

#include "NativePath.h"
#include "RunTimeError.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t ByteOrderMark = 0xFEFF;

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
    case ETXTBSY:
        return ErrorNumber::PermissionDenied;
    case ENOENT:
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    default:
        return ErrorNumber::PathFileAccess;
    }
}

[[noreturn]] void Fail(const std::u16string &path, std::int32_t number, const char *reason)
{
    throw RunTimeError(number, "Cannot write \"" + DisplayPath(path) + "\": " + reason,
                       "WriteUnicodeFile");
}

[[noreturn]] void FailSystem(const std::u16string &path, int error)
{
    Fail(path, NumberFor(error), std::strerror(error));
}

std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save replaces: a symbolic link stays a link, and what it leads to is what
// gets the new content. Returns the errno that stops the walk, or 0.
int FollowLinks(std::string &path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st = {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0; // a missing file is simply created; other errors surface later
        std::string next(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t n = ::readlink(path.c_str(), next.data(), next.size());
        if (n < 0)
            return errno;
        next.resize(static_cast<std::size_t>(n));
        if (next.empty())
            return ENOENT;
        path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
    }
    return ELOOP;
}

// Unique within the folder together with O_EXCL; hidden, and kept short enough that a
// long target name still leaves room for it.
std::string TempPath(const std::string &target, int attempt)
{
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld.%llx.%d.tmp", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(tick), attempt);
    return FolderOf(target) + "/." + NameOf(target).substr(0, 160) + suffix;
}

bool WriteAll(int fd, const unsigned char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::vector<unsigned char> ReadAllBytes(const std::u16string &path)
{
    std::vector<unsigned char> bytes;
    const std::optional<std::string> native = NativePath(path);
    if (!native)
        return bytes;
    // O_NONBLOCK so that a named pipe at the path cannot hang the editor; it is then
    // passed over like any other file that is not a plain one.
    const int fd = ::open(native->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return bytes;
    struct stat st = {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        try {
            bytes.resize(static_cast<std::size_t>(st.st_size));
        } catch (const std::exception &) {
            bytes.clear();
        }
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
    return bytes;
}

} // namespace

std::u16string ReadUnicodeFile(const std::u16string &path, bool UseBOM)
{
    try {
        const std::vector<unsigned char> bytes = ReadAllBytes(path);
        std::u16string text((bytes.size() + 1) / 2, u'\0');
        for (std::size_t j = 0; j < text.size(); ++j) {
            const unsigned low = bytes[2 * j];
            const unsigned high = 2 * j + 1 < bytes.size() ? bytes[2 * j + 1] : 0u;
            text[j] = static_cast<char16_t>(low | (high << 8));
        }
        if (UseBOM && !text.empty() && text.front() == ByteOrderMark)
            std::erase(text, ByteOrderMark);
        return text;
    } catch (const std::exception &) {
        return {}; // out of memory for the text: reported like any other unreadable file
    }
}

void WriteUnicodeFile(const std::u16string &path, const std::u16string &text, bool UseBOM)
{
    std::optional<std::string> target = NativePath(path);
    if (!target)
        Fail(path, ErrorNumber::PathFileAccess, "the path holds a NUL character");
    if (target->empty())
        FailSystem(path, ENOENT);
    if (const int error = FollowLinks(*target))
        FailSystem(path, error);

    struct stat old = {};
    const bool replacing = ::stat(target->c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        FailSystem(path, EISDIR);
    if (replacing && !S_ISREG(old.st_mode))
        Fail(path, ErrorNumber::PathFileAccess, "not a regular file");

    std::vector<unsigned char> bytes;
    bytes.reserve(text.size() * 2 + 2);
    if (UseBOM) {
        bytes.push_back(0xFF);
        bytes.push_back(0xFE);
    }
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }

    // The new content goes to a file beside the old one and replaces it only once it is
    // complete and on disk, so a failure at any step leaves the old file as it was.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = TempPath(*target, attempt);
        // Never more open than the file it replaces, not even while it is written.
        const mode_t mode = replacing ? (old.st_mode & 0777) : 0666;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && (errno != EEXIST || attempt == 15))
            FailSystem(path, errno);
    }

    int error = 0;
    if (!WriteAll(fd, bytes.data(), bytes.size()))
        error = errno;
    if (!error && replacing) {
        // Owner first: changing it clears set-id bits that the mode then puts back.
        // Only root may give a file away, and not on every file system: where it cannot,
        // the new file stays its writer's, as any newly created file would.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            error = errno;
    }
    // EINVAL: a file system that has nothing to sync; the data is as safe as it gets there.
    if (!error && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temp.c_str(), target->c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.c_str());
        FailSystem(path, error);
    }

    // Best effort: the file is already in place, so a folder that cannot be synced is
    // no reason to report the save as failed.
    const int folder = ::open(FolderOf(*target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}
