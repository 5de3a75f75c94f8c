// The Edit menu's keys pressed where a person presses them, with the focus in the text.

#include "AsPerson.h"
#include "FrameFixture.h"
#include "frmDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>

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
