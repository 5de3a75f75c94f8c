#include "MessageLog.h"
#include "LogView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

using tester::LogPosition;

namespace {

class MessageLogTest : public ::testing::Test
{
protected:
    LogView view;
    MessageLog log{view};
};

} // namespace

TEST_F(MessageLogTest, ReadsBackExactlyWhatWasWritten)
{
    const QStringList entries{
        QStringLiteral("\r\nfirst"),
        QStringLiteral("\r\nbare\nfeed and bare\rreturn"),
        QStringLiteral("\r\n"),
        QStringLiteral("\r\nreturn before pair\r\r\nfeed before return\n\rend"),
        QStringLiteral("\r\nodd\u2029paragraph\uFDD0frame\uFDD1end\u2028line\ttab"),
        QStringLiteral("\r\ntrailing\n"),
        QStringLiteral("\r\nlone ") + QChar(0xD800) + QStringLiteral(" halves ") + QChar(0xDC00) +
            QStringLiteral(" and a pair \U0001F600 \u00E9\u20AC"),
        QStringLiteral("\r\n") + QString(70000, QChar(0x00E9)), // longer than a chunk
        QStringLiteral("\r\nafter the long line"),
    };
    QString expected;
    for (const QString &entry : entries) {
        log.Append(entry);
        expected += entry;
    }
    EXPECT_EQ(log.Text(), expected);
}

TEST_F(MessageLogTest, EveryLineBreakShowsAsANewLine)
{
    log.Append(QStringLiteral("\r\na\nb\rc\r\nd"));
    ASSERT_EQ(view.LineCount(), 5u);
    EXPECT_EQ(view.LineText(0), QString());
    EXPECT_EQ(view.LineText(1), QStringLiteral("a"));
    EXPECT_EQ(view.LineText(4), QStringLiteral("d"));
}

TEST_F(MessageLogTest, KeepsNoUndoHistory)
{
    log.Append(QStringLiteral("\r\nentry"));
    QTest::keyClicks(&view, QStringLiteral("x"));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(log.Text(), QStringLiteral("\r\nentryx"));
}

TEST_F(MessageLogTest, CaretEndsAtTheEndWithNothingSelected)
{
    log.Append(QStringLiteral("\r\none\r\ntwo"));
    view.SetCaret({1, 1});
    view.SetCaret({2, 1}, true);
    ASSERT_TRUE(view.HasSelection());

    log.Append(QStringLiteral("\r\nthree"));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(view.Caret(), (LogPosition{3, 5}));
    EXPECT_TRUE(log.Text().endsWith(QStringLiteral("two\r\nthree")));
}

TEST_F(MessageLogTest, TypedTextStaysAndEntriesFollowIt)
{
    log.Append(QStringLiteral("\r\nbare\nfeed"));
    view.SetCaret(view.End());
    QTest::keyClicks(&view, QStringLiteral("typed"));
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClicks(&view, QStringLiteral("more"));
    log.Append(QStringLiteral("\r\nnext"));
    // A line break the user types is a CR LF; the device's bare LF stays one.
    EXPECT_EQ(log.Text(), QStringLiteral("\r\nbare\nfeedtyped\r\nmore\r\nnext"));
}

TEST_F(MessageLogTest, BreakTypedInsideADeviceLineLeavesTheDeviceBreak)
{
    log.Append(QStringLiteral("\r\nab\ncd"));
    view.SetCaret({2, 1}); // between c and d
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(log.Text(), QStringLiteral("\r\nab\nc\r\nd"));
}

// Keys as a person edits the log with: where the caret starts, the keys, the text after.
TEST_F(MessageLogTest, EditingKeysChangeTheTextAsInAnyTextBox)
{
    struct Row
    {
        LogPosition caret;
        std::vector<std::pair<int, Qt::KeyboardModifiers>> keys;
        QString expected;
    };
    const QString start = QStringLiteral("\r\nab\ncd\r\nef");
    const Row rows[] = {
        // Backspace at a line's start joins it to the line before, which keeps its break.
        {{2, 0}, {{Qt::Key_Backspace, {}}}, QStringLiteral("\r\nabcd\r\nef")},
        // Delete at a line's end takes the break after it.
        {{2, 2}, {{Qt::Key_Delete, {}}}, QStringLiteral("\r\nab\ncdef")},
        // A selection over a break, made with Shift and the arrows, goes as one.
        {{1, 1},
         {{Qt::Key_Down, Qt::ShiftModifier}, {Qt::Key_Backspace, {}}},
         QStringLiteral("\r\nad\r\nef")},
        // Ctrl+A and typing replace everything.
        {{1, 0}, {{Qt::Key_A, Qt::ControlModifier}, {Qt::Key_X, {}}}, QStringLiteral("x")},
        // Home and End keep to the line; Ctrl+End goes to the log's end.
        {{2, 1}, {{Qt::Key_Home, {}}, {Qt::Key_Y, {}}}, QStringLiteral("\r\nab\nycd\r\nef")},
        {{1, 0}, {{Qt::Key_End, {}}, {Qt::Key_Y, {}}}, QStringLiteral("\r\naby\ncd\r\nef")},
        {{1, 0},
         {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Y, {}}},
         QStringLiteral("\r\nab\ncd\r\nefy")},
    };
    for (const Row &row : rows) {
        LogView box;
        MessageLog rowLog(box);
        rowLog.Append(start);
        box.SetCaret(row.caret);
        for (const auto &[key, modifiers] : row.keys)
            QTest::keyClick(&box, static_cast<Qt::Key>(key), modifiers);
        EXPECT_EQ(rowLog.Text(), row.expected) << row.expected.toStdString();
    }
}

TEST_F(MessageLogTest, CopiesTheSelectionWithPlainLineBreaksAndPastesAsTyped)
{
    log.Append(QStringLiteral("\r\nab\rcd\u2028ef"));
    view.SetCaret({1, 1});
    view.SetCaret({2, 5}, true);
    EXPECT_EQ(view.SelectedText(), QStringLiteral("b\ncd\nef"));
    view.SetCaret({0, 0});
    view.SetCaret({2, 2}, true);
    view.Cut();
    EXPECT_EQ(log.Text(), QStringLiteral("\u2028ef"));
    view.SetCaret(view.End());
    view.Paste();
    // The pasted breaks open their lines as a typed break does.
    EXPECT_EQ(log.Text(), QStringLiteral("\u2028ef\r\nab\r\ncd"));
}

TEST_F(MessageLogTest, ALongLogShowsItsLastLineAndTheCaretTakesTheViewAlong)
{
    view.resize(300, 120);
    view.show();
    for (int i = 0; i < 2000; ++i)
        log.Append(QStringLiteral("\r\nentry %1").arg(i));
    QApplication::processEvents();
    const std::size_t top = view.TopLine();
    EXPECT_GT(top, 1900u);
    EXPECT_LT(top, view.LineCount() - 1);
    // Scrolled to the top and back by the keys, the caret takes the view along.
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.TopLine(), 0u);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.TopLine(), top);
}

TEST_F(MessageLogTest, AScreenReaderReadsTheLogAsEditableText)
{
    view.setAccessibleName(QStringLiteral("Log"));
    log.Append(QStringLiteral("\r\nfirst line\r\nsecond\nthird"));
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::EditableText);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Log"));
    QAccessibleTextInterface *text = face->textInterface();
    ASSERT_NE(text, nullptr);
    // Each break is one character to a reader, whatever the device sent.
    EXPECT_EQ(text->characterCount(), 1 + 10 + 1 + 6 + 1 + 5);
    EXPECT_EQ(text->cursorPosition(), text->characterCount());
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(14, QAccessible::LineBoundary, &start, &end),
              QStringLiteral("second\n"));
    EXPECT_EQ(text->textBeforeOffset(14, QAccessible::LineBoundary, &start, &end),
              QStringLiteral("first line\n"));
    EXPECT_EQ(text->textAtOffset(3, QAccessible::WordBoundary, &start, &end),
              QStringLiteral("first "));
    text->setSelection(0, 7, 14);
    EXPECT_EQ(view.SelectedText(), QStringLiteral("line\nse"));
    face->editableTextInterface()->replaceText(7, 14, QStringLiteral("X"));
    EXPECT_EQ(log.Text(), QStringLiteral("\r\nfirst Xcond\nthird"));
    EXPECT_EQ(text->characterCount(), 1 + 11 + 1 + 5);
}

TEST_F(MessageLogTest, ALineTallerThanTheViewShowsWhereTheCaretIs)
{
    view.resize(300, 120);
    view.show();
    // A long response stays one line, its breaks escaped; it wraps to many rows.
    log.Append(QStringLiteral("\r\nReceived Response: ") +
               QStringLiteral("3F A0 17 C4<Cr><Lf>").repeated(200));
    QApplication::processEvents();
    EXPECT_EQ(view.TopLine(), 1u);
    // Its end is in view, and so is its start once the caret goes there.
    EXPECT_FALSE(view.CaretRect().isEmpty());
    QTest::keyClick(&view, Qt::Key_PageUp);
    QTest::keyClick(&view, Qt::Key_PageUp);
    EXPECT_FALSE(view.CaretRect().isEmpty());
    view.SetCaret({1, 0});
    EXPECT_FALSE(view.CaretRect().isEmpty());
    EXPECT_LT(view.CaretRect().top(), 20);
}

TEST_F(MessageLogTest, ADoubleClickTakesAWordAndAThirdClickTheLine)
{
    view.resize(300, 120);
    view.show();
    log.Append(QStringLiteral("\r\nSending Command: Read_ESN now"));
    QWidget *area = view.viewport();
    // The word's middle, on the second line.
    const QPoint onWord(
        area->fontMetrics().horizontalAdvance(QStringLiteral("Sending Command: Re")),
        area->fontMetrics().height() * 3 / 2);
    QTest::mouseDClick(area, Qt::LeftButton, {}, onWord);
    EXPECT_EQ(view.SelectedText(), QStringLiteral("Read_ESN"));
    QTest::mousePress(area, Qt::LeftButton, {}, onWord);
    QTest::mouseMove(area, onWord + QPoint(2, 0));
    QTest::mouseRelease(area, Qt::LeftButton, {}, onWord + QPoint(2, 0));
    EXPECT_EQ(view.SelectedText(), QStringLiteral("Sending Command: Read_ESN now"));
}

TEST_F(MessageLogTest, SelectingOffersTheTextAndTheMiddleButtonPastesIt)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection())
        GTEST_SKIP() << "the platform has no selection of its own";
    view.resize(300, 120);
    view.show();
    log.Append(QStringLiteral("\r\nfirst\r\nsecond"));
    view.SetCaret({1, 0});
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor(
        [clipboard] { return clipboard->text(QClipboard::Selection) == QStringLiteral("first"); }));
    view.SetCaret(view.End());
    QTest::mouseClick(view.viewport(), Qt::MiddleButton, {}, QPoint(250, 100));
    EXPECT_EQ(log.Text(), QStringLiteral("\r\nfirst\r\nsecondfirst"));
}
