// The frame's lifecycle: placement, document windows and closing.

#include "Encryption.h"
#include "FrameFixture.h"
#include "ScreenUnits.h"
#include "frmDocument.h"
#include "modUnicodeRW.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

QRect Twips(double left, double top, double width, double height)
{
    return screenunits::TwipsToPixels(left, top, width, height);
}

} // namespace

TEST_F(FrameTest, FirstRunOpensAtTheDefaultPlacementAndStoresItOnClose)
{
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Torvane Config File Editor"));
    // The installed icon: the title bars' sizes at once, every installed size once shown.
    EXPECT_EQ(Frame().windowIcon().availableSizes(),
              (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
    EXPECT_EQ(Frame().frameGeometry(), Twips(1000, 1000, 6500, 6500));
    EXPECT_EQ(Frame().windowState(), Qt::WindowNoState);
    EXPECT_EQ(Frame().DocumentCount(), 0);
    EXPECT_EQ(Frame().ActiveDocument(), nullptr);

    Frame().show();
    const QList<QSize> installed{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    EXPECT_TRUE(QTest::qWaitFor(
        [this, &installed] { return Frame().windowIcon().availableSizes() == installed; }));
    ASSERT_TRUE(CloseFrame());
    // Whole pixels back to twips: within one pixel of what was stored.
    EXPECT_NEAR(Stored("MainLeft").toDouble(), 1000, 15);
    EXPECT_NEAR(Stored("MainTop").toDouble(), 1000, 15);
    EXPECT_NEAR(Stored("MainWidth").toDouble(), 6500, 15);
    EXPECT_NEAR(Stored("MainHeight").toDouble(), 6500, 15);
    EXPECT_EQ(Stored("MainState"), QStringLiteral("0"));
}

TEST_F(FrameTest, NormalPlacementComesBackAtTheNextStart)
{
    Frame().show();
    const QRect moved = Twips(1500, 900, 7200, 5400);
    const QSize border = Frame().frameGeometry().size() - Frame().size();
    Frame().move(moved.topLeft());
    Frame().resize(moved.size() - border);
    ASSERT_EQ(Frame().frameGeometry(), moved);
    ASSERT_TRUE(CloseFrame());
    EXPECT_EQ(Stored("MainLeft"), QStringLiteral("1500"));
    EXPECT_EQ(Stored("MainTop"), QStringLiteral("900"));
    EXPECT_EQ(Stored("MainWidth"), QStringLiteral("7200"));
    EXPECT_EQ(Stored("MainHeight"), QStringLiteral("5400"));
    frame.reset();

    // The stored size is the outer one, border included, also once the frame is shown.
    Frame().show();
    EXPECT_EQ(Frame().frameGeometry(), moved);
}

TEST_F(FrameTest, MaximisedCloseStoresOnlyTheStateAndKeepsTheNormalPlacement)
{
    Store("MainLeft", "1200");
    Store("MainTop", "800");
    Store("MainWidth", "7000");
    Store("MainHeight", "5000");
    Frame().showMaximized();
    ASSERT_TRUE(CloseFrame());
    EXPECT_EQ(Stored("MainState"), QStringLiteral("2"));
    EXPECT_EQ(Stored("MainLeft"), QStringLiteral("1200"));
    EXPECT_EQ(Stored("MainWidth"), QStringLiteral("7000"));
    frame.reset();

    EXPECT_TRUE(Frame().windowState() & Qt::WindowMaximized);
    Frame().show();
    Frame().showNormal();
    EXPECT_EQ(Frame().frameGeometry(), Twips(1200, 800, 7000, 5000));
}

TEST_F(FrameTest, MinimisedCloseWritesNothing)
{
    Store("MainLeft", "1111");
    Store("MainState", "0");
    Frame().showMinimized();
    ASSERT_TRUE(CloseFrame());
    EXPECT_EQ(Stored("MainLeft"), QStringLiteral("1111"));
    EXPECT_EQ(Stored("MainState"), QStringLiteral("0"));
    EXPECT_FALSE(Store().contains(QStringLiteral("Settings/MainWidth")));
}

TEST_F(FrameTest, BadStoredValuesFallBackToTheirOwnDefaults)
{
    Store("MainLeft", "abc");
    Store("MainTop", "1300");
    Store("MainWidth", "-40");
    Store("MainHeight", "");
    Store("MainState", "7");
    Frame().show();
    EXPECT_EQ(Frame().frameGeometry(), Twips(1000, 1300, 6500, 6500));
    EXPECT_EQ(Frame().windowState(), Qt::WindowNoState);
}

TEST_F(FrameTest, PlacementOffEveryScreenOpensAtTheDefaultPlacement)
{
    Store("MainLeft", "900000");
    Store("MainTop", "-900000");
    Store("MainWidth", "7000");
    Store("MainHeight", "5000");
    Frame().show();
    EXPECT_EQ(Frame().frameGeometry(), Twips(1000, 1000, 6500, 6500));
}

TEST_F(FrameTest, APlacementLargerThanTheScreenIsKeptWithinIt)
{
    Store("MainLeft", "1000");
    Store("MainTop", "1000");
    Store("MainWidth", "999999");
    Store("MainHeight", "999999");
    Frame().show();
    const QRect screen = Frame().screen()->geometry();
    EXPECT_TRUE(screen.contains(Frame().frameGeometry()))
        << Frame().frameGeometry().width() << "x" << Frame().frameGeometry().height();
}

// Also run at twice the scale on a small screen (see CMakeLists.txt).
TEST_F(FrameTest, FrameAndHelpOpenWithinTheScreensAvailableArea)
{
    Frame().show();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    const QRect area = Frame().screen()->availableGeometry();
    EXPECT_TRUE(area.contains(Frame().frameGeometry()))
        << Frame().frameGeometry().width() << "x" << Frame().frameGeometry().height() << " on "
        << area.width() << "x" << area.height();
    QTest::keyClick(&Frame(), Qt::Key_F1);
    auto *help = Frame().findChild<QWidget *>(QStringLiteral("frmHelp"));
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    EXPECT_TRUE(area.contains(help->frameGeometry()))
        << help->frameGeometry().width() << "x" << help->frameGeometry().height();
}

TEST_F(FrameTest, DocumentsAreNumberedAndNumbersAreNeverReused)
{
    const QString first = scratch.filePath("missing-a.cfg");
    Frame().LoadFile(first);
    Frame().LoadFile(scratch.filePath("missing-b.cfg"));
    ASSERT_EQ(Frame().DocumentCount(), 2);
    frmDocument *second = Frame().ActiveDocument();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->FileName, scratch.filePath("missing-b.cfg"));

    const auto windows = Frame().mdiArea()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 2);
    auto *firstDocument = dynamic_cast<frmDocument *>(windows[0]);
    ASSERT_NE(firstDocument, nullptr);
    EXPECT_TRUE(firstDocument->FirstDocument);
    EXPECT_FALSE(second->FirstDocument);
    EXPECT_EQ(firstDocument->FileName, first);

    ASSERT_TRUE(second->close());
    Settle();
    Item("mnuWindowNewWindow")->trigger();
    EXPECT_EQ(Frame().DocumentCount(), 3);
    ASSERT_NE(Frame().ActiveDocument(), nullptr);
    EXPECT_EQ(Frame().ActiveDocument()->windowTitle(), QStringLiteral("Document 3"));
    EXPECT_FALSE(Frame().ActiveDocument()->FirstDocument);
    EXPECT_TRUE(Frame().ActiveDocument()->isVisibleTo(&Frame()));
}

TEST_F(FrameTest, ClosingStopsWhenADocumentRefusesAndWritesNothing)
{
    Frame().show();
    Item("mnuWindowNewWindow")->trigger();
    Item("mnuWindowNewWindow")->trigger();
    Frame().ActiveDocument()->setChanged(true);
    modal.AnswerMessage(MsgAnswer::Cancel);

    EXPECT_FALSE(CloseFrame());
    EXPECT_TRUE(Frame().isVisible());
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Save Before Closing?"));
    EXPECT_FALSE(Store().contains(QStringLiteral("Settings/MainLeft")));
    ASSERT_NE(Frame().ActiveDocument(), nullptr);

    modal.AnswerMessage(MsgAnswer::No);
    EXPECT_TRUE(CloseFrame());
    EXPECT_TRUE(Frame().mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(Stored("MainState"), QStringLiteral("0"));
}

// As Exit runs in the program: inside its event loop, the frame its last window.
TEST_F(FrameTest, ExitThatEndsTheProgramKeepsWhatCancelKeeps)
{
    Frame().show();
    for (int i = 0; i < 2; ++i)
        Item("mnuWindowNewWindow")->trigger();
    QPointer<QMdiSubWindow> unchanged = Frame().mdiArea()->subWindowList()[0];
    QPointer<frmDocument> changed = Frame().ActiveDocument();
    changed->setChanged(true);
    const QString file = scratch.filePath("kept.cfg");
    WriteUnicodeFile(file.toStdU16String(), EnCrypt(u"x=1", DocumentKey), false);
    Frame().LoadFile(file); // last in line, so still open after the Cancel
    const auto closeInLoop = [this] {
        bool closed = false;
        QTimer::singleShot(0, &Frame(), [this, &closed] {
            // exit, not quit: quit would ask the frame to close once more.
            if (!(closed = Frame().close()))
                QCoreApplication::exit();
        });
        QTimer::singleShot(60000, &Frame(), [] { QCoreApplication::exit(1); }); // no hang
        QCoreApplication::exec();
        Settle();
        return closed;
    };
    modal.AnswerMessage(MsgAnswer::Cancel);
    EXPECT_FALSE(closeInLoop());
    // Closed before the Cancel: gone, as its own close takes it; the other stays as it was.
    EXPECT_TRUE(unchanged.isNull());
    ASSERT_TRUE(changed && changed->isVisible());
    EXPECT_TRUE(changed->testAttribute(Qt::WA_DeleteOnClose));
    // Its file watched again, as before the Exit.
    const auto *watcher = qApp->findChild<QFileSystemWatcher *>();
    ASSERT_NE(watcher, nullptr);
    EXPECT_EQ(watcher->files(), QStringList{file});

    modal.AnswerMessage(MsgAnswer::No);
    EXPECT_TRUE(closeInLoop());
    EXPECT_EQ(Stored("MainState"), QStringLiteral("0"));
    // Should the program go on after all, the frame shows again without it.
    Frame().show();
    EXPECT_TRUE(changed.isNull());
}

TEST_F(FrameTest, StatusBarHasTheStatusPanelAndTheClock)
{
    auto *status = Frame().findChild<QLabel *>(QStringLiteral("sbStatusBarStatus"));
    auto *date = Frame().findChild<QLabel *>(QStringLiteral("sbStatusBarDate"));
    auto *time = Frame().findChild<QLabel *>(QStringLiteral("sbStatusBarTime"));
    ASSERT_TRUE(status && date && time);
    EXPECT_EQ(Frame().statusBar()->objectName(), QStringLiteral("sbStatusBar"));
    EXPECT_EQ(status->text(), QStringLiteral("Status"));
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    // Allow for a change of minute between the panel's tick and this line.
    EXPECT_TRUE(date->text() == locale.toString(now.date(), QLocale::ShortFormat) ||
                date->text() == locale.toString(now.addSecs(-60).date(), QLocale::ShortFormat));
    EXPECT_TRUE(time->text() == locale.toString(now.time(), QLocale::ShortFormat) ||
                time->text() == locale.toString(now.addSecs(-60).time(), QLocale::ShortFormat));

    Frame().SetStatusText(QStringLiteral("Busy"));
    EXPECT_EQ(status->text(), QStringLiteral("Busy"));
    Item("mnuWindowNewWindow")->trigger();
    ASSERT_TRUE(Frame().ActiveDocument()->close());
    EXPECT_EQ(status->text(), QString());
}

TEST_F(FrameTest, ADocumentLargerThanTheAreaOpensWithinIt)
{
    // The default child (8500 twips) is wider than the default frame (6500 twips).
    // As at start-up: the documents open before the frame is shown.
    Frame().LoadFile(scratch.filePath("missing-a.cfg"));
    Frame().LoadFile(scratch.filePath("missing-b.cfg"));
    Frame().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().LoadFile(scratch.filePath("missing-c.cfg"));
    Settle();
    const QRect area = Frame().mdiArea()->viewport()->rect();
    for (QMdiSubWindow *window : Frame().mdiArea()->subWindowList())
        EXPECT_TRUE(area.contains(window->geometry())) << window->windowTitle().toStdString();
}

TEST_F(FrameTest, ARememberedDocumentPlaceOutsideTheAreaOpensWithinIt)
{
    // Left by a larger frame: most of the window would lie right of and below this one's.
    Store("ChildLeft", "5000");
    Store("ChildTop", "4000");
    Store("ChildWidth", "4000");
    Store("ChildHeight", "3000");
    Frame().LoadFile(scratch.filePath("missing-a.cfg")); // at start-up, before the frame shows
    Frame().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    Frame().LoadFile(scratch.filePath("missing-b.cfg"));
    Settle();
    const QRect area = Frame().mdiArea()->viewport()->rect();
    for (QMdiSubWindow *window : Frame().mdiArea()->subWindowList()) {
        EXPECT_TRUE(area.contains(window->geometry())) << window->windowTitle().toStdString();
        // Not shrunk where it fits.
        EXPECT_EQ(window->width(), screenunits::TwipsToPixelsX(4000, window));
    }
}

TEST_F(FrameTest, ManyFilesOpenedOrClosedAtOnceStoreTheSettingsOncePerAction)
{
    // Each attempt to rewrite the store says so while its lock is out of reach.
    static QStringList attempts;
    attempts.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
            if (message.contains(QStringLiteral("not stored")))
                attempts << message;
        });
    const QString lock = Store().fileName() + QStringLiteral(".lock");
    ASSERT_TRUE(QDir().mkpath(lock));
    Frame().show();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    QStringList files;
    for (int i = 0; i < 30; ++i) {
        files << scratch.filePath(QStringLiteral("f%1.cfg").arg(i));
        WriteUnicodeFile(files.back().toStdU16String(), EnCrypt(u"x=1", DocumentKey), false);
    }

    Frame().OpenFiles(files); // as files handed over by other starts, or dropped
    EXPECT_EQ(Frame().DocumentCount(), 30);
    // The last file handed over is the one in front, as if each had been opened in turn.
    ASSERT_NE(Frame().mdiArea()->activeSubWindow(), nullptr);
    EXPECT_EQ(Frame().mdiArea()->activeSubWindow()->windowTitle(), files.back());
    EXPECT_EQ(attempts.size(), 1) << attempts.join('\n').toStdString();
    Item("mnuFileClose")->trigger(); // one document, its placement stored at once
    Settle();
    EXPECT_EQ(attempts.size(), 2) << attempts.join('\n').toStdString();
    ASSERT_TRUE(CloseFrame()); // Exit, every document closing with it
    EXPECT_EQ(attempts.size(), 3) << attempts.join('\n').toStdString();

    qInstallMessageHandler(previous);
    QDir().rmdir(lock);
}
