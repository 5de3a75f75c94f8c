// The menus' keys pressed where a person presses them, with the focus in the text.

#include "AsPerson.h"
#include "Encryption.h"
#include "FrameFixture.h"
#include "frmDocument.h"
#include "modUnicodeRW.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

#include <functional>

TEST_F(FrameTest, EditKeysRunTheEditCommandsWithTheFocusInTheText)
{
    QClipboard &clipboard = *QGuiApplication::clipboard();
    Frame().LoadFile(scratch.filePath("keys.cfg"));
    ASSERT_TRUE(asperson::Activate(Frame()));
    frmDocument *document = Frame().ActiveDocument();
    ASSERT_NE(document, nullptr);
    document->txtScript()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), document->txtScript());
    asperson::Type(QStringLiteral("alpha beta"));
    ASSERT_EQ(document->Text(), QStringLiteral("alpha beta"));

    // Edit > Copy with nothing selected puts empty text on the clipboard.
    clipboard.setText(QStringLiteral("old"));
    asperson::Press(Qt::ControlModifier | Qt::Key_C);
    EXPECT_EQ(clipboard.text(), QString());

    for (int i = 0; i < 4; ++i)
        asperson::Press(Qt::ShiftModifier | Qt::Key_Left);
    asperson::Press(Qt::ControlModifier | Qt::Key_C);
    EXPECT_EQ(clipboard.text(), QStringLiteral("beta"));
    EXPECT_EQ(clipboard.mimeData()->formats(), QStringList{QStringLiteral("text/plain")});

    asperson::Press(Qt::ControlModifier | Qt::Key_X);
    EXPECT_EQ(document->Text(), QStringLiteral("alpha "));
    EXPECT_EQ(clipboard.text(), QStringLiteral("beta"));

    asperson::Press(Qt::ControlModifier | Qt::Key_V);
    EXPECT_EQ(document->Text(), QStringLiteral("alpha beta"));

    // Edit > Paste with no text on the clipboard deletes the selection.
    clipboard.clear();
    asperson::Press(Qt::ControlModifier | Qt::Key_Home);
    for (int i = 0; i < 6; ++i)
        asperson::Press(Qt::ShiftModifier | Qt::Key_Right);
    asperson::Press(Qt::ControlModifier | Qt::Key_V);
    EXPECT_EQ(document->Text(), QStringLiteral("beta"));
    // The focus stayed in the text all along.
    EXPECT_EQ(QApplication::focusWidget(), document->txtScript());
}

// Each command's key, pressed with the focus in a document's text, runs the command: the
// file on disk, the dialog reached or the window closed say so.
TEST_F(FrameTest, EachCommandsKeyRunsItFromTheText)
{
    using Kind = ScriptedModal::Kind;
    const auto saved = [](const QString &path) {
        return QString::fromStdU16String(
            DeCrypt(ReadUnicodeFile(path.toStdU16String(), false), DocumentKey));
    };
    QPointer<frmDocument> document;
    QString path;
    const auto asked = [this](Kind kind) {
        return !modal.asked().empty() && modal.asked().back().kind == kind;
    };
    const auto documents = [this] {
        return Frame().findChild<QMdiArea *>()->subWindowList().size();
    };
    qsizetype before = 0;
    const auto edit = [] { asperson::Type(QStringLiteral("x")); };
    const auto editAndUndo = [] {
        asperson::Type(QStringLiteral("x"));
        asperson::Press(Qt::ControlModifier | Qt::Key_Z);
    };
    const struct
    {
        const char *command;
        QKeyCombination key;
        std::function<void()> script; // what the person does first, and the dialogs' answers
        std::function<bool()> ran;
    } rows[] = {
        // Redo by either of its keys, wherever the platform puts its own.
        {"Redo", Qt::ControlModifier | Qt::Key_Y, editAndUndo,
         [&] { return document->Text() == "xtyped"; }},
        {"Save", Qt::ControlModifier | Qt::Key_S, edit, [&] { return saved(path) == "xtyped"; }},
        {"Save As", Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S,
         [this] { modal.AnswerSave(std::nullopt); }, [&] { return asked(Kind::Save); }},
        {"Close", Qt::ControlModifier | Qt::Key_W, [] {},
         [&] { return documents() == before - 1 && !document; }},
        {"Print", Qt::ControlModifier | Qt::Key_P, [this] { modal.AnswerPrint(false); },
         [&] { return asked(Kind::Print); }},
        {"New", Qt::ControlModifier | Qt::Key_N, [] {}, [&] { return documents() == before + 1; }},
        {"Select All", Qt::ControlModifier | Qt::Key_A, [] {},
         [&] { return document->txtScript()->textCursor().selectedText() == "typed"; }},
        {"Replace", Qt::ControlModifier | Qt::Key_H, [] {},
         [this] { return Frame().findChild<QLineEdit *>("txtReplace")->isVisible(); }},
        {"Redo", Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z, editAndUndo,
         [&] { return document->Text() == "xtyped"; }},
        {"Exit", Qt::ControlModifier | Qt::Key_Q, [] {}, [this] { return !Frame().isVisible(); }},
    };
    int row = 0;
    for (const auto &r : rows) {
        path = scratch.filePath(QStringLiteral("keys%1.cfg").arg(++row));
        WriteUnicodeFile(path.toStdU16String(), EnCrypt(u"typed", DocumentKey), false);
        Frame().LoadFile(path);
        document = Frame().ActiveDocument();
        ASSERT_NE(document, nullptr);
        ASSERT_TRUE(asperson::Activate(Frame()));
        document->txtScript()->setFocus();
        r.script();
        before = documents();
        ASSERT_TRUE(asperson::Press(r.key)) << r.command;
        EXPECT_TRUE(r.ran()) << r.command << " by " << QKeySequence(r.key).toString().toStdString();
        EXPECT_EQ(modal.pending(), 0u) << r.command;
        // Nothing left to ask about when the frame closes.
        if (document)
            document->setChanged(false);
    }
}

// The text box's own menu names the same Redo key as the Edit menu.
TEST_F(FrameTest, TextMenuAndEditMenuShowTheSameEditKeys)
{
    Frame().LoadFile(scratch.filePath("menu.cfg"));
    ASSERT_TRUE(asperson::Activate(Frame()));
    frmDocument *document = Frame().ActiveDocument();
    ASSERT_NE(document, nullptr);
    document->txtScript()->setFocus();
    asperson::Type(QStringLiteral("ab"));
    asperson::Press(Qt::ControlModifier | Qt::Key_Z);
    asperson::Press(Qt::ControlModifier | Qt::Key_Z);

    QMenu *edit = asperson::MenuBarMenu(Frame(), QStringLiteral("Edit"));
    ASSERT_NE(edit, nullptr);
    const QStringList editMenu = asperson::ShownMenuWithKeys(*edit);
    // What the menu key sends the focused control (the test's key events do not make it).
    QPlainTextEdit *box = document->txtScript();
    const QPoint caret = box->cursorRect().center();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, caret, box->mapToGlobal(caret));
    QApplication::sendEvent(box, &menuKey);
    auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    const QStringList textMenu = asperson::ShownMenuWithKeys(*popup);
    asperson::Press(QKeyCombination(Qt::Key_Escape));
    // Whether an item can be chosen now is each menu's own affair.
    const auto keyed = [](QString entry) { return entry.remove(QStringLiteral(" (greyed)")); };
    int compared = 0;
    for (const QString &entry : textMenu) {
        if (entry.startsWith(QStringLiteral("---")))
            continue;
        const QString caption = entry.section(QLatin1Char('\t'), 0, 0);
        for (const QString &item : editMenu)
            if (item.section(QLatin1Char('\t'), 0, 0) == caption) {
                EXPECT_EQ(keyed(entry), keyed(item));
                ++compared;
            }
    }
    // Undo, Redo, Cut, Copy, Paste and Select All.
    EXPECT_EQ(compared, 6) << textMenu.join(u'|').toStdString();
    EXPECT_TRUE(editMenu.contains(QStringLiteral("Redo\tCtrl+Y")))
        << editMenu.join(u'|').toStdString();
}
