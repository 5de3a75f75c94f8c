#include "DocumentText.h"
#include "DocumentFile.h"
#include "EditedLines.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef __linux__
#include <linux/capability.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#endif

namespace fs = std::filesystem;

#ifdef __linux__
namespace {
// While it lives, this thread has no leave to read any file whatever its mode, which the
// superuser has: file modes then stop it as they stop anyone else.
class WithoutFileOverride
{
public:
    WithoutFileOverride()
    {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        reduced_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutFileOverride()
    {
        if (reduced_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    WithoutFileOverride(const WithoutFileOverride &) = delete;
    WithoutFileOverride &operator=(const WithoutFileOverride &) = delete;

private:
    __user_cap_header_struct header_ = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
    bool reduced_ = false;
};
} // namespace
#endif
using doctext::JoinLines;
using doctext::PreferredBreak;
using doctext::SplitLines;

TEST(DocumentText, SplitKeepsEveryBreakAndJoinGivesTheTextBack)
{
    const std::u16string texts[] = {
        u"",
        u"one line",
        u"a\r\nb\nc\rd",
        u"\r\n\n\r\r\n",
        u"ends with CR\r",
        u"CR then LF apart\r\r\n\n",
        u"para\u2029line\u2028sep\u00A0nbsp",
        u"\uFDD0frame\uFDD1",
    };
    for (const std::u16string &text : texts) {
        const std::vector<doctext::Line> lines = SplitLines(text);
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            EXPECT_FALSE(lines[i].lineBreak.empty());
        EXPECT_TRUE(lines.back().lineBreak.empty());
        EXPECT_EQ(JoinLines(lines, u"\r\n"), text);
    }
}

TEST(DocumentText, SplitSeesCrLfAsOneBreak)
{
    const std::vector<doctext::Line> lines = SplitLines(u"a\r\nb\n\rc");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].lineBreak, u"\r\n");
    EXPECT_EQ(lines[1].lineBreak, u"\n");
    EXPECT_EQ(lines[2].text, u"");
    EXPECT_EQ(lines[2].lineBreak, u"\r");
    EXPECT_EQ(lines[3].text, u"c");
}

TEST(DocumentText, AddedLinesTakeTheDefaultBreak)
{
    std::vector<doctext::Line> lines = SplitLines(u"a\nb");
    lines.insert(lines.begin() + 1, doctext::Line{u"new", {}});
    EXPECT_EQ(JoinLines(lines, u"\n"), u"a\nnew\nb");
}

TEST(DocumentText, PreferredBreakIsTheMostFrequentThenTheFirst)
{
    EXPECT_EQ(PreferredBreak(u"no breaks"), u"\r\n");
    EXPECT_EQ(PreferredBreak(u"a\nb\nc\r\nd"), u"\n");
    EXPECT_EQ(PreferredBreak(u"a\rb\r\nc"), u"\r");
    EXPECT_EQ(PreferredBreak(u"a\r\nb\rc"), u"\r\n");
    EXPECT_EQ(PreferredBreak(u"a\r\n\r\nb\n"), u"\r\n") << "CR LF is not a CR and an LF";
    EXPECT_EQ(PreferredBreak(u"a\u2029b"), u"\r\n");
}

// Whether a text is still the saved one, told from the lines edits touched: edits of every
// shape, some of them giving back what was there, some moving equal lines up or down (a
// text of few kinds of lines, so that moved lines often match the saved ones in place).
TEST(DocumentText, EditedLinesTellWhetherTheTextIsStillTheSavedOne)
{
    std::mt19937 random(11);
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n)(random); };
    for (int text = 0; text < 40; ++text) {
        std::vector<int> saved(static_cast<std::size_t>(pick(12)) + 1);
        for (int &line : saved)
            line = pick(2);
        std::vector<int> lines = saved;
        doctext::EditedLines edited;
        edited.Reset(lines.size());
        for (int step = 0; step < 60; ++step) {
            const auto first = static_cast<std::size_t>(pick(static_cast<int>(lines.size())));
            const auto removed = static_cast<std::size_t>(
                pick(static_cast<int>(std::min<std::size_t>(3, lines.size() - first))));
            std::vector<int> added(static_cast<std::size_t>(pick(3)));
            for (int &line : added)
                line = pick(2);
            if (lines.size() - removed + added.size() == 0)
                continue;
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                        lines.begin() + static_cast<std::ptrdiff_t>(first + removed));
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(first), added.begin(),
                         added.end());
            edited.Replace(first, removed, added.size());
            ASSERT_EQ(edited.Lines(), lines.size());
            const bool differs = edited.Differs(
                [&](std::size_t i) { return i < saved.size() && lines[i] == saved[i]; });
            ASSERT_EQ(differs, lines != saved) << "text " << text << ", step " << step;
        }
    }
}

// An edit far from the other edits looks at its own lines only.
TEST(DocumentText, EditedLinesCompareOnlyTheLinesNearTheEdits)
{
    constexpr std::size_t Lines = 16000;
    doctext::EditedLines edited;
    edited.Reset(Lines);
    std::size_t compared = 0;
    const auto sameBut = [&compared](std::size_t changed) {
        return [&compared, changed](std::size_t line) {
            ++compared;
            return line != changed;
        };
    };
    edited.Replace(Lines - 2, 2, 2); // the last line changed, the one before it not
    EXPECT_TRUE(edited.Differs(sameBut(Lines - 1)));
    for (int key = 0; key < 100; ++key) {
        edited.Replace(0, 2, 2); // a key typed on the first line and taken back
        compared = 0;
        EXPECT_TRUE(edited.Differs(sameBut(Lines - 1)));
        EXPECT_LE(compared, 4u);
    }
    // A line taken out at the start and put back at the end moves every line between.
    edited.Reset(Lines);
    edited.Replace(0, 1, 0);
    edited.Replace(Lines - 2, 0, 1);
    compared = 0;
    EXPECT_TRUE(edited.Differs(sameBut(0)));
    EXPECT_LE(compared, 2u);
}

namespace {

class ReadConfigFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root =
            fs::temp_directory_path() / ("docwin-read-" + std::to_string(std::random_device{}()));
        fs::create_directories(root);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(root, fs::perms::owner_all, ec);
        fs::remove_all(root, ec);
    }
    std::u16string Path(const std::string &name) const
    {
        const std::u8string path = (root / name).u8string();
        return std::u16string(path.begin(), path.end());
    }
    void Write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(root / name, std::ios::binary) << bytes;
    }
    static std::string ErrorOf(const std::u16string &path)
    {
        try {
            docfile::ReadConfigFile(path);
        } catch (const RunTimeError &error) {
            return error.Description;
        }
        return "(no error)";
    }

    fs::path root;
};

} // namespace

TEST_F(ReadConfigFile, ReadsUnitsLowByteFirstAndAnOddByteAlone)
{
    Write("even.cfg", std::string("A\0B\0", 4));
    Write("odd.cfg", std::string("A\0B", 3));
    Write("empty.cfg", "");
    EXPECT_EQ(docfile::ReadConfigFile(Path("even.cfg")), u"AB");
    EXPECT_EQ(docfile::ReadConfigFile(Path("odd.cfg")), u"AB");
    EXPECT_EQ(docfile::ReadConfigFile(Path("empty.cfg")), u"");
}

TEST_F(ReadConfigFile, APathThatNamesNothingIsAnEmptyNewFile)
{
    EXPECT_EQ(docfile::ReadConfigFile(Path("missing.cfg")), u"");
    EXPECT_EQ(docfile::ReadConfigFile(Path("no/such/folder/x.cfg")), u"");
    EXPECT_EQ(docfile::ReadConfigFile(u""), u"");
}

TEST_F(ReadConfigFile, WhatExistsButCannotBeReadRaisesWithThePath)
{
    fs::create_directories(root / "folder.cfg");
    const std::string folder = ErrorOf(Path("folder.cfg"));
    EXPECT_NE(folder.find("folder.cfg"), std::string::npos) << folder;
    EXPECT_NE(folder.find("directory"), std::string::npos) << folder;

#ifndef _WIN32 // named pipes and file modes as POSIX has them
    ASSERT_EQ(::mkfifo((root / "pipe.cfg").c_str(), 0600), 0);
    EXPECT_NE(ErrorOf(Path("pipe.cfg")).find("not an ordinary file"), std::string::npos);

#endif
#ifdef __linux__
    Write("locked.cfg", "x");
    fs::permissions(root / "locked.cfg", fs::perms::none);
    const WithoutFileOverride asAnyone;
    EXPECT_NE(ErrorOf(Path("locked.cfg")).find("ermission"), std::string::npos);
#endif
}

TEST_F(ReadConfigFile, RefusesAFileLargerThanAConfigFileCanBeWithoutReadingIt)
{
    // One byte over the longest file a save writes, a file that merely looks large, and
    // one far too large to be read at all.
    for (const long long size : {docfile::MaxReadBytes + 1, 70000LL, 100LL * 1024 * 1024}) {
        {
            std::ofstream big(root / "big.cfg", std::ios::binary | std::ios::trunc);
            big.seekp(size - 1);
            big.put('x');
        }
        const std::string error = ErrorOf(Path("big.cfg"));
        EXPECT_NE(error.find("larger than a config file can be"), std::string::npos) << error;
    }
    EXPECT_NE(ErrorOf(Path("big.cfg")).find("(104,857,600 bytes;"), std::string::npos);
}

#ifdef __linux__
// Two opens would let the file be swapped between the size check and the read (a huge
// file then read whole); the kernel's record of opens shows that there is only one.
TEST_F(ReadConfigFile, OnLinuxChecksAndReadsOneOpenOfTheFile)
{
    Write("watched.cfg", std::string("A\0B\0", 4));
    const int watcher = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watcher, 0);
    const std::string watched = (root / "watched.cfg").string();
    // Closes are watched too: the kernel folds an event into an unread one just like it.
    ASSERT_GE(::inotify_add_watch(watcher, watched.c_str(), IN_OPEN | IN_CLOSE), 0);

    EXPECT_EQ(docfile::ReadConfigFile(Path("watched.cfg")), u"AB");

    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(watcher, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            opens += (event->mask & IN_OPEN) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    ::close(watcher);
    EXPECT_EQ(opens, 1);
}
#endif
