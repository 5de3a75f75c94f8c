// New, Save All, Refresh, Undo and Redo, through their menu items and their keys.

#include "AsPerson.h"
#include "Encryption.h"
#include "FrameFixture.h"
#include "frmDocument.h"
#include "modUnicodeRW.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>

#include <functional>

class DocumentCommandsTest : public FrameTest
{
protected:
    // The frame on screen and active, so that keys reach it as they reach a person's.
    void ShowFrame()
    {
        Frame().show();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }

    // A config file holding `text`, as the editor writes one.
    QString ConfigFile(const QString &name, const QString &text)
    {
        const QString path = scratch.filePath(name);
        WriteUnicodeFile(path.toStdU16String(), EnCrypt(text.toStdU16String(), DocumentKey), false);
        return path;
    }

    frmDocument &Open(const QString &path)
    {
        Frame().LoadFile(path);
        frmDocument *document = Frame().ActiveDocument();
        EXPECT_NE(document, nullptr);
        return *document;
    }

    static QString Read(const QString &path)
    {
        return QString::fromStdU16String(
            DeCrypt(ReadUnicodeFile(path.toStdU16String(), false), DocumentKey));
    }

    static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }

    static void Type(const QString &text)
    {
        QWidget *target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClicks(target, text);
    }
};

TEST_F(DocumentCommandsTest, NewFromTheMenuTheKeyAndTheToolbarOpensANumberedDocument)
{
    ShowFrame();
    Item("mnuFileNew")->trigger();
    QTest::keyClick(&Frame(), Qt::Key_N, Qt::ControlModifier);
    auto *toolbar = Frame().findChild<QToolBar *>(QStringLiteral("tbToolBar"));
    QAction *button = Frame().findChild<QAction *>(QStringLiteral("tbToolBarNew"));
    ASSERT_TRUE(button->isVisible());
    QTest::mouseClick(toolbar->widgetForAction(button), Qt::LeftButton);

    const auto windows = Frame().mdiArea()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto &document = dynamic_cast<frmDocument &>(*windows[i]);
        EXPECT_EQ(document.windowTitle(), QStringLiteral("Document %1").arg(i + 1));
        EXPECT_TRUE(document.FileName.isEmpty());
        EXPECT_FALSE(document.Changed());
    }
    EXPECT_EQ(Frame().ActiveDocument(), windows[2]);
    EXPECT_TRUE(modal.asked().empty());
}

TEST_F(DocumentCommandsTest, SaveAllSavesEveryChangedDocumentInWindowOrderAndStopsAtACancel)
{
    frmDocument &first = Open(ConfigFile("first.cfg", "one"));
    Item("mnuFileNew")->trigger();
    frmDocument &untitled = *Frame().ActiveDocument();
    frmDocument &third = Open(ConfigFile("third.cfg", "three"));
    frmDocument &unchanged = Open(ConfigFile("fourth.cfg", "four"));
    first.SetText(QStringLiteral("one edited"));
    untitled.SetText(QStringLiteral("new text"));
    third.SetText(QStringLiteral("three edited"));
    ASSERT_FALSE(unchanged.Changed());

    // The untitled one asks for a name; the user cancels.
    modal.OnNextDialog([&] { EXPECT_EQ(Frame().ActiveDocument(), &untitled); });
    modal.AnswerSave(std::nullopt);
    modal.AnswerMessage(MsgAnswer::OK);
    Item("mnuFileSaveAll")->trigger();

    ASSERT_EQ(modal.asked().size(), 2u);
    EXPECT_EQ(modal.asked()[0].kind, ScriptedModal::Kind::Save);
    EXPECT_EQ(modal.asked()[1].title, QStringLiteral("Save All"));
    EXPECT_TRUE(modal.asked()[1].text.startsWith(
        QStringLiteral("Save All stopped at Document 2, which was not saved.")))
        << modal.asked()[1].text.toStdString();
    EXPECT_TRUE(modal.asked()[1].text.contains(QStringLiteral("One more changed document")));
    EXPECT_EQ(Read(first.FileName), QStringLiteral("one edited"));
    EXPECT_FALSE(first.Changed());
    EXPECT_TRUE(untitled.Changed());
    EXPECT_EQ(Read(third.FileName), QStringLiteral("three"));
    EXPECT_TRUE(third.Changed());
    EXPECT_EQ(Frame().ActiveDocument(), &untitled);

    // Again, naming it this time: everything is saved and nothing more is said.
    const QString named = scratch.filePath(QStringLiteral("named.cfg"));
    modal.AnswerSave(named);
    Item("mnuFileSaveAll")->trigger();
    EXPECT_EQ(modal.asked().size(), 3u);
    EXPECT_EQ(Read(named), QStringLiteral("new text"));
    EXPECT_EQ(Read(third.FileName), QStringLiteral("three edited"));
    for (const frmDocument *document : {&first, &untitled, &third, &unchanged})
        EXPECT_FALSE(document->Changed()) << document->windowTitle().toStdString();
}

TEST_F(DocumentCommandsTest, SaveAllNamesTheDocumentWhoseSaveFailedWithTheReason)
{
    frmDocument &lost = Open(scratch.filePath(QStringLiteral("gone-folder/x.cfg")));
    frmDocument &later = Open(ConfigFile("later.cfg", "later"));
    lost.SetText(QStringLiteral("precious"));
    later.SetText(QStringLiteral("later edited"));

    modal.AnswerMessage(MsgAnswer::OK);
    Item("mnuFileSaveAll")->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    const QString text = modal.asked()[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Save All stopped at ") + lost.FileName +
                                QStringLiteral(":\r\n")))
        << text.toStdString();
    EXPECT_GT(text.size(), (QStringLiteral("Save All stopped at :\r\n") + lost.FileName).size());
    EXPECT_TRUE(lost.Changed());
    EXPECT_TRUE(later.Changed());
    EXPECT_EQ(Frame().ActiveDocument(), &lost);
}

TEST_F(DocumentCommandsTest, UndoBackToTheSavedTextClearsTheMarkAndRedoBringsItBack)
{
    // Nothing to undo without a document.
    EXPECT_FALSE(Item("mnuEditUndo")->isEnabled());
    EXPECT_FALSE(Item("mnuEditRedo")->isEnabled());

    ShowFrame();
    const QString path = ConfigFile("undo.cfg", "saved");
    frmDocument &document = Open(path);
    EXPECT_FALSE(Item("mnuEditUndo")->isEnabled());
    document.txtScript()->setFocus();
    document.txtScript()->moveCursor(QTextCursor::End);
    Type(QStringLiteral(" typed"));
    EXPECT_TRUE(document.Changed());
    EXPECT_TRUE(Item("mnuEditUndo")->isEnabled());

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document.Text(), QStringLiteral("saved"));
    EXPECT_FALSE(document.Changed());
    EXPECT_EQ(document.windowTitle(), path);
    EXPECT_FALSE(Item("mnuEditUndo")->isEnabled());
    EXPECT_TRUE(Item("mnuEditRedo")->isEnabled());

    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(document.Text(), QStringLiteral("saved typed"));
    EXPECT_TRUE(document.Changed());
    EXPECT_FALSE(Item("mnuEditRedo")->isEnabled());

    // The same through the menu, and each document keeps its own history.
    Item("mnuEditUndo")->trigger();
    EXPECT_FALSE(document.Changed());
    Item("mnuFileNew")->trigger();
    EXPECT_FALSE(Item("mnuEditUndo")->isEnabled());
    EXPECT_FALSE(Item("mnuEditRedo")->isEnabled());
    Frame().mdiArea()->setActiveSubWindow(&document);
    EXPECT_TRUE(Item("mnuEditRedo")->isEnabled());
    Item("mnuEditRedo")->trigger();
    EXPECT_EQ(document.Text(), QStringLiteral("saved typed"));
}

TEST_F(DocumentCommandsTest, RefreshReloadsAndAsksFirstOnlyWhenThereAreChanges)
{
    ShowFrame();
    const QString path = ConfigFile("refresh.cfg", "first");
    frmDocument &document = Open(path);
    ConfigFile("refresh.cfg", "changed on disk");

    // No changes: reloaded at once.
    QTest::keyClick(&Frame(), Qt::Key_F5);
    EXPECT_TRUE(modal.asked().empty());
    EXPECT_EQ(document.Text(), QStringLiteral("changed on disk"));

    // Changes: asked first; No keeps them, Yes throws them away.
    document.SetText(QStringLiteral("my edit"));
    modal.AnswerMessage(MsgAnswer::No);
    Item("mnuViewRefresh")->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Refresh"));
    EXPECT_EQ(modal.asked()[0].style, MsgStyle::YesNo + MsgStyle::DefaultButton2);
    EXPECT_TRUE(modal.asked()[0].text.startsWith(path));
    EXPECT_EQ(document.Text(), QStringLiteral("my edit"));
    EXPECT_TRUE(document.Changed());

    modal.AnswerMessage(MsgAnswer::Yes);
    QTest::keyClick(&Frame(), Qt::Key_F5);
    EXPECT_EQ(document.Text(), QStringLiteral("changed on disk"));
    EXPECT_FALSE(document.Changed());
    EXPECT_EQ(document.windowTitle(), path);

    // A file that has gone keeps the text, and says so.
    document.SetText(QStringLiteral("only copy"));
    ASSERT_TRUE(QFile::remove(path));
    modal.AnswerMessage(MsgAnswer::OK);
    Item("mnuViewRefresh")->trigger();
    EXPECT_EQ(modal.asked().size(), 3u);
    EXPECT_EQ(document.Text(), QStringLiteral("only copy"));

    // A document without a file has nothing to reload.
    Item("mnuFileNew")->trigger();
    Item("mnuViewRefresh")->trigger();
    EXPECT_EQ(modal.asked().size(), 3u);
}

namespace {

// The File menu's recent-file entries as shown: caption and status tip, in order.
QStringList RecentEntries(const QMenu &file)
{
    QStringList shown;
    for (const QAction *item : file.actions())
        if (item->isVisible() && item->objectName().startsWith(QStringLiteral("mnuFileMRU")))
            shown << item->text() + QStringLiteral(" = ") + item->statusTip();
    return shown;
}

} // namespace

TEST_F(DocumentCommandsTest, RecentFilesAreTheLastThreeOpenedOrSavedAndOutliveARestart)
{
    QStringList paths;
    for (const char *name : {"a.cfg", "b.cfg", "c&d.cfg", "e.cfg"})
        paths << ConfigFile(QString::fromUtf8(name), QStringLiteral("text"));
    auto *file = Frame().findChild<QMenu *>(QStringLiteral("mnuFile"));
    EXPECT_TRUE(RecentEntries(*file).isEmpty());
    EXPECT_EQ(asperson::ShownMenu(*file).mid(12), (QStringList{"Print...", "---", "Exit"}));

    for (const QString &path : paths.mid(0, 3)) {
        modal.AnswerOpen(path);
        Item("mnuFileOpen")->trigger();
    }
    // Saved under a new name counts as well.
    modal.AnswerSave(paths[3]);
    modal.AnswerMessage(MsgAnswer::Yes); // it exists: overwrite
    Item("mnuFileSaveAs")->trigger();
    const QStringList expected{QStringLiteral("&1 e.cfg = ") + paths[3],
                               QStringLiteral("&2 c&&d.cfg = ") + paths[2],
                               QStringLiteral("&3 b.cfg = ") + paths[1]};
    EXPECT_EQ(RecentEntries(*file), expected);
    // In a group of their own, between Print and Exit.
    EXPECT_EQ(asperson::ShownMenu(*file).mid(12),
              (QStringList{"Print...", "---", "1 e.cfg", "2 c&d.cfg", "3 b.cfg", "---", "Exit"}));

    // The next start shows the same list.
    ASSERT_TRUE(CloseFrame());
    frame.reset();
    file = Frame().findChild<QMenu *>(QStringLiteral("mnuFile"));
    EXPECT_EQ(RecentEntries(*file), expected);

    // Choosing one opens it as Open does and brings it to the top.
    Item("mnuFileMRU3")->trigger();
    ASSERT_NE(Frame().ActiveDocument(), nullptr);
    EXPECT_EQ(Frame().ActiveDocument()->FileName, paths[1]);
    EXPECT_EQ(RecentEntries(*file).first(), QStringLiteral("&1 b.cfg = ") + paths[1]);

    // One that has gone is reported and taken off.
    ASSERT_TRUE(QFile::remove(paths[2]));
    modal.AnswerMessage(MsgAnswer::OK);
    Item("mnuFileMRU3")->trigger();
    ASSERT_EQ(modal.asked().size(), 6u); // three opens, the save, its question, this
    EXPECT_TRUE(modal.asked()[5].text.startsWith(paths[2]));
    EXPECT_EQ(Frame().DocumentCount(), 1);
    EXPECT_EQ(RecentEntries(*file), (QStringList{QStringLiteral("&1 b.cfg = ") + paths[1],
                                                 QStringLiteral("&2 e.cfg = ") + paths[3]}));
    EXPECT_FALSE(Item("mnuFileMRU3")->isVisible());
}

namespace {

// A dialog's rows as shown: each caption ending in ":" with the label after it.
QMap<QString, QString> Rows(const QStringList &labels)
{
    QMap<QString, QString> rows;
    for (qsizetype i = 0; i + 1 < labels.size(); ++i)
        if (labels[i].endsWith(QLatin1Char(':')))
            rows.insert(labels[i], labels[i + 1]);
    return rows;
}

} // namespace

TEST_F(DocumentCommandsTest, PropertiesTellsTheFileTheTextAndWhatASaveWouldLose)
{
    const QString path = ConfigFile("mixed.cfg", QStringLiteral("a=1\r\nb=2\nc=3\r\nd=4"));
    frmDocument &document = Open(path);
    modal.AnswerDialog(QDialog::Rejected);
    Item("mnuFileProperties")->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].kind, ScriptedModal::Kind::Dialog);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Properties"));
    QMap<QString, QString> rows = Rows(modal.asked()[0].labels);
    EXPECT_EQ(rows.value("File:"), path);
    EXPECT_EQ(rows.value("Size on disk:"), QStringLiteral("34 bytes"));
    EXPECT_FALSE(rows.value("Last modified:").isEmpty());
    EXPECT_NE(rows.value("Last modified:"), QStringLiteral("not on disk"));
    EXPECT_TRUE(rows.value("Characters:").startsWith(QStringLiteral("17 ")));
    EXPECT_EQ(rows.value("Lines:"), QStringLiteral("4"));
    EXPECT_EQ(rows.value("Line breaks:"), QStringLiteral("mixed (2 CR LF, 1 LF)"));
    EXPECT_EQ(rows.value("Lost on saving:"), QStringLiteral("none"));

    // Characters a config file cannot keep are listed where they stand.
    document.SetText(QStringLiteral("a=1\r\nname=Jos\u00e9 \u20ac"));
    modal.AnswerDialog(QDialog::Rejected);
    Item("mnuFileProperties")->trigger();
    rows = Rows(modal.asked()[1].labels);
    EXPECT_EQ(rows.value("Lost on saving:"),
              QStringLiteral("2 characters\nline 2, column 9: \u00e9 U+00E9\n"
                             "line 2, column 11: \u20ac U+20AC"));
    EXPECT_EQ(rows.value("Line breaks:"), QStringLiteral("CR LF"));

    // A document never saved has no file to tell of.
    Item("mnuFileNew")->trigger();
    modal.AnswerDialog(QDialog::Rejected);
    Item("mnuFileProperties")->trigger();
    rows = Rows(modal.asked()[2].labels);
    EXPECT_EQ(rows.value("File:"), QStringLiteral("not saved yet"));
    EXPECT_EQ(rows.value("Size on disk:"), QStringLiteral("not on disk"));
    EXPECT_EQ(rows.value("Line breaks:"), QStringLiteral("none"));
}

// The frame's own dialogs and its find bar by keyboard alone: Tab goes through every
// control and round again (the bar lets it on to the text), Escape cancels, and Enter
// gives the answer that changes nothing or the one asked for.
TEST_F(DocumentCommandsTest, DialogsAndTheFindBarGoRoundByTabAndAnswerEnterAndEscape)
{
    ShowFrame();
    for (int i = 1; i <= 10; ++i)
        Open(ConfigFile(QStringLiteral("w%1.cfg").arg(i), QStringLiteral("a=%1").arg(i)));
    const auto moreWindows = [this] {
        auto *menu = Frame().findChild<QMenu *>(QStringLiteral("mnuWindow"));
        emit menu->aboutToShow();
        menu->actions().back()->trigger();
    };
    const struct
    {
        const char *dialog;
        std::function<void()> open;
        QStringList controls; // what Tab goes through, by name
        int onReturn;
    } rows[] = {
        {"frmProperties",
         [this] { Item("mnuFileProperties")->trigger(); },
         {"lblPath", "lblSize", "lblModified", "lblCharacters", "lblLines", "lblBreaks", "lblLost",
          "Close"},
         QDialog::Rejected},
        {"frmSelectWindow", moreWindows, {"lstWindows", "OK", "Cancel"}, QDialog::Accepted},
    };
    // A control by its name, or a button by its caption.
    const auto name = [](const QWidget *widget) {
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            return asperson::WithoutMnemonic(button->text());
        return widget->objectName();
    };
    for (const auto &row : rows) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            int result = -1;
            modal.OnNextDialog([&] {
                auto *dialog = Frame().findChild<QDialog *>(QString::fromUtf8(row.dialog));
                ASSERT_NE(dialog, nullptr) << row.dialog;
                ASSERT_TRUE(asperson::Activate(*dialog)) << row.dialog;
                ASSERT_TRUE(
                    QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }));
                QStringList visited;
                for (QWidget *widget : asperson::TabRound(*dialog))
                    visited << name(widget);
                visited.sort();
                QStringList expected = row.controls;
                expected.sort();
                EXPECT_EQ(visited, expected) << row.dialog;
                asperson::Press(QKeyCombination(key));
                EXPECT_FALSE(dialog->isVisible()) << row.dialog;
                result = dialog->result();
            });
            modal.AnswerDialog(QDialog::Rejected);
            row.open();
            EXPECT_EQ(result, key == Qt::Key_Return ? row.onReturn : int(QDialog::Rejected))
                << row.dialog << (key == Qt::Key_Return ? " by Enter" : " by Escape");
        }
    }

    // The find bar: its controls, then on to the text; Escape closes it.
    frmDocument *document = Frame().ActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(asperson::Activate(Frame()));
    document->txtScript()->setFocus();
    asperson::Press(Qt::ControlModifier | Qt::Key_F);
    auto *bar = Frame().findChild<QWidget *>(QStringLiteral("fraFind"));
    ASSERT_NE(bar, nullptr);
    QStringList visited;
    for (QWidget *widget : asperson::TabRound(*bar))
        visited << name(widget);
    EXPECT_EQ(visited,
              (QStringList{"txtFind", "Next", "Previous", "Match case", "Whole word", "Close"}));
    // Out to the document searched, not to whichever document the frame's chain has first.
    EXPECT_EQ(QApplication::focusWidget(), document->txtScript());
    EXPECT_EQ(Frame().ActiveDocument(), document);
    asperson::Press(Qt::ControlModifier | Qt::Key_F);
    asperson::Press(Qt::ShiftModifier | Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), document->txtScript());
    asperson::Press(Qt::ControlModifier | Qt::Key_F);
    ASSERT_TRUE(bar->isAncestorOf(QApplication::focusWidget()));
    asperson::Press(QKeyCombination(Qt::Key_Escape));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), document->txtScript());
}
