#pragma once
// The system calls by which ReplaceWhole writes a file and puts it in place, reached through
// this table so that a test can make any one of them fail as a full or failing disk would,
// at a point no real file system can be made to fail on demand. The programs never change it.

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdio>
#include <unistd.h>
#endif

namespace fsys {

struct SaveCalls
{
#ifdef _WIN32
    decltype(&::WriteFile) writeFile = ::WriteFile;
    decltype(&::FlushFileBuffers) flushFileBuffers = ::FlushFileBuffers;
    decltype(&::CloseHandle) closeHandle = ::CloseHandle;
    decltype(&::ReplaceFileW) replaceFile = ::ReplaceFileW;
    decltype(&::MoveFileExW) moveFile = ::MoveFileExW;
#else
    ssize_t (*write)(int, const void *, size_t) = ::write;
    int (*fsync)(int) = ::fsync;
    int (*close)(int) = ::close;
    int (*rename)(const char *, const char *) = ::rename;
    int (*syncFolder)(int) = ::fsync; // the folder's entry for the new file
#endif
};

extern SaveCalls saveCalls;

} // namespace fsys
