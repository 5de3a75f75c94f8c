// The file system layer on POSIX systems: names are bytes, taken as UTF-8.
#include "FileSystem.h"

#include "PathText.h"
#include "RunTimeError.h"
#include "SaveCalls.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fsys {

SaveCalls saveCalls;

namespace {

// The bytes to hand to the system, or nothing when no file can have that name: a NUL
// would cut the name short and so name a different file.
std::optional<std::string> NativePath(std::u16string_view path)
{
    if (path.find(u'\0') != std::u16string_view::npos)
        return std::nullopt;
    return Utf8(path, true);
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
    case ETXTBSY:
        return ErrorNumber::PermissionDenied;
    case ENOENT:
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    default:
        return ErrorNumber::PathFileAccess;
    }
}

Failure SystemFailure(int error)
{
    return {NumberFor(error), std::strerror(error)};
}

const Failure NulInPath{ErrorNumber::PathFileAccess, "the path holds a NUL character"};

Kind KindOf(mode_t mode)
{
    return S_ISREG(mode) ? Kind::File : S_ISDIR(mode) ? Kind::Folder : Kind::Other;
}

Identity IdentityOf(const struct stat &st)
{
    return {KindOf(st.st_mode), false, static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino)};
}

bool IsLink(const std::string &path)
{
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
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

// Whether this user may not change the file: the system says so, or (as for the
// superuser, whom the system lets write anything) the file grants writing to nobody.
bool IsReadOnly(const std::string &path, const struct stat &st)
{
    if ((st.st_mode & 0222) == 0)
        return true;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
           (errno == EACCES || errno == EPERM || errno == EROFS);
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

bool WriteAll(int fd, const unsigned char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = saveCalls.write(fd, data, size);
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

bool ProcessIsGone(std::uint64_t process)
{
    const auto pid = static_cast<pid_t>(process);
    if (pid <= 0 || static_cast<std::uint64_t>(pid) != process)
        return false;
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// The longest name `folder` takes, as its file system says.
std::size_t NameLimit(const std::string &folder)
{
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? std::min(static_cast<std::size_t>(limit), DefaultNameLimit)
                     : DefaultNameLimit;
}

// A save killed part-way leaves its temporary; the next save of the same file clears
// those whose writer is gone. One still being written by a live process is left alone.
void RemoveStaleTemporaries(const std::string &target)
{
    const std::string folder = FolderOf(target);
    const std::u16string targetName = Utf16(NameOf(target));
    const std::size_t limit = NameLimit(folder);
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::optional<std::uint64_t> writer =
            TemporaryWriter(Utf16(entry->d_name), targetName, limit);
        if (writer && *writer != static_cast<std::uint64_t>(::getpid()) && ProcessIsGone(*writer))
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

std::string TempPath(const std::string &target, int attempt)
{
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string folder = FolderOf(target);
    return folder + "/" +
           Utf8(TemporaryName(Utf16(NameOf(target)), static_cast<std::uint64_t>(::getpid()),
                              static_cast<std::uint64_t>(tick), attempt, NameLimit(folder)),
                true);
}

} // namespace

Status StatusOf(std::u16string_view path)
{
    Status status;
    const std::optional<std::string> native = NativePath(path);
    if (!native) {
        status.failure = NulInPath;
        return status;
    }
    struct stat st = {};
    if (::stat(native->c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            status.failure = SystemFailure(errno);
        status.identity.link = IsLink(*native);
        return status;
    }
    status.identity = IdentityOf(st);
    status.identity.link = IsLink(*native);
    status.hidden = NameOf(*native).starts_with('.');
    status.readOnly = status.identity.kind == Kind::File && IsReadOnly(*native, st);
    const auto ns = [](const timespec &t) {
        return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
    };
    status.modifiedNs = ns(st.st_mtim);
    status.changedNs = ns(st.st_ctim);
    status.size = static_cast<std::uint64_t>(st.st_size);
    return status;
}

ReadResult ReadWhole(std::u16string_view path, std::uint64_t maxBytes)
{
    ReadResult result;
    const std::optional<std::string> native = NativePath(path);
    if (!native) {
        result.failure = NulInPath;
        return result;
    }
    if (native->empty())
        return result;
    // O_NONBLOCK so that a named pipe at the path cannot hang the editor; it is then
    // passed over like any other file that is not a plain one.
    const int fd = ::open(native->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            result.failure = SystemFailure(errno);
        result.identity.link = IsLink(*native); // a link to a file not there yet
        return result;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0) {
        result.failure = SystemFailure(errno);
        ::close(fd);
        return result;
    }
    result.identity = IdentityOf(st);
    result.identity.link = IsLink(*native);
    result.size = static_cast<std::uint64_t>(st.st_size);
    if (result.identity.kind == Kind::File && result.size <= maxBytes) {
        try {
            result.bytes.resize(static_cast<std::size_t>(result.size));
        } catch (const std::exception &) {
            result.failure = {ErrorNumber::OutOfMemory, "Out of memory"};
        }
        std::size_t got = 0;
        while (got < result.bytes.size()) {
            const ssize_t n = ::read(fd, result.bytes.data() + got, result.bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                result.failure = SystemFailure(errno);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        result.bytes.resize(got);
    }
    ::close(fd);
    return result;
}

Failure ReplaceWhole(std::u16string_view path, const std::vector<unsigned char> &bytes)
{
    std::optional<std::string> target = NativePath(path);
    if (!target)
        return NulInPath;
    if (target->empty())
        return SystemFailure(ENOENT);
    if (const int error = FollowLinks(*target))
        return SystemFailure(error);

    struct stat old = {};
    const bool replacing = ::stat(target->c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return SystemFailure(EISDIR);
    if (replacing && !S_ISREG(old.st_mode))
        return {ErrorNumber::PathFileAccess, "not a regular file"};
    // Putting a new file in its place would get round the file's own protection.
    if (replacing && IsReadOnly(*target, old))
        return {ErrorNumber::PermissionDenied, "the file is read-only"};

    RemoveStaleTemporaries(*target);

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
            return SystemFailure(errno);
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
    if (!error && saveCalls.fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (saveCalls.close(fd) != 0 && !error)
        error = errno;
    if (!error && saveCalls.rename(temp.c_str(), target->c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.c_str());
        return SystemFailure(error);
    }

    // Until the folder is on disk too, a power cut could bring the old file back: a failing
    // disk is reported, although the new content is in place by now. A folder that cannot
    // be opened, or a file system with nothing to sync, is as safe as it gets there.
    const int folder = ::open(FolderOf(*target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        if (saveCalls.syncFolder(folder) != 0 && errno != EINVAL)
            error = errno;
        ::close(folder);
    }
    return error ? SystemFailure(error) : Failure{};
}

std::vector<Entry> ListFolder(std::u16string_view folder)
{
    std::vector<Entry> entries;
    const std::optional<std::string> native = NativePath(folder);
    if (!native)
        return entries;
    const std::string where = native->empty() ? "." : *native;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(where.c_str()), ::closedir);
    if (!dir)
        return entries;
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st = {};
        // Links are followed: a link to a file counts as that file.
        const Kind kind = ::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) == 0
                              ? KindOf(st.st_mode)
                              : Kind::Other;
        entries.push_back({Utf16(name), kind, name.front() == '.'});
    }
    return entries;
}

std::size_t NameStart(std::u16string_view path)
{
    const std::size_t slash = path.find_last_of(u'/');
    return slash == std::u16string_view::npos ? 0 : slash + 1;
}

std::u16string FoldCase(std::u16string name)
{
    return name;
}

} // namespace fsys
