#include "Main.h"
#include "Encryption.h"
#include "Globals.h"
#include "ScriptedModal.h"
#include "frmDocument.h"
#include "frmMain.h"
#include "modUnicodeRW.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(scratch.path());
        for (const char *name : {"a.cfg", "b.cfg", "my file.cfg"})
            WriteUnicodeFile(QString(name).toStdU16String(),
                             EnCrypt(QString("text of %1").arg(name).toStdU16String(), DocumentKey),
                             false);
        QDir().mkdir("folder.cfg");
    }

    void TearDown() override
    {
        if (auto *frame = Frame()) {
            for (QMdiSubWindow *window : frame->mdiArea()->subWindowList())
                qobject_cast<frmDocument *>(window)->setChanged(false);
            delete frame;
        }
        MainWindow = nullptr;
        QDir::setCurrent(previous);
    }

    static frmMain *Frame() { return dynamic_cast<frmMain *>(MainWindow); }

    static QStringList OpenedFiles()
    {
        QStringList files;
        for (QMdiSubWindow *window : Frame()->mdiArea()->subWindowList(QMdiArea::CreationOrder))
            files << qobject_cast<frmDocument *>(window)->FileName;
        return files;
    }

    static bool AnyFrameExists()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<frmMain *>(widget))
                return true;
        }
        return false;
    }

    ScriptedModal modal;
    QTemporaryDir scratch;
    QString previous;
};

} // namespace

TEST_F(MainTest, NoArgumentsShowAnEmptyFrame)
{
    ASSERT_EQ(Main({}, modal), StartupResult::Shown);
    ASSERT_NE(Frame(), nullptr);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->DocumentCount(), 0);
}

TEST_F(MainTest, OpensEachExistingFileInOrderAndSkipsTheRestSilently)
{
    QFile plain("plain.ini");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("[General]\r\n");
    plain.close();
    modal.AnswerQuestion(2); // the plain file is asked about; Cancel opens nothing
    ASSERT_EQ(Main({"-S", "b.cfg", "missing.cfg", "folder.cfg", "my file.cfg", "plain.ini", "a.cfg",
                    "b.cfg", "-silent"},
                   modal),
              StartupResult::Shown);
    EXPECT_EQ(OpenedFiles(), (QStringList{"b.cfg", "my file.cfg", "a.cfg", "b.cfg"}));
    // The last one named is the document in front.
    EXPECT_EQ(Frame()->ActiveDocument(),
              Frame()->mdiArea()->subWindowList(QMdiArea::CreationOrder).last());
    EXPECT_EQ(Frame()->ActiveDocument()->Text(), "text of b.cfg");
    EXPECT_TRUE(Frame()->isVisible());
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, "Not a Config File");
}

TEST_F(MainTest, DocumentsBehindTheFrontOneAreWholeBeforeAndAfterTheFrameFirstShows)
{
    ASSERT_EQ(Main({"a.cfg", "my file.cfg", "b.cfg"}, modal), StartupResult::Shown);
    const QList<QMdiSubWindow *> windows =
        Frame()->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 3);
    const auto document = [&](qsizetype i) { return qobject_cast<frmDocument *>(windows[i]); };
    // Before the event loop has turned: what the commands read is the file's text.
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const QString name = OpenedFiles()[i];
        EXPECT_EQ(windows[i]->windowTitle(), name);
        EXPECT_FALSE(document(i)->Changed()) << name.toStdString();
        EXPECT_EQ(document(i)->Text(), "text of " + name);
    }
    // Once it has, every box shows its text as loaded, with nothing to undo.
    QApplication::processEvents();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const QPlainTextEdit *box = document(i)->TextBox();
        EXPECT_EQ(box->toPlainText(), "text of " + OpenedFiles()[i]);
        EXPECT_FALSE(box->document()->isUndoAvailable());
        EXPECT_FALSE(document(i)->Changed());
        EXPECT_EQ(windows[i]->windowTitle(), OpenedFiles()[i]);
    }
}

TEST_F(MainTest, ADocumentBehindTakesKeysAtOnceWhenBroughtToFront)
{
    ASSERT_EQ(Main({"a.cfg", "b.cfg"}, modal), StartupResult::Shown);
    auto *first = qobject_cast<frmDocument *>(
        Frame()->mdiArea()->subWindowList(QMdiArea::CreationOrder).first());
    // Chosen from the Window menu before anything else has happened.
    Frame()->mdiArea()->setActiveSubWindow(first);
    // The key goes where the window has its focus (the frame may not be active yet).
    ASSERT_NE(first->focusWidget(), nullptr);
    QTest::keyClick(first->focusWidget(), Qt::Key_X);
    EXPECT_EQ(first->Text(), "xtext of a.cfg");
    EXPECT_TRUE(first->Changed());
    // The caption follows once the edit is drawn.
    EXPECT_TRUE(QTest::qWaitFor([&] { return first->windowTitle() == "a.cfg *"; }));
}

TEST_F(MainTest, AWildcardTokenIsPassedOnAsTyped)
{
    ASSERT_EQ(Main({"?.cfg", "*.none"}, modal), StartupResult::Shown);
    EXPECT_EQ(OpenedFiles(), QStringList{"?.cfg"});
}

TEST_F(MainTest, HelpSwitchesEndStartUpWithoutAnyWindow)
{
    for (const QStringList &arguments :
         {QStringList{"-HELP", "a.cfg"}, QStringList{"a.cfg", "-?"}, QStringList{"-h"}}) {
        EXPECT_EQ(Main(arguments, modal), StartupResult::Ended);
        EXPECT_EQ(MainWindow, nullptr);
        EXPECT_FALSE(AnyFrameExists());
    }
    EXPECT_TRUE(modal.asked().empty());
}

TEST(ExitStatusTest, OnlyAFailedStartUpEndsWithAFailureStatus)
{
    EXPECT_EQ(ExitStatus(StartupResult::Ended), 0);
    EXPECT_NE(ExitStatus(StartupResult::Failed), 0);
}
