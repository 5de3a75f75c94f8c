// The UTF-16 file layer: exact bytes both ways, and a save that never loses the old file.
// What only one platform has is tested in UnicodeFilePosixTest and UnicodeFileWindowsTest.
#include "FileSystem.h"
#include "RunTimeError.h"
#include "SaveCalls.h"
#include "ScratchFolder.h"
#include "modUnicodeRW.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

using namespace std::string_literals;

namespace {

// The system's reason for a folder that is not there, as the description quotes it
// (Windows words it differently from one version, and one language, to the next).
#ifdef _WIN32
constexpr const char *NoSuchFolder = "";
#else
constexpr const char *NoSuchFolder = "No such file or directory";
#endif

class UnicodeFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.valid()); }
    ScratchFolder dir;
};

using ReadUnicodeFileTest = UnicodeFile;
using WriteUnicodeFileTest = UnicodeFile;
using WriteUnicodeFileFailure = UnicodeFile;
using FileStatus = UnicodeFile;

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Within five minutes: far closer than a wrong epoch or unit would come, far looser than
// any delay between the write and the look.
bool Near(std::int64_t ns, std::int64_t expected)
{
    return std::llabs(ns - expected) < std::int64_t(300) * 1000000000;
}

} // namespace

TEST_F(ReadUnicodeFileTest, TakesBytesPairwiseLowByteFirst)
{
    PutBytes(dir.path("a"), "A\0B\0"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("a"), false), u"AB");
    PutBytes(dir.path("b"), "\x34\x12\xFF\xFF\x00\x80"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("b"), true), u"\x1234\xFFFF\x8000");
}

TEST_F(ReadUnicodeFileTest, AnOddLastByteStandsAloneWithHighByteZero)
{
    PutBytes(dir.path("a"), "A\0B"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("a"), false), u"AB");
    PutBytes(dir.path("b"), "\xC3"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("b"), false), u"\x00C3");
}

TEST_F(ReadUnicodeFileTest, WhatCannotBeReadComesBackEmptyWithoutRaising)
{
    PutBytes(dir.path("empty"), "");
    EXPECT_EQ(ReadUnicodeFile(dir.u16("empty"), true), u"");
    EXPECT_EQ(ReadUnicodeFile(dir.u16("missing"), false), u"");
    EXPECT_EQ(ReadUnicodeFile(dir.u16("missing/deeper"), false), u"");
    EXPECT_EQ(ReadUnicodeFile(dir.u16(), false), u""); // a folder
    EXPECT_EQ(ReadUnicodeFile(u"", false), u"");
}

TEST_F(ReadUnicodeFileTest, ByteOrderMarksGoOnlyWhenAskedAndOnlyWhenTheTextStartsWithOne)
{
    PutBytes(dir.path("marked"), "\xFF\xFE"s + "A\0\xFF\xFE"s + "B\0"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("marked"), false), u"\xFEFF"
                                                         u"A\xFEFF"
                                                         u"B");
    EXPECT_EQ(ReadUnicodeFile(dir.u16("marked"), true), u"AB");
    PutBytes(dir.path("later"), "A\0\xFF\xFE"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("later"), true), u"A\xFEFF");
    PutBytes(dir.path("swapped"), "\xFE\xFF"s + "A\0"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("swapped"), true), u"\xFFFE"
                                                         u"A");
}

TEST_F(ReadUnicodeFileTest, ThePathIsTakenLiterally)
{
    PutBytes(dir.path("a1.cfg"), "1\0"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("a*.cfg"), false), u"");
    EXPECT_EQ(ReadUnicodeFile(dir.u16("a?.cfg"), false), u"");
    // A NUL would cut the name short and name another file.
    PutBytes(dir.path("x"), "X\0"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("x") + u'\0' + u"y", false), u"");
}

TEST_F(WriteUnicodeFileTest, WritesExactlyTheMarkAndTheUnitsLowByteFirst)
{
    WriteUnicodeFile(dir.u16("a"), u"", false);
    EXPECT_EQ(GetBytes(dir.path("a")), "");
    WriteUnicodeFile(dir.u16("b"), u"", true);
    EXPECT_EQ(GetBytes(dir.path("b")), "\xFF\xFE");
    WriteUnicodeFile(dir.u16("c"), u"A\x1234\xFFFF\r\n", true);
    EXPECT_EQ(GetBytes(dir.path("c")), "\xFF\xFE"s + "A\0\x34\x12\xFF\xFF\r\0\n\0"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("c"), true), u"A\x1234\xFFFF\r\n");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a", "b", "c"}));
}

TEST_F(WriteUnicodeFileTest, OverwritingALongerFileLeavesOnlyTheNewBytes)
{
    PutBytes(dir.path("a.cfg"), std::string(1000, 'x'));
    WriteUnicodeFile(dir.u16("a.cfg"), u"ok", false);
    EXPECT_EQ(GetBytes(dir.path("a.cfg")), "o\0k\0"s);
    EXPECT_EQ(dir.names(), std::set<std::string>{"a.cfg"});
}

TEST_F(WriteUnicodeFileTest, WildcardsInThePathNameOneFileAndTouchNoOther)
{
    PutBytes(dir.path("a1.cfg"), "one");
    PutBytes(dir.path("ab.cfg"), "two");
#ifdef _WIN32
    // Windows allows neither character in a name: nothing is written, nothing else touched.
    ExpectWriteFails(dir.u16("a*.cfg"), u"*", ErrorNumber::PathFileAccess, "a*.cfg", "");
    ExpectWriteFails(dir.u16("a?.cfg"), u"?", ErrorNumber::PathFileAccess, "a?.cfg", "");
    const std::set<std::string> written;
#else
    WriteUnicodeFile(dir.u16("a*.cfg"), u"*", false);
    WriteUnicodeFile(dir.u16("a?.cfg"), u"?", false);
    EXPECT_EQ(GetBytes(dir.path("a*.cfg")), "*\0"s);
    EXPECT_EQ(GetBytes(dir.path("a?.cfg")), "?\0"s);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("a?.cfg"), false), u"?");
    const std::set<std::string> written = {"a*.cfg", "a?.cfg"};
#endif
    EXPECT_EQ(GetBytes(dir.path("a1.cfg")), "one");
    EXPECT_EQ(GetBytes(dir.path("ab.cfg")), "two");
    std::set<std::string> expected = {"a1.cfg", "ab.cfg"};
    expected.insert(written.begin(), written.end());
    EXPECT_EQ(dir.names(), expected);
}

TEST_F(WriteUnicodeFileFailure, AFolderThatDoesNotExistRaisesWithThePathAndTheReason)
{
    ExpectWriteFails(dir.u16("nowhere/a.cfg"), u"x", ErrorNumber::PathNotFound,
                     dir.path("nowhere/a.cfg"), NoSuchFolder);
    ExpectWriteFails(u"", u"x", ErrorNumber::PathNotFound, "", NoSuchFolder);
    EXPECT_TRUE(dir.names().empty());
}

// One step of a save failing as a full or failing disk makes it fail: the old file stays
// as it was (or, past the point where the new one is in place, the new one stays whole),
// no temporary is left, and the caller is told.
TEST_F(WriteUnicodeFileFailure, EachStepOfTheSaveThatFailsIsReportedAndLosesNothing)
{
    struct Row
    {
        const char *step;
        void (*inject)(fsys::SaveCalls &);
        std::int32_t number;
        const char *reason;
        const char *old; // the file before the save; none: there was no file
        bool newInPlace; // the step fails after the new content is in place
    };
#ifdef _WIN32
    const Row rows[] = {
        {"WriteFile",
         [](fsys::SaveCalls &c) {
             c.writeFile = [](HANDLE h, LPCVOID p, DWORD n, LPDWORD done, LPOVERLAPPED o) -> BOOL {
                 if (n > 3) // a part is written before the disk is full
                     return ::WriteFile(h, p, 3, done, o);
                 SetLastError(ERROR_DISK_FULL);
                 return FALSE;
             };
         },
         ErrorNumber::DiskFull, "", "old", false},
        {"FlushFileBuffers",
         [](fsys::SaveCalls &c) {
             c.flushFileBuffers = [](HANDLE) -> BOOL {
                 SetLastError(ERROR_WRITE_FAULT);
                 return FALSE;
             };
         },
         ErrorNumber::PathFileAccess, "", "old", false},
        {"CloseHandle",
         [](fsys::SaveCalls &c) {
             c.closeHandle = [](HANDLE h) -> BOOL {
                 ::CloseHandle(h);
                 SetLastError(ERROR_WRITE_FAULT);
                 return FALSE;
             };
         },
         ErrorNumber::PathFileAccess, "", "old", false},
        {"ReplaceFileW",
         [](fsys::SaveCalls &c) {
             c.replaceFile = [](LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) -> BOOL {
                 SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
                 return FALSE;
             };
         },
         ErrorNumber::PathFileAccess, "", "old", false},
        {"MoveFileExW",
         [](fsys::SaveCalls &c) {
             c.moveFile = [](LPCWSTR, LPCWSTR, DWORD) -> BOOL {
                 SetLastError(ERROR_WRITE_FAULT);
                 return FALSE;
             };
         },
         ErrorNumber::PathFileAccess, "", nullptr, false},
    };
#else
    const Row rows[] = {
        {"write",
         [](fsys::SaveCalls &c) {
             c.write = [](int fd, const void *p, size_t n) -> ssize_t {
                 // A part goes in, then the disk takes nothing more.
                 return n > 3 ? ::write(fd, p, 3) : 0;
             };
         },
         ErrorNumber::DiskFull, "No space left on device", "old", false},
        {"fsync", [](fsys::SaveCalls &c) { c.fsync = [](int) { return errno = EIO, -1; }; },
         ErrorNumber::PathFileAccess, "Input/output error", "old", false},
        {"close",
         [](fsys::SaveCalls &c) {
             c.close = [](int fd) { return ::close(fd), errno = EDQUOT, -1; };
         },
         ErrorNumber::DiskFull, "quota exceeded", "old", false},
        {"rename",
         [](fsys::SaveCalls &c) {
             c.rename = [](const char *, const char *) { return errno = EIO, -1; };
         },
         ErrorNumber::PathFileAccess, "Input/output error", nullptr, false},
        {"folder fsync",
         [](fsys::SaveCalls &c) { c.syncFolder = [](int) { return errno = EIO, -1; }; },
         ErrorNumber::PathFileAccess, "Input/output error", "old", true},
    };
#endif
    for (const Row &row : rows) {
        SCOPED_TRACE(row.step);
        const std::string target = dir.path("a.cfg");
        std::filesystem::remove(target);
        if (row.old)
            PutBytes(target, row.old);
        {
            const struct Restore
            {
                fsys::SaveCalls real = fsys::saveCalls;
                ~Restore() { fsys::saveCalls = real; }
            } restore;
            row.inject(fsys::saveCalls);
            ExpectWriteFails(dir.u16("a.cfg"), u"new content", row.number, target, row.reason);
        }
        const std::optional<std::string> kept = row.newInPlace
                                                    ? "n\0e\0w\0 \0c\0o\0n\0t\0e\0n\0t\0"s
                                                : row.old ? std::optional<std::string>(row.old)
                                                          : std::nullopt;
        EXPECT_EQ(GetBytes(target), kept);
        EXPECT_EQ(dir.names(), row.old || row.newInPlace ? std::set<std::string>{"a.cfg"}
                                                         : std::set<std::string>{});
    }
}

TEST_F(FileStatus, GivesTheSizeAndTheLastWriteInNanosecondsSince1970)
{
    const fsys::Status missing = fsys::StatusOf(dir.u16("missing"));
    EXPECT_EQ(missing.identity.kind, fsys::Kind::Missing);
    EXPECT_EQ(missing.size, 0u);

    PutBytes(dir.path("a.cfg"), "A\0B\0C\0"s);
    const fsys::Status written = fsys::StatusOf(dir.u16("a.cfg"));
    EXPECT_EQ(written.identity.kind, fsys::Kind::File);
    EXPECT_EQ(written.size, 6u);
    EXPECT_TRUE(Near(written.modifiedNs, NowNs())) << written.modifiedNs;
    EXPECT_TRUE(Near(written.changedNs, NowNs())) << written.changedNs;

    // Written an hour ago, as far as the file system knows: the write time is the one
    // given, not the time of the look or of the file's making.
    const std::filesystem::path path(dir.path("a.cfg"));
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) -
                                               std::chrono::hours(1));
    const fsys::Status backdated = fsys::StatusOf(dir.u16("a.cfg"));
    EXPECT_TRUE(Near(backdated.modifiedNs, NowNs() - std::int64_t(3600) * 1000000000))
        << backdated.modifiedNs;
    EXPECT_EQ(backdated.size, 6u);
}
