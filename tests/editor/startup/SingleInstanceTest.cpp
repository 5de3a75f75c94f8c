// A second start of the editor, as Main runs it, while a first one is running in this
// process (the hand-over waits in an event loop, so the first one answers meanwhile).

#include "SingleInstance.h"
#include "Encryption.h"
#include "Globals.h"
#include "Main.h"
#include "ScriptedModal.h"
#include "frmDocument.h"
#include "frmMain.h"
#include "modUnicodeRW.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(scratch.path());
        for (const char *name : {"a.cfg", "b.cfg"})
            WriteUnicodeFile(QString(name).toStdU16String(),
                             EnCrypt(QString("text of %1").arg(name).toStdU16String(), DocumentKey),
                             false);
    }

    void TearDown() override
    {
        for (frmMain *frame : frames)
            delete frame;
        MainWindow = nullptr;
        QDir::setCurrent(previous);
    }

    // Runs Main as a start of the program would; keeps whatever frame it made.
    bool Start(const QStringList &arguments)
    {
        MainFrame *before = MainWindow;
        const bool shown = Main(arguments, modal) == StartupResult::Shown;
        if (MainWindow != before)
            frames << dynamic_cast<frmMain *>(MainWindow);
        return shown;
    }

    static QStringList Opened(const frmMain &frame)
    {
        QStringList files;
        for (QMdiSubWindow *window : frame.mdiArea()->subWindowList(QMdiArea::CreationOrder))
            files << qobject_cast<frmDocument *>(window)->FileName;
        return files;
    }

    QString Absolute(const QString &name) const { return QDir(scratch.path()).filePath(name); }

    ScriptedModal modal;
    QTemporaryDir scratch;
    QString previous;
    QList<frmMain *> frames;
};

// A socket file with nobody behind it, as an editor that crashed leaves it.
void LeaveStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    ASSERT_LT(static_cast<std::size_t>(name.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

} // namespace

TEST_F(SingleInstanceTest, ASecondStartHandsItsFilesToTheFirstWhichComesToTheFront)
{
    ASSERT_TRUE(Start({"a.cfg"}));
    ASSERT_EQ(frames.size(), 1);
    frmMain &first = *frames[0];
    first.showMinimized();

    EXPECT_FALSE(Start({"-s", "b.cfg", "missing.cfg", "a.cfg"}));
    EXPECT_EQ(frames.size(), 1) << "the second start made a frame of its own";
    EXPECT_EQ(MainWindow, &first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Opened(first).size() == 3; }));
    // Named as the second start meant them, from its own working folder.
    EXPECT_EQ(Opened(first), (QStringList{"a.cfg", Absolute("b.cfg"), Absolute("a.cfg")}));
    EXPECT_EQ(first.ActiveDocument()->Text(), "text of a.cfg");
    EXPECT_FALSE(first.isMinimized());
    EXPECT_TRUE(modal.asked().empty());
}

TEST_F(SingleInstanceTest, SwitchesKeepTheirMeaningInASecondStart)
{
    ASSERT_TRUE(Start({"a.cfg"}));
    frmMain &first = *frames[0];

    // A help switch ends the second start before it reaches the first.
    EXPECT_FALSE(Start({"b.cfg", "-HELP"}));
    // Without a file to hand over, the second start is an ordinary one.
    EXPECT_TRUE(Start({"missing.cfg"}));
    ASSERT_EQ(frames.size(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(Opened(first), QStringList{"a.cfg"});
    EXPECT_TRUE(Opened(*frames[1]).isEmpty());
}

TEST_F(SingleInstanceTest, OnlyAStartOnTheSameDisplayHandsItsFilesOver)
{
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", ":7");
    ASSERT_TRUE(Start({"a.cfg"}));
    // The same display named with its screen hands over; another display has its own.
    const struct
    {
        const char *display;
        bool ownFrame;
    } starts[] = {{":7.0", false}, {"otherhost:7", true}, {":8", true}};
    for (const auto &start : starts) {
        qputenv("DISPLAY", start.display);
        const qsizetype framesBefore = frames.size();
        EXPECT_EQ(Start({"b.cfg"}), start.ownFrame) << start.display;
        EXPECT_EQ(frames.size(), framesBefore + (start.ownFrame ? 1 : 0)) << start.display;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return Opened(*frames[0]).size() == 2; }));
    EXPECT_EQ(Opened(*frames[0]), (QStringList{"a.cfg", Absolute("b.cfg")}));
    if (display.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);
    if (!wayland.isEmpty())
        qputenv("WAYLAND_DISPLAY", wayland);
}

TEST_F(SingleInstanceTest, TheSocketIsTheUsersOwnAndGoesWithTheFrame)
{
    const QString name = singleinstance::ServerName();
    ASSERT_TRUE(name.startsWith(QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR")) + "/"));
    ASSERT_TRUE(Start({}));
    const QFileInfo socket(name);
    ASSERT_TRUE(socket.exists());
    EXPECT_EQ(socket.ownerId(), ::getuid());
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                        QFile::WriteOther | QFile::ExeOther;
    EXPECT_FALSE(socket.permissions() & others);
    EXPECT_FALSE(QFileInfo(socket.path()).permissions() & others);

    delete frames.takeFirst();
    MainWindow = nullptr;
    EXPECT_FALSE(QFileInfo::exists(name));
}

TEST_F(SingleInstanceTest, AStaleSocketOfACrashedEditorIsTakenOver)
{
    LeaveStaleSocket(singleinstance::ServerName());
    ASSERT_TRUE(Start({"a.cfg"}));
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(Opened(*frames[0]), QStringList{"a.cfg"});

    // It listens there now: the next start hands over.
    EXPECT_FALSE(Start({"b.cfg"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Opened(*frames[0]).size() == 2; }));
}

TEST_F(SingleInstanceTest, AnEditorThatDoesNotAnswerIsLeftAloneAndTheStartGoesOn)
{
    // Somebody listens but never reads: the hand-over gives up and the start is ordinary.
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(singleinstance::ServerName()));
    EXPECT_EQ(singleinstance::HandOverFiles({Absolute("b.cfg")}, 50),
              singleinstance::HandOver::NoAnswer);

    ASSERT_TRUE(Start({"a.cfg"}));
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(Opened(*frames[0]), QStringList{"a.cfg"});
    // The socket stays with its owner; this frame runs without one.
    EXPECT_TRUE(QFileInfo::exists(singleinstance::ServerName()));
    const auto *server = frames[0]->findChild<singleinstance::InstanceServer *>();
    ASSERT_NE(server, nullptr);
    EXPECT_FALSE(server->IsListening());
    QLocalSocket probe;
    probe.connectToServer(singleinstance::ServerName());
    EXPECT_TRUE(probe.waitForConnected(1000));
}

TEST_F(SingleInstanceTest, NobodyRunningIsToldAtOnce)
{
    EXPECT_EQ(singleinstance::HandOverFiles({Absolute("a.cfg")}),
              singleinstance::HandOver::NoneRunning);
    LeaveStaleSocket(singleinstance::ServerName());
    EXPECT_EQ(singleinstance::HandOverFiles({Absolute("a.cfg")}),
              singleinstance::HandOver::NoneRunning);
}
