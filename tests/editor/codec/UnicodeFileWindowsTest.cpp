// The UTF-16 file layer on Windows: the careful replace through the system's own calls,
// and the files it must refuse. Built for Windows only.
#include "FileSearch.h"
#include "FileSystem.h"
#include "RunTimeError.h"
#include "ScratchFolder.h"
#include "WindowsProcess.h"
#include "modUnicodeRW.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

class WindowsFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.valid()); }
    void TearDown() override
    {
        // A read-only file would keep the folder from being removed.
        for (const std::string &name : dir.names())
            SetFileAttributesW(std::filesystem::path(dir.path(name)).c_str(),
                               FILE_ATTRIBUTE_NORMAL);
    }
    DWORD Attributes(const std::string &name) const
    {
        return GetFileAttributesW(std::filesystem::path(dir.path(name)).c_str());
    }
    void SetAttributes(const std::string &name, DWORD attributes) const
    {
        ASSERT_TRUE(SetFileAttributesW(std::filesystem::path(dir.path(name)).c_str(), attributes));
    }
    ScratchFolder dir;
};

} // namespace

TEST_F(WindowsFile, ReplacingKeepsTheFilesAttributesAndANewFileIsNotHidden)
{
    PutBytes(dir.path("a.cfg"), "old old old");
    SetAttributes("a.cfg", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    WriteUnicodeFile(dir.u16("a.cfg"), u"new", false);
    EXPECT_EQ(GetBytes(dir.path("a.cfg")), "n\0e\0w\0"s);
    EXPECT_TRUE(Attributes("a.cfg") & FILE_ATTRIBUTE_HIDDEN);

    // The temporary is written hidden; the file it becomes is not.
    WriteUnicodeFile(dir.u16("b.cfg"), u"b", false);
    EXPECT_FALSE(Attributes("b.cfg") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a.cfg", "b.cfg"}));
}

TEST_F(WindowsFile, AReadOnlyFileIsRefusedByNameAndAnotherNameStillSaves)
{
    PutBytes(dir.path("ro.cfg"), "kept");
    SetAttributes("ro.cfg", FILE_ATTRIBUTE_READONLY);
    ExpectWriteFails(dir.u16("ro.cfg"), u"new", ErrorNumber::PermissionDenied, "ro.cfg",
                     "read-only");
    EXPECT_EQ(GetBytes(dir.path("ro.cfg")), "kept");
    EXPECT_TRUE(Attributes("ro.cfg") & FILE_ATTRIBUTE_READONLY);
    WriteUnicodeFile(dir.u16("copy.cfg"), u"new", false);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"copy.cfg", "ro.cfg"}));
}

TEST_F(WindowsFile, AFileLockedByAnotherProcessIsRefusedAndKept)
{
    PutBytes(dir.path("a.cfg"), "A\0"s);
    {
        HelperProcess holder(L"holder", L"TORVANE_HELPER_HOLD",
                             std::filesystem::path(dir.path("a.cfg")).wstring());
        ASSERT_TRUE(holder.started());
        ASSERT_TRUE(holder.WaitForFile(dir.path("a.cfg.held")));
        ExpectWriteFails(dir.u16("a.cfg"), u"new", ErrorNumber::PermissionDenied, "a.cfg",
                         "in use by another process");
        EXPECT_EQ(ReadUnicodeFile(dir.u16("a.cfg"), false), u"");
        const fsys::ReadResult read = fsys::ReadWhole(dir.u16("a.cfg"), 1000);
        EXPECT_EQ(read.failure.number, ErrorNumber::PermissionDenied) << read.failure.reason;
        EXPECT_EQ(fsys::FindFile(dir.u16("a.cfg")), u"a.cfg") << "it is still there";
    }
    EXPECT_EQ(GetBytes(dir.path("a.cfg")), "A\0"s);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a.cfg", "a.cfg.held"}));
    // Once let go, it saves.
    WriteUnicodeFile(dir.u16("a.cfg"), u"B", false);
    EXPECT_EQ(GetBytes(dir.path("a.cfg")), "B\0"s);
}

TEST_F(WindowsFile, APathOverTheOldLengthLimitIsRefusedCleanly)
{
    const std::u16string longPath = dir.u16() + u"\\" + std::u16string(250, u'n') + u".cfg";
    ASSERT_GT(longPath.size(), 260u);
    ExpectWriteFails(longPath, u"x", ErrorNumber::PathFileAccess, "nnnn", "longer than 259");
    EXPECT_EQ(ReadUnicodeFile(longPath, false), u"");
    EXPECT_EQ(fsys::ReadWhole(longPath, 100).failure.number, ErrorNumber::PathFileAccess);
    EXPECT_EQ(fsys::FindFile(longPath), u"");
    EXPECT_TRUE(dir.names().empty());

    // A path that fits, in a folder deep enough that its temporary's would not, saves.
    const std::string deep(100, 'd');
    std::filesystem::create_directory(dir.path(deep));
    const std::u16string folder = dir.u16(deep) + u"\\";
    const std::u16string nearLimit = folder + std::u16string(255 - folder.size(), u'm');
    WriteUnicodeFile(nearLimit, u"fits", false);
    EXPECT_EQ(ReadUnicodeFile(nearLimit, false), u"fits");
    EXPECT_EQ(dir.names(deep).size(), 1u);
}

TEST_F(WindowsFile, AnyUnicodeNameOpensSavesAndIsFound)
{
    for (const std::u16string name :
         {u"Gr\u00FC\u00DFe \u2713.cfg", u"\u65E5\u672C\u8A9E.cfg", u"\U0001F600 smile.cfg"}) {
        const std::u16string path = dir.u16() + u"\\" + name;
        WriteUnicodeFile(path, name, false);
        EXPECT_EQ(ReadUnicodeFile(path, false), name);
        EXPECT_EQ(fsys::FindFile(path), name);
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(path)));
    }
    EXPECT_EQ(dir.names().size(), 3u);
}

TEST_F(WindowsFile, TemporariesOfAnEndedSaveGoOnTheNextSaveAndOthersStay)
{
    HelperProcess ended(L"ended");
    ASSERT_TRUE(ended.started());
    ASSERT_EQ(ended.Wait(), 0u);
    HelperProcess running(L"running", L"TORVANE_HELPER_HOLD",
                          std::filesystem::path(dir.path("b.cfg")).wstring());
    PutBytes(dir.path("a.cfg"), "old");
    PutBytes(dir.path("b.cfg"), "other");
    ASSERT_TRUE(running.WaitForFile(dir.path("b.cfg.held")));

    const auto name = [](const std::u16string &target, DWORD process) {
        return std::filesystem::path(fsys::TemporaryName(target, process, 7, 0)).string();
    };
    const std::string stale = name(u"a.cfg", ended.id());
    const std::string live = name(u"a.cfg", running.id());
    const std::string other = name(u"b.cfg", ended.id());
    for (const std::string &temporary : {stale, live, other}) {
        PutBytes(dir.path(temporary), "part");
        SetAttributes(temporary, FILE_ATTRIBUTE_HIDDEN);
    }

    WriteUnicodeFile(dir.u16("a.cfg"), u"new", false);
    EXPECT_EQ(GetBytes(dir.path("a.cfg")), "n\0e\0w\0"s);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a.cfg", "b.cfg", "b.cfg.held", live, other}));
}

TEST_F(WindowsFile, HiddenAndSystemFilesAreNotFoundAndWildcardsIgnoreCase)
{
    for (const char *name : {"Visible.CFG", "hidden.cfg", "system.cfg"})
        PutBytes(dir.path(name), "x");
    SetAttributes("hidden.cfg", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes("system.cfg", FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(fsys::FindFile(dir.u16("*.cfg")), u"Visible.CFG");
    EXPECT_EQ(fsys::FindFile(dir.u16("v?SIBLE.cfg")), u"Visible.CFG");
    EXPECT_EQ(fsys::FindFile(dir.u16("h*")), u"");
    EXPECT_EQ(fsys::FindFile(dir.u16("hidden.cfg")), u"");
    EXPECT_EQ(fsys::FindFile(dir.u16("system.cfg")), u"");
    EXPECT_EQ(fsys::FindFile(dir.u16("hidden.cfg"), true), u"hidden.cfg");
    EXPECT_EQ(fsys::FindFile(dir.u16("s*"), true), u"system.cfg");
    // Both separators, and a drive-relative folder part, end the folder.
    const std::u16string back = dir.u16() + u"\\*.cfg";
    EXPECT_EQ(fsys::FindFile(back), u"Visible.CFG");
}
