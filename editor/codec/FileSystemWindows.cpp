// The file system layer on Windows: names are UTF-16 throughout (the wide-character
// calls), so any name opens and saves whatever the system's code page.
#include "FileSystem.h"

#include "PathText.h"
#include "RunTimeError.h"
#include "SaveCalls.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace fsys {

SaveCalls saveCalls;

namespace {

// The length limit of the ordinary path form (the terminating NUL included). Wine and
// newer systems may allow more, but a file saved there would be out of reach of most
// programs, so such paths are refused the same everywhere.
constexpr DWORD PathLimit = MAX_PATH;

struct HandleCloser
{
    void operator()(HANDLE handle) const
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

Handle Hold(HANDLE handle)
{
    return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

std::wstring Wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

std::u16string FromWide(const wchar_t *text)
{
    std::u16string out;
    for (; *text; ++text)
        out += static_cast<char16_t>(*text);
    return out;
}

std::string Reason(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::u16string reason = length && text ? FromWide(text) : std::u16string();
    LocalFree(text);
    while (!reason.empty() && (reason.back() == u'\n' || reason.back() == u'\r' ||
                               reason.back() == u'.' || reason.back() == u' '))
        reason.pop_back();
    if (reason.empty())
        return "system error " + std::to_string(error);
    return Utf8(reason, false);
}

Failure SystemFailure(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return {ErrorNumber::PathNotFound, Reason(error)};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {ErrorNumber::PermissionDenied, "the file is in use by another process"};
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
        return {ErrorNumber::PermissionDenied, Reason(error)};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {ErrorNumber::DiskFull, Reason(error)};
    default:
        return {ErrorNumber::PathFileAccess, Reason(error)};
    }
}

const Failure NulInPath{ErrorNumber::PathFileAccess, "the path holds a NUL character"};
const Failure TooLong{ErrorNumber::PathFileAccess,
                      "the path is longer than " + std::to_string(PathLimit - 1) + " characters"};

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_DIRECTORY;
}

// The wide path to hand to the system, or the reason there is none: a NUL would cut the
// name short, and a path past the length limit is refused rather than half-handled.
std::wstring NativePath(std::u16string_view path, Failure &failure)
{
    if (path.find(u'\0') != std::u16string_view::npos) {
        failure = NulInPath;
        return {};
    }
    std::wstring wide = Wide(path);
    if (!wide.empty() && GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr) > PathLimit)
        failure = TooLong;
    return wide;
}

// The same path in the form without a length limit, for the temporary file, whose name
// is longer than the file's own.
std::wstring Unlimited(const std::wstring &path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
    if (full.rfind(L"\\\\?\\", 0) == 0)
        return full;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

Kind KindOf(DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Kind::Folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return Kind::Other;
    return Kind::File;
}

bool IsHidden(DWORD attributes)
{
    return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

bool IsLink(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

Identity IdentityOf(const BY_HANDLE_FILE_INFORMATION &info)
{
    return {KindOf(info.dwFileAttributes), false, info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::uint64_t SizeOf(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// Nanoseconds since 1970 of a time Windows counts in 100 ns steps since 1601.
std::int64_t UnixNs(std::int64_t ticks)
{
    constexpr std::int64_t TicksBefore1970 = 116444736000000000;
    return (ticks - TicksBefore1970) * 100;
}

std::int64_t UnixNs(const FILETIME &time)
{
    return UnixNs(static_cast<std::int64_t>(SizeOf(time.dwHighDateTime, time.dwLowDateTime)));
}

std::size_t NameStartOf(std::wstring_view path)
{
    const std::size_t separator = path.find_last_of(L"/\\:");
    return separator == std::wstring_view::npos ? 0 : separator + 1;
}

bool ProcessIsGone(std::uint64_t process)
{
    if (process == 0 || process > 0xFFFFFFFFu)
        return false;
    const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(process));
    if (!handle)
        return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    CloseHandle(handle);
    return ended;
}

// A save killed part-way leaves its temporary; the next save of the same file clears
// those whose writer is gone. One still being written by a live process is left alone.
void RemoveStaleTemporaries(const std::wstring &folder, std::u16string_view target)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW((folder + L".*.tmp").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::optional<std::uint64_t> writer =
            TemporaryWriter(FromWide(found.cFileName), target);
        if (writer && *writer != GetCurrentProcessId() && ProcessIsGone(*writer))
            DeleteFileW(Unlimited(folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool WriteAll(HANDLE file, const std::vector<unsigned char> &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!saveCalls.writeFile(file, bytes.data() + done, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

Status StatusOf(std::u16string_view path)
{
    Status status;
    const std::wstring native = NativePath(path, status.failure);
    if (status.failure || native.empty())
        return status;
    status.identity.link = IsLink(native);
    // No access asked for, only the attributes: that opens even a file another process
    // holds without sharing.
    const Handle file =
        Hold(CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (file && GetFileInformationByHandle(file.get(), &info)) {
        const bool link = status.identity.link;
        status.identity = IdentityOf(info);
        status.identity.link = link;
        status.size = SizeOf(info.nFileSizeHigh, info.nFileSizeLow);
        status.modifiedNs = UnixNs(info.ftLastWriteTime);
        // The change time (attributes, names and links too) is only in the basic
        // information; where that is not to be had, the write time stands for it.
        FILE_BASIC_INFO basic = {};
        status.changedNs =
            GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic)
                ? UnixNs(basic.ChangeTime.QuadPart)
                : status.modifiedNs;
    } else {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data)) {
            const DWORD error = GetLastError();
            if (!IsMissing(error))
                status.failure = SystemFailure(error);
            return status;
        }
        info.dwFileAttributes = data.dwFileAttributes;
        status.identity.kind = KindOf(data.dwFileAttributes);
        status.size = SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
        status.modifiedNs = UnixNs(data.ftLastWriteTime);
        status.changedNs = status.modifiedNs; // no change time without a handle
    }
    status.hidden = IsHidden(info.dwFileAttributes);
    status.readOnly = status.identity.kind == Kind::File &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return status;
}

ReadResult ReadWhole(std::u16string_view path, std::uint64_t maxBytes)
{
    ReadResult result;
    const std::wstring native = NativePath(path, result.failure);
    if (result.failure || native.empty())
        return result;
    result.identity.link = IsLink(native);
    // Opening a pipe or device does not wait; reading one could, so only files on disk
    // are read.
    const Handle file = Hold(CreateFileW(
        native.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (!IsMissing(error))
            result.failure = SystemFailure(error);
        return result;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        result.identity.kind = Kind::Other;
        return result;
    }
    if (!GetFileInformationByHandle(file.get(), &info)) {
        result.failure = SystemFailure(GetLastError());
        return result;
    }
    const bool link = result.identity.link;
    result.identity = IdentityOf(info);
    result.identity.link = link;
    result.size = SizeOf(info.nFileSizeHigh, info.nFileSizeLow);
    if (result.identity.kind != Kind::File || result.size > maxBytes)
        return result;
    try {
        result.bytes.resize(static_cast<std::size_t>(result.size));
    } catch (const std::exception &) {
        result.failure = {ErrorNumber::OutOfMemory, "Out of memory"};
    }
    std::size_t got = 0;
    while (got < result.bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - got, 1 << 30));
        DWORD read = 0;
        if (!::ReadFile(file.get(), result.bytes.data() + got, chunk, &read, nullptr)) {
            result.failure = SystemFailure(GetLastError());
            break;
        }
        if (read == 0)
            break;
        got += read;
    }
    result.bytes.resize(got);
    return result;
}

Failure ReplaceWhole(std::u16string_view path, const std::vector<unsigned char> &bytes)
{
    Failure failure;
    const std::wstring target = NativePath(path, failure);
    if (failure)
        return failure;
    if (target.empty())
        return SystemFailure(ERROR_PATH_NOT_FOUND);

    const DWORD old = GetFileAttributesW(target.c_str());
    const bool replacing = old != INVALID_FILE_ATTRIBUTES;
    if (!replacing && !IsMissing(GetLastError()))
        return SystemFailure(GetLastError());
    if (replacing && (old & FILE_ATTRIBUTE_DIRECTORY))
        return {ErrorNumber::PathFileAccess, "the path names a folder"};
    if (replacing && (old & FILE_ATTRIBUTE_READONLY))
        return {ErrorNumber::PermissionDenied, "the file is read-only"};
    if (replacing) {
        // Ask before writing anything whether the file could be replaced at all: another
        // process holding it open without sharing would make the last step fail.
        const Handle probe =
            Hold(CreateFileW(target.c_str(), GENERIC_WRITE | DELETE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
        if (!probe)
            return SystemFailure(GetLastError());
    }

    const std::size_t nameStart = NameStartOf(target);
    const std::wstring folder = target.substr(0, nameStart);
    const std::u16string name(target.begin() + static_cast<std::ptrdiff_t>(nameStart),
                              target.end());
    RemoveStaleTemporaries(folder, name);

    // The new content goes to a hidden file beside the old one and replaces it only once
    // it is complete and on disk, so a failure at any step leaves the old file as it was.
    std::wstring temp;
    Handle file;
    for (int attempt = 0; !file; ++attempt) {
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        temp = Unlimited(folder + Wide(TemporaryName(name, GetCurrentProcessId(),
                                                     static_cast<std::uint64_t>(tick), attempt)));
        file = Hold(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN, nullptr));
        const DWORD error = GetLastError();
        if (!file && (error != ERROR_FILE_EXISTS || attempt == 15))
            return SystemFailure(error);
    }
    DWORD error = 0;
    if (!WriteAll(file.get(), bytes) || !saveCalls.flushFileBuffers(file.get()))
        error = GetLastError();
    if (!saveCalls.closeHandle(file.release()) && !error)
        error = GetLastError();

    if (!error && replacing) {
        // The replace keeps the old file's attributes, its security and its creation time.
        if (!saveCalls.replaceFile(target.c_str(), temp.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            error = GetLastError();
        else
            SetFileAttributesW(target.c_str(), old);
    } else if (!error) {
        if (!saveCalls.moveFile(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
            error = GetLastError();
        else
            SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (error) {
        DeleteFileW(temp.c_str());
        return SystemFailure(error);
    }
    return {};
}

std::vector<Entry> ListFolder(std::u16string_view folder)
{
    std::vector<Entry> entries;
    Failure failure;
    std::wstring native = NativePath(folder, failure);
    if (failure)
        return entries;
    if (!native.empty() && native.find_last_of(L"/\\:") != native.size() - 1)
        native += L'\\';
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW((native + L"*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        entries.push_back({FromWide(found.cFileName), KindOf(found.dwFileAttributes),
                           IsHidden(found.dwFileAttributes)});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

std::size_t NameStart(std::u16string_view path)
{
    const std::size_t separator = path.find_last_of(u"/\\:");
    return separator == std::u16string_view::npos ? 0 : separator + 1;
}

std::u16string FoldCase(std::u16string name)
{
    // The system's own upper-casing, which is what its file name comparison uses.
    std::wstring wide = Wide(name);
    if (!wide.empty())
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return std::u16string(wide.begin(), wide.end());
}

} // namespace fsys
