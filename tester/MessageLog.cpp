#include "MessageLog.h"

#include "LineBreaks.h"
#include "QtText.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

MessageLog::MessageLog(QPlainTextEdit &view) : m_view(view)
{
    m_view.setUndoRedoEnabled(false);
    m_view.setMaximumBlockCount(0);
    m_view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Lucida Console"));
    font.setPointSizeF(9.75);
    m_view.setFont(font);
}

void MessageLog::Append(QStringView text)
{
    QTextCursor cursor(m_view.document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const tester::Line &line : tester::SplitLines(tester::View(text))) {
        if (line.before != tester::LineBreak::None) {
            cursor.insertBlock();
            cursor.block().setUserState(static_cast<int>(line.before));
        }
        if (!line.text.empty())
            cursor.insertText(tester::ToQString(line.text));
    }
    cursor.endEditBlock();
    m_view.setTextCursor(cursor);
    m_view.ensureCursorVisible();
}

QString MessageLog::Text() const
{
    const QTextDocument &document = *m_view.document();
    QString text;
    text.reserve(document.characterCount() + document.blockCount());
    const QTextBlock first = document.begin();
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (block != first)
            text +=
                tester::ToQString(tester::BreakText(tester::BreakFromStored(block.userState())));
        text += block.text();
    }
    return text;
}
