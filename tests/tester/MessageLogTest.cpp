#include "MessageLog.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

class MessageLogTest : public ::testing::Test
{
protected:
    QPlainTextEdit view;
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
    const QTextDocument *document = view.document();
    ASSERT_EQ(document->blockCount(), 5);
    EXPECT_EQ(document->findBlockByNumber(0).text(), QString());
    EXPECT_EQ(document->findBlockByNumber(1).text(), QStringLiteral("a"));
    EXPECT_EQ(document->findBlockByNumber(4).text(), QStringLiteral("d"));
}

TEST_F(MessageLogTest, KeepsNoUndoHistory)
{
    log.Append(QStringLiteral("\r\nentry"));
    EXPECT_FALSE(view.document()->isUndoRedoEnabled());
    EXPECT_FALSE(view.document()->isUndoAvailable());
}

TEST_F(MessageLogTest, CaretEndsAtTheEndWithNothingSelected)
{
    log.Append(QStringLiteral("\r\none\r\ntwo"));
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(1);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);

    log.Append(QStringLiteral("\r\nthree"));
    EXPECT_FALSE(view.textCursor().hasSelection());
    EXPECT_EQ(view.textCursor().position(), view.document()->characterCount() - 1);
    EXPECT_TRUE(log.Text().endsWith(QStringLiteral("two\r\nthree")));
}

TEST_F(MessageLogTest, TypedTextStaysAndEntriesFollowIt)
{
    log.Append(QStringLiteral("\r\nbare\nfeed"));
    view.moveCursor(QTextCursor::End);
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
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(view.document()->findBlockByNumber(2).position() + 1); // between c and d
    view.setTextCursor(cursor);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(log.Text(), QStringLiteral("\r\nab\nc\r\nd"));
}
