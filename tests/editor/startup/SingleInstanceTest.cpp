// A second start of the editor, as Main runs it, while a first one is running in this
// process (the hand-over waits in an event loop, so the first one answers meanwhile).

#include "SingleInstance.h"
#include "Encryption.h"
#include "Globals.h"
#include "LocalSocket.h"
#include "Main.h"
#include "ScriptedModal.h"
#include "frmDocument.h"
#include "frmMain.h"
#include "modUnicodeRW.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

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
    bool Start(const QStringList &arguments, int answerWaitMs = singleinstance::AnswerWaitMs)
    {
        MainFrame *before = MainWindow;
        const bool shown = Main(arguments, modal, answerWaitMs) == StartupResult::Shown;
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

std::string SocketPath()
{
    return QFile::encodeName(singleinstance::ServerName()).toStdString();
}

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
    // Naming nothing that opens, it brings the running frame forward and makes none.
    for (const QStringList &arguments :
         {QStringList{"missing.cfg"}, QStringList{"--bogus"}, QStringList{}}) {
        first.showMinimized();
        EXPECT_FALSE(Start(arguments)) << arguments.join(' ').toStdString();
        EXPECT_EQ(frames.size(), 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !first.isMinimized(); }));
    }
    EXPECT_EQ(Opened(first), QStringList{"a.cfg"});
    EXPECT_TRUE(modal.asked().empty());
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
    } starts[] = {
        {":7.0", false}, {":7.12", false}, {"otherhost:7", true}, {":8", true}, {":7.", true}};
    QStringList handedOver{"a.cfg"};
    for (const auto &start : starts) {
        qputenv("DISPLAY", start.display);
        const qsizetype framesBefore = frames.size();
        EXPECT_EQ(Start({"b.cfg"}), start.ownFrame) << start.display;
        EXPECT_EQ(frames.size(), framesBefore + (start.ownFrame ? 1 : 0)) << start.display;
        if (!start.ownFrame)
            handedOver << Absolute("b.cfg");
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return Opened(*frames[0]).size() == handedOver.size(); }));
    EXPECT_EQ(Opened(*frames[0]), handedOver);
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

    // A frame whose socket file was removed under it (a cleaner of old files) leaves alone
    // the socket of the editor that started since in its place.
    ASSERT_TRUE(Start({}));
    ASSERT_TRUE(QFile::remove(name));
    singleinstance::InstanceServer since;
    ASSERT_TRUE(since.Listen());
    delete frames.takeFirst();
    MainWindow = nullptr;
    EXPECT_EQ(singleinstance::HandOverFiles({}), singleinstance::HandOver::Done);
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

TEST_F(SingleInstanceTest, AStartThatCannotBeSureItsFilesWereTakenOpensNothing)
{
    // Somebody listens but never answers: it may still open the files once it reads them.
    localsocket::Listener silent;
    ASSERT_TRUE(silent.Open(SocketPath()));
    EXPECT_EQ(singleinstance::HandOverFiles({Absolute("b.cfg")}, 50),
              singleinstance::HandOver::NoAnswer);

    modal.AnswerMessage(MsgAnswer::OK);
    EXPECT_FALSE(Start({"a.cfg"}, 50));
    EXPECT_TRUE(frames.isEmpty());
    EXPECT_EQ(MainWindow, nullptr);
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].text,
              "The editor that is already running did not answer in time.\r\n\r\na.cfg\r\n\r\n"
              "These files were not opened here, so that none of them opens in two windows. "
              "The running editor may still open them.");
    // The socket stays with its owner.
    EXPECT_EQ(localsocket::Connect(SocketPath()).reach, localsocket::Reach::Connected);

    // One with more starts queued than it takes in is busy, not gone.
    ASSERT_EQ(::listen(silent.get(), 0), 0);
    std::vector<localsocket::Connection> queued;
    do
        queued.push_back(localsocket::Connect(SocketPath()));
    while (queued.back().reach == localsocket::Reach::Connected && queued.size() < 100);
    ASSERT_EQ(queued.back().reach, localsocket::Reach::Busy);
    EXPECT_EQ(singleinstance::HandOverFiles({Absolute("b.cfg")}, 50),
              singleinstance::HandOver::NoAnswer);
}

TEST_F(SingleInstanceTest, RequestsFarLargerThanAnyStartSendsAreRefusedUnread)
{
    singleinstance::InstanceServer server;
    ASSERT_TRUE(server.Listen());
    QStringList received;
    QObject::connect(&server, &singleinstance::InstanceServer::FilesReceived,
                     [&](const QStringList &files) { received += files; });
    const QString longest = "/" + QString(singleinstance::MaxPathLength - 1, 'x');
    const QByteArray whole = singleinstance::Request({Absolute("a.cfg")});
    const struct
    {
        const char *name;
        QByteArray request;
        bool leaves = false; // the client closes right after writing, without waiting
        bool taken = false;
    } cases[] = {
        {"a path of megabytes", singleinstance::Request({"/" + QString(1'900'000, 'y')})},
        {"a path longer than any system allows", singleinstance::Request({longest + "x"})},
        {"bytes beyond the list", whole + "junk"},
        {"a list claiming billions of paths",
         singleinstance::Request({}).chopped(4) + QByteArray("\xff\xff\xff\xf0", 4)},
        {"a header announcing 4 GB",
         singleinstance::Request({}).chopped(8) + QByteArray("\xff\xff\xff\xff", 4)},
        {"another version's greeting", QByteArray(whole).replace("files 2\n", "files 1\n")},
        {"nothing at all", {}},
        {"half a request, then gone", whole.first(whole.size() / 2), true},
        {"a whole request, then gone before the answer", whole, true, true},
    };
    QStringList expected;
    for (const auto &c : cases) {
        localsocket::Connection client = localsocket::Connect(SocketPath());
        ASSERT_EQ(client.reach, localsocket::Reach::Connected) << c.name;
        // Written as the editor takes it in; closed once either end has gone.
        std::size_t sent = 0;
        QByteArray answer;
        bool closed = false;
        const auto exchange = [&] {
            const localsocket::Transfer out =
                localsocket::Send(client.socket.get(), c.request.constData() + sent,
                                  static_cast<std::size_t>(c.request.size()) - sent);
            sent += out.bytes;
            char in[16];
            const localsocket::Transfer got =
                localsocket::Receive(client.socket.get(), in, sizeof in);
            answer.append(in, static_cast<qsizetype>(got.bytes));
            closed = closed || out.flow == localsocket::Flow::Ended ||
                     got.flow == localsocket::Flow::Ended;
            return closed;
        };
        exchange();
        if (c.leaves)
            client.socket.reset();
        // Whatever it does, the editor goes on taking the files of a real start meanwhile.
        EXPECT_EQ(singleinstance::HandOverFiles({Absolute("b.cfg")}),
                  singleinstance::HandOver::Done)
            << c.name;
        expected << Absolute("b.cfg");
        if (c.taken)
            expected << Absolute("a.cfg");
        if (!c.leaves) {
            ASSERT_TRUE(QTest::qWaitFor(exchange, 10'000)) << c.name;
            EXPECT_TRUE(answer.isEmpty()) << c.name;
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == expected.size(); })) << c.name;
        std::sort(received.begin(), received.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(received.join('\n').toStdString(), expected.join('\n').toStdString()) << c.name;
    }
    received.clear();
    // The longest path a system allows still goes through, in a request of its own when
    // many of them would not fit in one.
    const QStringList many(300, longest);
    EXPECT_EQ(singleinstance::HandOverFiles(many), singleinstance::HandOver::Done);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 300; }));
    EXPECT_EQ(received, many);
}

TEST_F(SingleInstanceTest, EachOfManyStartsAtOnceOpensItsFileOnceInTheRunningFrame)
{
    ASSERT_TRUE(Start({"a.cfg"}));
    frmMain &first = *frames[0];
    // A double-click storm: real starts of the program, all at once.
    constexpr int Starts = 40;
    std::vector<std::unique_ptr<QProcess>> starts;
    QStringList expected{"a.cfg"};
    for (int i = 0; i < Starts; ++i) {
        const QString name = QStringLiteral("f%1.cfg").arg(i);
        WriteUnicodeFile(name.toStdU16String(), EnCrypt(u"x=1", DocumentKey), false);
        expected << Absolute(name);
    }
    for (int i = 0; i < Starts; ++i) {
        starts.push_back(std::make_unique<QProcess>());
        starts.back()->setWorkingDirectory(scratch.path());
        starts.back()->start(QStringLiteral(QUILLON_PROGRAM), {QStringLiteral("f%1.cfg").arg(i)});
    }
    // The running editor is busy (a loaded machine, a long load) while they come in.
    QThread::sleep(3);
    // A start that made a frame of its own would not end by itself.
    const bool allEnded = QTest::qWaitFor(
        [&] {
            return std::all_of(starts.begin(), starts.end(), [](const auto &start) {
                return start->state() == QProcess::NotRunning;
            });
        },
        120'000);
    for (const auto &start : starts) {
        if (start->state() != QProcess::NotRunning)
            start->kill();
        start->waitForFinished(5000);
        EXPECT_EQ(start->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(start->exitCode(), 0) << start->readAllStandardError().toStdString();
    }
    EXPECT_TRUE(allEnded) << "a start opened a frame of its own";
    ASSERT_TRUE(QTest::qWaitFor([&] { return Opened(first).size() >= expected.size(); }));
    QStringList opened = Opened(first);
    std::sort(opened.begin() + 1, opened.end());
    std::sort(expected.begin() + 1, expected.end());
    EXPECT_EQ(opened, expected);
}

TEST_F(SingleInstanceTest, NobodyRunningIsToldAtOnce)
{
    // Whatever is in the socket's place, nobody answering there means a start goes on with a
    // frame of its own; what is not a socket is not the editor's, and stays as it was.
    const QString name = singleinstance::ServerName();
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QString deep = Absolute(QString(120, 'r'));
    const auto isGone = [&] { return !QFileInfo::exists(name); };
    const struct
    {
        const char *name;
        std::function<void()> leave;
        bool listens;                    // the frame then takes the files of later starts
        std::function<bool()> leftAlone; // checks, then clears the place for the next row
    } cases[] = {
        {"nothing", [] {}, true, isGone},
        {"a socket nobody listens on", [&] { LeaveStaleSocket(name); }, true, isGone},
        {"a file",
         [&] {
             QFile file(name);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("not ours");
         },
         false,
         [&] {
             QFile file(name);
             const bool kept = file.open(QIODevice::ReadOnly) && file.readAll() == "not ours";
             return file.remove() && kept;
         }},
        {"a folder", [&] { ASSERT_TRUE(QDir().mkdir(name)); }, false,
         [&] { return QDir().rmdir(name); }},
        {"a runtime folder too deep for a socket's address",
         [&] {
             ASSERT_TRUE(QDir().mkpath(deep));
             QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
             qputenv("XDG_RUNTIME_DIR", QFile::encodeName(deep));
         },
         false,
         [&] {
             qputenv("XDG_RUNTIME_DIR", runtime);
             return QDir(deep).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                       QDir::System);
         }},
    };
    for (const auto &c : cases) {
        c.leave();
        EXPECT_EQ(singleinstance::HandOverFiles({Absolute("a.cfg")}),
                  singleinstance::HandOver::NoneRunning)
            << c.name;
        ASSERT_TRUE(Start({"a.cfg"})) << c.name;
        EXPECT_EQ(singleinstance::HandOverFiles({Absolute("b.cfg")}) ==
                      singleinstance::HandOver::Done,
                  c.listens)
            << c.name;
        delete frames.takeLast();
        MainWindow = nullptr;
        EXPECT_TRUE(c.leftAlone()) << c.name;
    }
}
