// Which line break each line keeps when the user joins and splits lines by hand, and that
// undo and redo give back the breaks exactly.
#include "DocumentFixture.h"

#include "AsPerson.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

#include <string>
#include <vector>

namespace {

// Every kind of break, and a document whose own break (the most frequent) is CR LF, so
// that an LF or CR the edit wrongly keeps or drops shows.
const QString Original = QStringLiteral("a=1\r\nb=2\nc=3\rd=4\r\ne=5");
// Box positions in Original: "a=1" 0-2, "b=2" 4-6, "c=3" 8-10, "d=4" 12-14, "e=5" 16-18.

// The breaks spelt out, so that a failure says which break went wrong.
std::string Spelt(const QString &text)
{
    QString spelt = text;
    spelt.replace(QLatin1Char('\r'), QStringLiteral("<CR>"));
    spelt.replace(QLatin1Char('\n'), QStringLiteral("<LF>"));
    return spelt.toStdString();
}

QKeyCombination Standard(QKeySequence::StandardKey key)
{
    return QKeySequence(key)[0];
}

struct Edit
{
    const char *what;
    int caret;
    std::vector<QKeyCombination> keys;
    QString clipboard; // what Paste brings
    int undoSteps;
    QString after;
};

} // namespace

TEST_F(DocumentTest, HandEditsKeepTheBreaksOfTheLinesThatStayAndUndoGivesBackTheRest)
{
    // A line that was there keeps the break at its end; a break the user types or pastes
    // takes the document's own break; a break the edit removes is gone.
    const QKeyCombination shiftRight = Qt::SHIFT | Qt::Key_Right;
    const Edit edits[] = {
        {"Delete at the end of a line", 7, {Qt::Key_Delete}, {}, 1, "a=1\r\nb=2c=3\rd=4\r\ne=5"},
        {"Backspace at the start of a line",
         8,
         {Qt::Key_Backspace},
         {},
         1,
         "a=1\r\nb=2c=3\rd=4\r\ne=5"},
        {"two joins, undone in turn",
         7,
         {Qt::Key_Delete, Qt::Key_End, Qt::Key_Delete},
         {},
         2,
         "a=1\r\nb=2c=3d=4\r\ne=5"},
        {"a selection over three lines deleted",
         6,
         {shiftRight, shiftRight, shiftRight, shiftRight, shiftRight, shiftRight, shiftRight,
          Qt::Key_Delete},
         {},
         1,
         "a=1\r\nb==4\r\ne=5"},
        {"Enter in the middle of an LF line",
         6,
         {Qt::Key_Return},
         {},
         1,
         "a=1\r\nb=\r\n2\nc=3\rd=4\r\ne=5"},
        {"Enter at the start of a CR line",
         8,
         {Qt::Key_Return},
         {},
         1,
         "a=1\r\nb=2\n\r\nc=3\rd=4\r\ne=5"},
        {"Enter over a selection that holds a break",
         6,
         {shiftRight, shiftRight, shiftRight, Qt::Key_Return},
         {},
         1,
         "a=1\r\nb=\r\n=3\rd=4\r\ne=5"},
        {"lines pasted into an LF line",
         5,
         {Standard(QKeySequence::Paste)},
         "x\ny\rz",
         1,
         "a=1\r\nbx\r\ny\r\nz=2\nc=3\rd=4\r\ne=5"},
    };
    for (const Edit &edit : edits) {
        SCOPED_TRACE(edit.what);
        const QString path = Path(QStringLiteral("breaks.cfg"));
        WriteConfig(path, Original);
        WriteConfig(Path(QStringLiteral("expected.cfg")), edit.after);
        frmDocument *document = NewDocument();
        document->LoadFile(path);
        ASSERT_EQ(document->Text(), Original);
        QGuiApplication::clipboard()->setText(edit.clipboard);

        ASSERT_TRUE(asperson::Activate(*area));
        area->setActiveSubWindow(document);
        document->txtScript()->setFocus();
        ASSERT_TRUE(QTest::qWaitFor(
            [document] { return QApplication::focusWidget() == document->txtScript(); }));
        QTextCursor caret = document->txtScript()->textCursor();
        caret.setPosition(edit.caret);
        document->txtScript()->setTextCursor(caret);
        for (const QKeyCombination key : edit.keys)
            asperson::Press(key);
        EXPECT_EQ(Spelt(document->Text()), Spelt(edit.after));

        for (int step = 0; step < edit.undoSteps; ++step)
            asperson::Press(Standard(QKeySequence::Undo));
        EXPECT_EQ(Spelt(document->Text()), Spelt(Original)) << "after undo";
        EXPECT_FALSE(document->Changed());
        for (int step = 0; step < edit.undoSteps; ++step)
            asperson::Press(Standard(QKeySequence::Redo));
        EXPECT_EQ(Spelt(document->Text()), Spelt(edit.after)) << "after redo";

        document->Save();
        EXPECT_EQ(ReadBytes(path), ReadBytes(Path(QStringLiteral("expected.cfg"))));
        document->close();
    }
}
