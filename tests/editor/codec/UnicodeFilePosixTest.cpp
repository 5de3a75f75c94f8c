// The UTF-16 file layer on POSIX systems: modes, owners, links, special files, and the
// failures a full disk or a folder without write access bring. Built for POSIX only.
#include "FileSystem.h"
#include "RunTimeError.h"
#include "ScratchFolder.h"
#include "modUnicodeRW.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::string_literals;

namespace {

constexpr uid_t Nobody = 65534;

// Runs `check` as an ordinary user, whose writes a folder's mode does stop (root's it
// does not): in a child switched to `nobody` when this process is root, reporting back
// through its exit status. Nothing when no such user can be had.
std::optional<int> AsOrdinaryUser(const std::function<int()> &check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(200);
        ::_exit(check());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 200)
        return std::nullopt;
    return WEXITSTATUS(status);
}

bool WriteText(const char *path, const std::string &text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    return written;
}

// Moves this process into a mount namespace of its own: as root directly, as anyone else
// through a user namespace in which they are root, where the kernel allows that.
bool PrivateMounts()
{
    if (::geteuid() != 0) {
        const std::string uid = std::to_string(::geteuid());
        const std::string gid = std::to_string(::getegid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !WriteText("/proc/self/setgroups", "deny") ||
            !WriteText("/proc/self/uid_map", "0 " + uid + " 1") ||
            !WriteText("/proc/self/gid_map", "0 " + gid + " 1"))
            return false;
    } else if (::unshare(CLONE_NEWNS) != 0) {
        return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// A 64 KiB file system that only this test process sees and that goes with it.
class TinyDisk
{
public:
    explicit TinyDisk(const std::string &where) : where_(where)
    {
        if (!PrivateMounts()) {
            reason_ = "cannot have a mount namespace of its own here (neither root nor a "
                      "user namespace)";
            return;
        }
        ::mkdir(where.c_str(), 0755);
        if (::mount("tmpfs", where.c_str(), "tmpfs", 0, "size=64k") != 0) {
            reason_ = "cannot mount a tmpfs here";
            return;
        }
        mounted_ = true;
    }
    ~TinyDisk()
    {
        if (mounted_)
            ::umount2(where_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    const std::string &reason() const { return reason_; }

private:
    std::string where_;
    std::string reason_;
    bool mounted_ = false;
};

class UnicodeFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.valid()); }
    ScratchFolder dir;
};

using ReadUnicodeFileOnPosix = UnicodeFile;
using WriteUnicodeFileOnPosix = UnicodeFile;
using WriteUnicodeFileFailureOnPosix = UnicodeFile;

} // namespace

TEST_F(ReadUnicodeFileOnPosix, ANamedPipeWithoutAWriterIsPassedOverWithoutHanging)
{
    // A named pipe with no writer would block a plain open for reading.
    ASSERT_EQ(::mkfifo(dir.path("pipe").c_str(), 0644), 0);
    EXPECT_EQ(ReadUnicodeFile(dir.u16("pipe"), false), u"");
}

TEST_F(WriteUnicodeFileOnPosix, KeepsTheModeOfAnExistingFileAndGivesANewOneTheUsualMode)
{
    for (const unsigned mode : {0640u, 0600u, 0754u, 0620u}) {
        PutBytes(dir.path("a.cfg"), "old");
        ASSERT_EQ(::chmod(dir.path("a.cfg").c_str(), mode), 0);
        WriteUnicodeFile(dir.u16("a.cfg"), u"new", false);
        EXPECT_EQ(ModeOf(dir.path("a.cfg")) & 07777, mode);
        EXPECT_EQ(GetBytes(dir.path("a.cfg")), "n\0e\0w\0"s);
    }
    const mode_t before = ::umask(027);
    WriteUnicodeFile(dir.u16("fresh.cfg"), u"new", false);
    ::umask(before);
    EXPECT_EQ(ModeOf(dir.path("fresh.cfg")) & 07777, 0640u);
}

TEST_F(WriteUnicodeFileOnPosix, KeepsTheOwnerOfAnExistingFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a file that belongs to someone else";
    PutBytes(dir.path("a.cfg"), "old");
    ASSERT_EQ(::chown(dir.path("a.cfg").c_str(), Nobody, Nobody), 0);
    WriteUnicodeFile(dir.u16("a.cfg"), u"new", false);
    struct stat st = {};
    ASSERT_EQ(::stat(dir.path("a.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, Nobody);
    EXPECT_EQ(st.st_gid, Nobody);
}

TEST_F(WriteUnicodeFileOnPosix, ASymbolicLinkStaysALinkAndItsTargetIsReplaced)
{
    ASSERT_EQ(::mkdir(dir.path("real").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.path("links").c_str(), 0755), 0);
    PutBytes(dir.path("real/a.cfg"), "old old old");
    ASSERT_EQ(::symlink("../real/a.cfg", dir.path("links/one").c_str()), 0);
    ASSERT_EQ(::symlink("one", dir.path("links/two").c_str()), 0);
    ASSERT_EQ(::symlink(dir.path("links/two").c_str(), dir.path("three").c_str()), 0);

    for (const char *link : {"links/one", "links/two", "three"}) {
        WriteUnicodeFile(dir.u16(link), std::u16string(1, char16_t(link[0])), false);
        EXPECT_TRUE(S_ISLNK(ModeOf(dir.path(link)))) << link;
        EXPECT_EQ(GetBytes(dir.path("real/a.cfg")), std::string(1, link[0]) + '\0') << link;
    }
    EXPECT_EQ(dir.names("real"), std::set<std::string>{"a.cfg"});
    EXPECT_EQ(dir.names("links"), (std::set<std::string>{"one", "two"}));

    // A link to a file not there yet creates that file.
    ASSERT_EQ(::symlink("real/b.cfg", dir.path("dangling").c_str()), 0);
    WriteUnicodeFile(dir.u16("dangling"), u"b", false);
    EXPECT_TRUE(S_ISLNK(ModeOf(dir.path("dangling"))));
    EXPECT_EQ(GetBytes(dir.path("real/b.cfg")), "b\0"s);
}

TEST_F(WriteUnicodeFileOnPosix, NamesOutsideAsciiAndLongNamesRoundTrip)
{
    const std::u16string grusse = dir.u16() + u"/Gr\u00FC\u00DFe \u2713.cfg";
    WriteUnicodeFile(grusse, u"g", false);
    EXPECT_EQ(GetBytes(dir.path("Gr\xC3\xBC\xC3\x9F"
                                "e \xE2\x9C\x93.cfg")),
              "g\0"s);
    EXPECT_EQ(ReadUnicodeFile(grusse, false), u"g");

    const std::u16string unpaired = dir.u16() + u"/x\xD800.cfg";
    WriteUnicodeFile(unpaired, u"u", false);
    EXPECT_EQ(ReadUnicodeFile(unpaired, false), u"u");

    const std::string longName(255, 'n');
    WriteUnicodeFile(dir.u16(longName), u"l", false);
    EXPECT_EQ(GetBytes(dir.path(longName)), "l\0"s);
    EXPECT_EQ(dir.names().size(), 3u);

    // Names up to the system's limit of 255 bytes in letters of two, three and four bytes:
    // the temporary written beside each must fit that limit too. Written twice, so that
    // the second save replaces a file that is there.
    const auto repeat = [](const std::string &letter, std::size_t times) {
        std::string name;
        for (std::size_t i = 0; i < times; ++i)
            name += letter;
        return name + ".cfg";
    };
    for (const std::string &name : {repeat("\xD0\x96", 114), "a" + repeat("\xC3\xA9", 125),
                                    repeat("\xE6\x96\x87", 83), repeat("\xF0\x9F\x94\xA7", 62)}) {
        SCOPED_TRACE(name.size());
        ASSERT_LE(name.size(), 255u);
        for (const char16_t *text : {u"first", u"second"})
            WriteUnicodeFile(dir.u16(name), text, false);
        EXPECT_EQ(ReadUnicodeFile(dir.u16(name), false), u"second");
    }
    EXPECT_EQ(dir.names().size(), 7u) << "a temporary was left behind";
}

TEST_F(WriteUnicodeFileFailureOnPosix, ATargetThatIsNoPlainFileIsLeftAlone)
{
    ASSERT_EQ(::mkdir(dir.path("dir.cfg").c_str(), 0755), 0);
    PutBytes(dir.path("dir.cfg/inside"), "in");
    ExpectWriteFails(dir.u16("dir.cfg"), u"x", ErrorNumber::PathFileAccess, dir.path("dir.cfg"),
                     "Is a directory");
    EXPECT_EQ(GetBytes(dir.path("dir.cfg/inside")), "in");

    ASSERT_EQ(::mkfifo(dir.path("pipe.cfg").c_str(), 0644), 0);
    ExpectWriteFails(dir.u16("pipe.cfg"), u"x", ErrorNumber::PathFileAccess, dir.path("pipe.cfg"),
                     "not a regular file");
    EXPECT_TRUE(S_ISFIFO(ModeOf(dir.path("pipe.cfg"))));
    EXPECT_EQ(dir.names(), (std::set<std::string>{"dir.cfg", "pipe.cfg"}));
    EXPECT_EQ(dir.names("dir.cfg"), std::set<std::string>{"inside"});
}

TEST_F(WriteUnicodeFileFailureOnPosix, ALinkLoopOrANulInThePathRaisesAndWritesNothing)
{
    ASSERT_EQ(::symlink("l2", dir.path("l1").c_str()), 0);
    ASSERT_EQ(::symlink("l1", dir.path("l2").c_str()), 0);
    ExpectWriteFails(dir.u16("l1"), u"x", ErrorNumber::PathFileAccess, dir.path("l1"),
                     "Too many levels of symbolic links");
    PutBytes(dir.path("a"), "old");
    ExpectWriteFails(dir.u16("a") + u'\0' + u"b", u"x", ErrorNumber::PathFileAccess, dir.path("a"),
                     "NUL");
    EXPECT_EQ(GetBytes(dir.path("a")), "old");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a", "l1", "l2"}));
}

TEST_F(WriteUnicodeFileFailureOnPosix, AReadOnlyFolderKeepsTheOldFileAndGetsNoTemporary)
{
    ASSERT_EQ(::mkdir(dir.path("ro").c_str(), 0755), 0);
    PutBytes(dir.path("ro/a.cfg"), "old content");
    ASSERT_EQ(::chmod(dir.path("ro/a.cfg").c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.path("ro").c_str(), 0555), 0);

    const std::string target = dir.path("ro/a.cfg");
    const std::optional<int> result = AsOrdinaryUser([&target]() {
        // Some users (with a capability to override file modes) are not stopped either.
        const std::string probe = target + ".probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            return 100;
        }
        try {
            WriteUnicodeFile(std::filesystem::path(target).u16string(), u"new", false);
            return 1;
        } catch (const RunTimeError &e) {
            if (e.Number != ErrorNumber::PermissionDenied)
                return 2;
            if (e.Description.find(target) == std::string::npos ||
                e.Description.find("Permission denied") == std::string::npos)
                return 3;
            return 0;
        } catch (...) {
            return 4;
        }
    });
    if (!result)
        GTEST_SKIP() << "cannot switch to an ordinary user, and root writes to any folder";
    if (*result == 100)
        GTEST_SKIP() << "this user can write to a read-only folder";
    EXPECT_EQ(*result, 0) << "1: no error, 2: wrong number, 3: wrong description, 4: other";
    EXPECT_EQ(GetBytes(target), "old content");
    EXPECT_EQ(dir.names("ro"), std::set<std::string>{"a.cfg"});
}

TEST_F(WriteUnicodeFileFailureOnPosix, AFullDiskKeepsTheOldFileAndGetsNoTemporary)
{
    const TinyDisk disk(dir.path("disk"));
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const std::string target = dir.path("disk/a.cfg");
    const std::string old(5000, 'o');
    PutBytes(target, old);

    // Fill the disk, then free two pages: room for the start of the new file, not all.
    {
        const std::string filler = dir.path("disk/filler");
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        off_t size = 0;
        for (ssize_t n; (n = ::write(fd, block.data(), block.size())) > 0;)
            size += n;
        ASSERT_GT(size, 8192);
        ASSERT_EQ(::ftruncate(fd, size - 8192), 0);
        ::close(fd);
    }

    const std::u16string text(32766, u'x');
    ExpectWriteFails(dir.u16("disk/a.cfg"), text, ErrorNumber::DiskFull, target,
                     "No space left on device");
    EXPECT_EQ(GetBytes(target), old);
    EXPECT_EQ(dir.names("disk"), (std::set<std::string>{"a.cfg", "filler"}));

    // A text that fits still replaces the file.
    WriteUnicodeFile(dir.u16("disk/a.cfg"), u"fits", false);
    EXPECT_EQ(GetBytes(target), "f\0i\0t\0s\0"s);
}

TEST_F(WriteUnicodeFileFailureOnPosix, AReadOnlyFileIsRefusedByNameAndKeptAsItWas)
{
    // Read-only to everyone (the superuser included), and to its owner alone.
    for (const unsigned mode : {0444u, 0466u}) {
        ::unlink(dir.path("ro.cfg").c_str());
        PutBytes(dir.path("ro.cfg"), "old content");
        ASSERT_EQ(::chmod(dir.path("ro.cfg").c_str(), mode), 0);
        if (mode == 0466u && ::geteuid() == 0)
            continue; // the superuser may write a file that grants writing to anyone
        ExpectWriteFails(dir.u16("ro.cfg"), u"new", ErrorNumber::PermissionDenied,
                         dir.path("ro.cfg"), "read-only");
        EXPECT_EQ(GetBytes(dir.path("ro.cfg")), "old content") << std::oct << mode;
        EXPECT_EQ(ModeOf(dir.path("ro.cfg")) & 07777, mode);
    }
    // Through a link too; another name in the same folder can still be written.
    ASSERT_EQ(::chmod(dir.path("ro.cfg").c_str(), 0444), 0);
    ASSERT_EQ(::symlink("ro.cfg", dir.path("link.cfg").c_str()), 0);
    ExpectWriteFails(dir.u16("link.cfg"), u"new", ErrorNumber::PermissionDenied,
                     dir.path("link.cfg"), "read-only");
    WriteUnicodeFile(dir.u16("copy.cfg"), u"new", false);
    EXPECT_EQ(GetBytes(dir.path("copy.cfg")), "n\0e\0w\0"s);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"copy.cfg", "link.cfg", "ro.cfg"}));
}

TEST_F(WriteUnicodeFileOnPosix, ASaveKilledPartWayLeavesNoTemporaryAfterTheNextSave)
{
    PutBytes(dir.path("a.cfg"), "old");
    PutBytes(dir.path("b.cfg"), "other");
    // A save that the system kills in the middle of writing: over the file size limit.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit = {100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_DFL);
        WriteUnicodeFile(dir.u16("a.cfg"), std::u16string(1000, u'k'), false);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    ASSERT_EQ(dir.names().size(), 3u) << "the killed save left its temporary";
    EXPECT_EQ(GetBytes(dir.path("a.cfg")), "old");

    // Temporaries that are not stale stay: one of a save still running, one of another file.
    const auto running =
        fsys::TemporaryName(u"a.cfg", static_cast<std::uint64_t>(::getppid()), 1, 0);
    const auto ofOther = fsys::TemporaryName(u"b.cfg", static_cast<std::uint64_t>(child), 1, 0);
    for (const std::u16string &name : {running, ofOther})
        PutBytes(dir.path(std::filesystem::path(name).string()), "busy");

    WriteUnicodeFile(dir.u16("a.cfg"), u"new", false);
    EXPECT_EQ(GetBytes(dir.path("a.cfg")), "n\0e\0w\0"s);
    EXPECT_EQ(dir.names(),
              (std::set<std::string>{"a.cfg", "b.cfg", std::filesystem::path(running).string(),
                                     std::filesystem::path(ofOther).string()}));
}

TEST_F(WriteUnicodeFileFailureOnPosix, TheDescriptionIsUtf8EvenForANameThatIsNotValidUtf16)
{
    ExpectWriteFails(dir.u16() + u"/no\xD800where/a.cfg", u"x", ErrorNumber::PathNotFound,
                     "no\xEF\xBF\xBDwhere/a.cfg", "No such file or directory");
}
