// Find, replace, Go To, Select All and the caret panel, driven with keys as a person does.

#include "AsPerson.h"
#include "Encryption.h"
#include "FrameFixture.h"
#include "frmDocument.h"
#include "modUnicodeRW.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

namespace {

// Every line break a file can have, so that each test shows they come through untouched.
const QString Mixed = QStringLiteral("port=1\r\nPort=2\nreport=3\rport=4");

} // namespace

class SearchTest : public FrameTest
{
protected:
    // A document loaded from a config file holding `text`.
    frmDocument &Document(const QString &text, const QString &name = "doc.cfg")
    {
        const QString path = scratch.filePath(name);
        WriteUnicodeFile(path.toStdU16String(), EnCrypt(text.toStdU16String(), DocumentKey), false);
        Frame().LoadFile(path);
        frmDocument *document = Frame().ActiveDocument();
        EXPECT_NE(document, nullptr);
        EXPECT_EQ(document->Text(), text);
        Frame().show();
        Frame().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        document->txtScript()->setFocus();
        return *document;
    }

    // Through the window that has the keyboard, so its shortcuts see each key first.
    static void Keys(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        asperson::Press(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
    }
    static void Type(const QString &text) { asperson::Type(text); }

    template <typename T> T *Child(const char *name)
    {
        auto *child = Frame().findChild<T *>(QString::fromUtf8(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // The status message as a person reads it: where the panel elides it, in its tool tip.
    QString Status()
    {
        const auto *panel = Child<QLabel>("sbStatusBarStatus");
        return panel->toolTip().isEmpty() ? panel->text() : panel->toolTip();
    }
    // The caret panel as shown once the frame has drawn what moved the caret.
    QString Caret()
    {
        QApplication::processEvents();
        return Child<QLabel>("sbStatusBarCaret")->text();
    }

    static std::pair<int, int> Selection(const frmDocument &document)
    {
        const QTextCursor cursor = document.txtScript()->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }
};

TEST_F(SearchTest, EditMenuShowsTheSearchCommandsBelowPasteWithTheirKeys)
{
    QMenu *menu = asperson::MenuBarMenu(Frame(), QStringLiteral("Edit"));
    ASSERT_NE(menu, nullptr);
    const QStringList shown = asperson::ShownMenuWithKeys(*menu);
    const QStringList tail = {"Paste\tCtrl+V",
                              "---",
                              "Find...\tCtrl+F",
                              "Find Next\tF3",
                              "Find Previous\tShift+F3",
                              "Replace...\tCtrl+H",
                              "Go To...\tCtrl+G",
                              "Next Character That Will Not Survive\tF8 (greyed)", // no document
                              "---",
                              "Select All\tCtrl+A"};
    ASSERT_GE(shown.size(), tail.size());
    EXPECT_EQ(shown.mid(shown.size() - tail.size()), tail) << shown.join(u'|').toStdString();
}

TEST_F(SearchTest, ALongNotFoundMessageIsElidedAndTheFrameKeepsItsSize)
{
    Document(Mixed);
    const QSize size = Frame().size();
    Keys(Qt::Key_F, Qt::ControlModifier);
    const QString pattern(200, QLatin1Char('q'));
    Type(pattern);
    Keys(Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(Frame().size(), size);
    const auto *panel = Child<QLabel>("sbStatusBarStatus");
    EXPECT_TRUE(panel->text().endsWith(QChar(0x2026))) << panel->text().toStdString();
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());
    EXPECT_TRUE(Status().contains(pattern));
}

TEST_F(SearchTest, FindLooksOnFromTheCaretWrapsWithANoteAndGoesBack)
{
    frmDocument &document = Document(Mixed);
    Keys(Qt::Key_F, Qt::ControlModifier);
    auto *field = Child<QLineEdit>("txtFind");
    ASSERT_EQ(QApplication::focusWidget(), field);
    EXPECT_FALSE(Child<QLineEdit>("txtReplace")->isVisible());
    Type("port");
    Keys(Qt::Key_Return);
    // Any case, inside words too; the shown text has one position per break.
    EXPECT_EQ(Selection(document), std::make_pair(0, 4));
    Keys(Qt::Key_F3);
    EXPECT_EQ(Selection(document), std::make_pair(7, 11));
    Keys(Qt::Key_Return);
    EXPECT_EQ(Selection(document), std::make_pair(16, 20)); // in "report"
    Keys(Qt::Key_F3);
    EXPECT_EQ(Selection(document), std::make_pair(23, 27));
    EXPECT_EQ(Status(), QString());
    Keys(Qt::Key_F3);
    EXPECT_EQ(Selection(document), std::make_pair(0, 4));
    EXPECT_EQ(Status(), "Passed the end of the document; went on from the top.");
    Keys(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Selection(document), std::make_pair(23, 27));
    EXPECT_EQ(Status(), "Passed the top of the document; went on from the end.");
    Keys(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Selection(document), std::make_pair(16, 20));

    // Match case and whole word.
    QTest::mouseClick(Child<QCheckBox>("chkMatchCase"), Qt::LeftButton);
    QTest::mouseClick(Child<QCheckBox>("chkWholeWord"), Qt::LeftButton);
    field->setFocus();
    Keys(Qt::Key_Return);
    EXPECT_EQ(Selection(document), std::make_pair(23, 27)); // not "Port", not "report"
    Keys(Qt::Key_Return);
    EXPECT_EQ(Selection(document), std::make_pair(0, 4));

    field->setText("nowhere");
    Keys(Qt::Key_Return);
    EXPECT_EQ(Status(), "\"nowhere\" was not found.");
    EXPECT_EQ(Selection(document), std::make_pair(0, 4));
    EXPECT_EQ(document.Text(), Mixed);
    EXPECT_FALSE(document.Changed());

    Keys(Qt::Key_Escape);
    EXPECT_FALSE(field->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), document.txtScript());
    EXPECT_TRUE(modal.asked().empty());
}

TEST_F(SearchTest, FindStartsFromTheSelectionAndFindNextWithoutTextOpensTheBar)
{
    frmDocument &document = Document(Mixed);
    Keys(Qt::Key_F3);
    EXPECT_TRUE(Child<QLineEdit>("txtFind")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>("txtFind"));

    document.txtScript()->setFocus();
    QTextCursor cursor = document.txtScript()->textCursor();
    cursor.setPosition(14);
    cursor.setPosition(18, QTextCursor::KeepAnchor); // "repo"
    document.txtScript()->setTextCursor(cursor);
    Keys(Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(Child<QLineEdit>("txtFind")->text(), "repo");
    EXPECT_TRUE(Child<QLineEdit>("txtReplace")->isVisible());
}

TEST_F(SearchTest, ReplaceAllIsOneUndoStepAndKeepsEveryBreak)
{
    frmDocument &document = Document(Mixed);
    Keys(Qt::Key_H, Qt::ControlModifier);
    Type("PORT");
    Keys(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Child<QLineEdit>("txtReplace"));
    Type("baud");
    QTest::mouseClick(Child<QPushButton>("cmdReplaceAll"), Qt::LeftButton);
    EXPECT_EQ(document.Text(), "baud=1\r\nbaud=2\nrebaud=3\rbaud=4");
    EXPECT_EQ(Status(), "Replaced 4 occurrences of \"PORT\".");
    EXPECT_TRUE(document.Changed());

    document.txtScript()->setFocus();
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document.Text(), Mixed);
    EXPECT_FALSE(document.Changed());
    Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(document.Text(), "baud=1\r\nbaud=2\nrebaud=3\rbaud=4");
    Keys(Qt::Key_Z, Qt::ControlModifier);

    // Whole words and case: only the exact, free-standing ones.
    Child<QCheckBox>("chkMatchCase")->setChecked(true);
    Child<QCheckBox>("chkWholeWord")->setChecked(true);
    Child<QLineEdit>("txtFind")->setText("port");
    QTest::mouseClick(Child<QPushButton>("cmdReplaceAll"), Qt::LeftButton);
    EXPECT_EQ(document.Text(), "baud=1\r\nPort=2\nreport=3\rbaud=4");
    EXPECT_EQ(Status(), "Replaced 2 occurrences of \"port\".");

    Child<QLineEdit>("txtFind")->setText("absent");
    QTest::mouseClick(Child<QPushButton>("cmdReplaceAll"), Qt::LeftButton);
    EXPECT_EQ(Status(), "\"absent\" was not found.");
    EXPECT_EQ(document.Text(), "baud=1\r\nPort=2\nreport=3\rbaud=4");
}

TEST_F(SearchTest, ReplaceChangesTheFoundMatchThenFindsTheNext)
{
    frmDocument &document = Document(Mixed);
    Keys(Qt::Key_H, Qt::ControlModifier);
    Type("port");
    Keys(Qt::Key_Tab);
    Type("x");
    Keys(Qt::Key_Return); // nothing selected yet: finds the first
    EXPECT_EQ(Selection(document), std::make_pair(0, 4));
    EXPECT_EQ(document.Text(), Mixed);
    Keys(Qt::Key_Return);
    EXPECT_EQ(document.Text(), "x=1\r\nPort=2\nreport=3\rport=4");
    EXPECT_EQ(Selection(document), std::make_pair(4, 8));
    QTest::mouseClick(Child<QPushButton>("cmdReplace"), Qt::LeftButton);
    EXPECT_EQ(document.Text(), "x=1\r\nx=2\nreport=3\rport=4");
}

TEST_F(SearchTest, GoToTakesALineOrLineColonAndRefusesWhatIsNotThere)
{
    frmDocument &document = Document(Mixed);
    modal.AnswerInput(QStringLiteral("3:4"));
    Keys(Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, "Go To");
    EXPECT_EQ(modal.asked()[0].text, "Line number, or line:column:");
    EXPECT_EQ(modal.asked()[0].initial, "1");
    EXPECT_EQ(document.txtScript()->textCursor().position(), 14 + 3);
    EXPECT_EQ(Caret(), "Line 3, Col 4");
    EXPECT_EQ(QApplication::focusWidget(), document.txtScript());

    const struct
    {
        const char *typed;
        const char *complaint; // empty: the caret goes to `position`
        int position;
    } cases[] = {
        {"2", "", 7},
        {" 4:99 ", "", 29}, // past the line's end: at its end
        {"5", "There is no line 5: the document has 4 lines.", 29},
        {"two",
         "\"two\" is not a place to go to. Type a line number, or a line number, a "
         "colon and a column number, as in 12:5.",
         29},
        {"0:1",
         "\"0:1\" is not a place to go to. Type a line number, or a line number, a "
         "colon and a column number, as in 12:5.",
         29},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const std::size_t before = modal.asked().size();
        modal.AnswerInput(QString::fromUtf8(c.typed));
        if (*c.complaint)
            modal.AnswerMessage(MsgAnswer::OK);
        Item("mnuEditGoTo")->trigger();
        ASSERT_EQ(modal.asked().size(), before + (*c.complaint ? 2 : 1));
        if (*c.complaint) {
            EXPECT_EQ(modal.asked().back().text, QString::fromUtf8(c.complaint));
            EXPECT_EQ(modal.asked().back().style, MsgStyle::Exclamation);
        }
        EXPECT_EQ(document.txtScript()->textCursor().position(), c.position);
    }

    modal.AnswerInput(std::nullopt); // cancelled: stays
    Item("mnuEditGoTo")->trigger();
    EXPECT_EQ(document.txtScript()->textCursor().position(), 29);
}

TEST_F(SearchTest, CaretPanelFollowsTheCaretTheSelectionAndTheActiveDocument)
{
    EXPECT_EQ(Caret(), QString());
    frmDocument &first = Document(Mixed);
    Keys(Qt::Key_Down);
    Keys(Qt::Key_End);
    EXPECT_EQ(Caret(), "Line 2, Col 7");
    Keys(Qt::Key_Left, Qt::ShiftModifier);
    Keys(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Caret(), "Line 2, Col 5 (2 selected)");
    Keys(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selection(first), std::make_pair(0, 29));
    EXPECT_EQ(Caret(), "Line 4, Col 7 (29 selected)");

    frmDocument &second = Document("one\ntwo", "second.cfg");
    EXPECT_EQ(Caret(), "Line 1, Col 1");
    Item("mnuEditSelectAll")->trigger();
    EXPECT_EQ(Selection(second), std::make_pair(0, 7));
    Frame().mdiArea()->setActiveSubWindow(&first);
    EXPECT_EQ(Caret(), "Line 4, Col 7 (29 selected)");

    // Columns and the selection count characters: an emoji is one, as seen.
    frmDocument &third = Document("", "third.cfg");
    third.SetText(QStringLiteral("a\U0001F600b=\U0001F600"));
    Keys(Qt::Key_End);
    EXPECT_EQ(Caret(), "Line 1, Col 6");
    Keys(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(Caret(), "Line 1, Col 1 (5 selected)");
    modal.AnswerInput(QStringLiteral("1:3"));
    Item("mnuEditGoTo")->trigger();
    EXPECT_EQ(third.txtScript()->textCursor().position(), 3);
    EXPECT_EQ(Caret(), "Line 1, Col 3");
    third.setChanged(false);

    EXPECT_TRUE(CloseFrame());
    EXPECT_EQ(Caret(), QString());
}
