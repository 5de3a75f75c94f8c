// The File, Edit, View and Help commands and the toolbar, on whatever document is active.

#include "FrameFixture.h"
#include "frmDocument.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTextCursor>
#include <QToolBar>

namespace {

const QString OpenFilter = QStringLiteral(
    "Torvane Config Files (*.cfg)|*.cfg|Ini Files (*.ini)|*.ini|All Files (*.*)|*.*");

void Select(QPlainTextEdit &box, int from, int to)
{
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
}

} // namespace

class CommandsTest : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        QGuiApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
    }

    // A document holding `text`, opened from a path that did not exist yet.
    frmDocument &OpenDocument(const QString &text, const QString &name = "doc.cfg")
    {
        Frame().LoadFile(scratch.filePath(name));
        frmDocument *document = Frame().ActiveDocument();
        EXPECT_NE(document, nullptr);
        document->txtScript()->setPlainText(text);
        return *document;
    }

    void Toolbar(const QString &key)
    {
        for (QAction *button : Frame().findChild<QToolBar *>("tbToolBar")->actions())
            if (button->data().toString() == key)
                button->trigger();
    }
};

TEST_F(CommandsTest, EveryDocumentCommandDoesNothingWithoutADocument)
{
    Frame().show();
    for (const char *name : {"mnuFileClose", "mnuFileSave", "mnuFileSaveAs", "mnuFilePrint",
                             "mnuEditCut", "mnuEditCopy", "mnuEditPaste"})
        Item(name)->trigger();
    for (const char *key : {"Save", "Print", "Cut", "Copy", "Paste"})
        Toolbar(key);
    // The scripted dialogs fail the test on any dialog; nothing was opened either.
    EXPECT_TRUE(modal.asked().empty());
    EXPECT_EQ(Frame().DocumentCount(), 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("on the clipboard"));
    EXPECT_TRUE(Frame().isVisible());
}

TEST_F(CommandsTest, OpenAsksWithItsFilterAndOpensEveryChoiceInANewWindow)
{
    const QString path = scratch.filePath("same.cfg");
    modal.AnswerOpen(std::nullopt);
    Item("mnuFileOpen")->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Open"));
    EXPECT_EQ(modal.asked()[0].file.filter, OpenFilter);
    EXPECT_EQ(modal.asked()[0].file.filterIndex, 1);
    EXPECT_TRUE(modal.asked()[0].file.fileName.isEmpty());
    EXPECT_EQ(Frame().DocumentCount(), 0);

    modal.AnswerOpen(path);
    Item("mnuFileOpen")->trigger();
    modal.AnswerOpen(path);
    Toolbar("Open");
    EXPECT_EQ(Frame().DocumentCount(), 2);
    const auto windows = Frame().mdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    for (QMdiSubWindow *window : windows)
        EXPECT_EQ(dynamic_cast<frmDocument &>(*window).FileName, path);
}

TEST_F(CommandsTest, ShortcutsReachTheirCommands)
{
    Frame().show();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    modal.AnswerOpen(std::nullopt);
    QTest::keyClick(&Frame(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].kind, ScriptedModal::Kind::Open);
}

TEST_F(CommandsTest, SaveWritesTheActiveDocumentFromMenuAndToolbar)
{
    frmDocument &first = OpenDocument("first text", "first.cfg");
    frmDocument &second = OpenDocument("second text", "second.cfg");
    ASSERT_TRUE(second.Changed());
    Item("mnuFileSave")->trigger();
    EXPECT_TRUE(QFile::exists(second.FileName));
    EXPECT_FALSE(second.Changed());
    EXPECT_FALSE(QFile::exists(first.FileName));

    Frame().mdiArea()->setActiveSubWindow(&first);
    Toolbar("Save");
    EXPECT_TRUE(QFile::exists(first.FileName));
    EXPECT_FALSE(first.Changed());
    EXPECT_TRUE(modal.asked().empty());

    // What was saved comes back.
    Frame().LoadFile(first.FileName);
    EXPECT_EQ(Frame().ActiveDocument()->Text(), QStringLiteral("first text"));
}

TEST_F(CommandsTest, SaveOfANeverLoadedDocumentAsksForAPath)
{
    Item("mnuWindowNewWindow")->trigger();
    const QString path = scratch.filePath("named.cfg");
    modal.AnswerSave(path);
    Item("mnuFileSave")->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].kind, ScriptedModal::Kind::Save);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(Frame().ActiveDocument()->FileName, path);

    modal.AnswerSave(std::nullopt);
    Item("mnuFileSaveAs")->trigger();
    EXPECT_EQ(modal.asked().size(), 2u);
    EXPECT_EQ(modal.asked()[1].kind, ScriptedModal::Kind::Save);
}

TEST_F(CommandsTest, AFailingSaveIsShownAndTheEditorRunsOn)
{
    frmDocument &document = OpenDocument("precious", "no-such-folder/x.cfg");
    ASSERT_TRUE(document.Changed());
    modal.AnswerMessage(MsgAnswer::OK);
    Item("mnuFileSave")->trigger();
    modal.AnswerMessage(MsgAnswer::OK);
    Toolbar("Save");

    ASSERT_EQ(modal.asked().size(), 2u);
    for (const auto &asked : modal.asked()) {
        EXPECT_EQ(asked.kind, ScriptedModal::Kind::Message);
        EXPECT_TRUE(asked.title.startsWith(QStringLiteral("Error in: ")));
        EXPECT_FALSE(asked.text.isEmpty());
        EXPECT_EQ(asked.style, MsgStyle::Information);
    }
    EXPECT_EQ(Frame().ActiveDocument(), &document);
    EXPECT_TRUE(document.Changed());
    EXPECT_EQ(document.Text(), QStringLiteral("precious"));
}

TEST_F(CommandsTest, CloseAsksTheActiveDocumentAsTheProgram)
{
    frmDocument &document = OpenDocument("edited");
    modal.AnswerMessage(MsgAnswer::Cancel);
    Item("mnuFileClose")->trigger();
    Settle();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Save Before Closing?"));
    EXPECT_EQ(Frame().ActiveDocument(), &document);

    document.setChanged(false);
    Item("mnuFileClose")->trigger();
    Settle();
    EXPECT_EQ(Frame().ActiveDocument(), nullptr);
}

TEST_F(CommandsTest, ExitRunsTheClosingSequence)
{
    Frame().show();
    OpenDocument("edited");
    modal.AnswerMessage(MsgAnswer::Cancel);
    Item("mnuFileExit")->trigger();
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_FALSE(Store().contains(QStringLiteral("Settings/MainState")));

    modal.AnswerMessage(MsgAnswer::No);
    Item("mnuFileExit")->trigger();
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(Stored("MainState"), QStringLiteral("0"));
}

TEST_F(CommandsTest, CopyCutAndPasteUseTheClipboardAsPlainText)
{
    frmDocument &document = OpenDocument("alpha\nbeta gamma");
    QPlainTextEdit &box = *document.txtScript();
    QClipboard &clipboard = *QGuiApplication::clipboard();

    Select(box, 3, 8); // "ha\nbe"
    Item("mnuEditCopy")->trigger();
    EXPECT_EQ(clipboard.text(), QStringLiteral("ha\nbe"));
    EXPECT_EQ(box.toPlainText(), QStringLiteral("alpha\nbeta gamma"));

    Select(box, 11, 16); // "gamma"
    Toolbar("Cut");
    EXPECT_EQ(clipboard.text(), QStringLiteral("gamma"));
    EXPECT_EQ(box.toPlainText(), QStringLiteral("alpha\nbeta "));

    Select(box, 0, 5);
    Item("mnuEditPaste")->trigger();
    EXPECT_EQ(box.toPlainText(), QStringLiteral("gamma\nbeta "));

    // Nothing selected: empty text goes to the clipboard.
    Select(box, 2, 2);
    Toolbar("Copy");
    EXPECT_EQ(clipboard.text(), QString());

    // No text on the clipboard: the selection is deleted.
    clipboard.clear();
    Select(box, 0, 6);
    Toolbar("Paste");
    EXPECT_EQ(box.toPlainText(), QStringLiteral("beta "));
    EXPECT_TRUE(document.Changed());
}

TEST_F(CommandsTest, ViewSwitchesHideAndShowTheBarsWithTheirChecks)
{
    Frame().show();
    auto *toolbar = Frame().findChild<QToolBar *>("tbToolBar");
    QAction *toolbarSwitch = Item("mnuViewToolbar");
    QAction *statusSwitch = Item("mnuViewStatusBar");
    toolbarSwitch->trigger();
    EXPECT_FALSE(toolbarSwitch->isChecked());
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_TRUE(Frame().statusBar()->isVisible());
    toolbarSwitch->trigger();
    EXPECT_TRUE(toolbarSwitch->isChecked());
    EXPECT_TRUE(toolbar->isVisible());

    statusSwitch->trigger();
    EXPECT_FALSE(statusSwitch->isChecked());
    EXPECT_FALSE(Frame().statusBar()->isVisible());
    statusSwitch->trigger();
    EXPECT_TRUE(statusSwitch->isChecked());
    EXPECT_TRUE(Frame().statusBar()->isVisible());
    // The bars have no menu of their own that could hide them behind the checks' backs.
    EXPECT_EQ(Frame().createPopupMenu(), nullptr);
}

TEST_F(CommandsTest, AboutShowsTheCredits)
{
    modal.AnswerMessage(MsgAnswer::OK);
    Item("mnuHelpAbout")->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    const auto &asked = modal.asked()[0];
    EXPECT_EQ(asked.title, QStringLiteral("Glyph Turner"));
    EXPECT_EQ(asked.style, MsgStyle::Information);
    const QStringList lines = asked.text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Quillon 1.0.0"));
    EXPECT_FALSE(lines[1].isEmpty());

    // About Qt: the toolkit's own box, shown through the same interface.
    modal.AnswerMessage(MsgAnswer::OK);
    Item("mnuHelpAboutQt")->trigger();
    ASSERT_EQ(modal.asked().size(), 2u);
    EXPECT_EQ(modal.asked()[1].title, QStringLiteral("About Qt"));
}

TEST_F(CommandsTest, MenusShowEveryItemWithACommandAndKeepTheOthersHidden)
{
    // The menus as a person sees them (no recent files yet): visible items in order.
    const std::pair<const char *, QStringList> shown[] = {
        {"mnuFile",
         {"&New", "&Open...", "&Close", "&Save", "Save &As...", "Save A&ll", "Propert&ies",
          "Page Set&up...", "Print Pre&view", "&Print...", "E&xit"}},
        {"mnuEdit",
         {"&Undo", "Re&do", "Cu&t", "&Copy", "&Paste", "&Find...", "Find &Next", "Find Pre&vious",
          "&Replace...", "&Go To...", "Next Character That &Will Not Survive", "Select &All"}},
        {"mnuView", {"&Toolbar", "Status &Bar", "&Refresh"}},
        {"mnuHelp", {"&Contents", "&Search For Help On...", "&About ", "About &Qt"}},
    };
    for (const auto &[name, captions] : shown) {
        QStringList visible;
        for (const QAction *item : Frame().findChild<QMenu *>(name)->actions())
            if (item->isVisible() && !item->isSeparator())
                visible << item->text();
        EXPECT_EQ(visible, captions) << name;
    }
    for (const char *name : {"mnuFileSend", "mnuEditPasteSpecial", "mnuViewOptions",
                             "mnuViewWebBrowser", "mnuToolsOptions"})
        EXPECT_FALSE(Item(name)->isVisible()) << name;
    EXPECT_FALSE(Frame().findChild<QMenu *>("mnuTools")->menuAction()->isVisible());
    EXPECT_TRUE(Frame().findChild<QAction *>("tbToolBarNew")->isVisible());
}
