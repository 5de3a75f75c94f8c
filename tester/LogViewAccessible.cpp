#include "LogViewAccessible.h"

#include "LogView.h"

#include <QScrollBar>

#include <algorithm>
#include <climits>

using tester::LogPosition;

namespace {

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("LogView") && object && object->isWidgetType())
        return new LogViewAccessible(static_cast<LogView *>(object));
    return nullptr;
}

} // namespace

LogViewAccessible::LogViewAccessible(LogView *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{}

void LogViewAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

LogView *LogViewAccessible::View() const
{
    return static_cast<LogView *>(widget());
}

void *LogViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State LogViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.editable = true;
    state.selectableText = true;
    return state;
}

QString LogViewAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(kind);
}

// Offsets count each line's units and one for each break between lines. Working them out
// walks the lines before; a screen reader asks now and then, not for every entry.
int LogViewAccessible::Offset(std::size_t line, std::size_t column) const
{
    std::size_t offset = column;
    for (std::size_t before = 0; before < line; ++before)
        offset += View()->LineLength(before) + 1;
    return static_cast<int>(std::min<std::size_t>(offset, INT_MAX));
}

std::pair<std::size_t, std::size_t> LogViewAccessible::Place(int offset) const
{
    const LogView *view = View();
    std::size_t left = static_cast<std::size_t>(std::max(offset, 0));
    std::size_t line = 0;
    for (; line + 1 < view->LineCount() && left > view->LineLength(line); ++line)
        left -= view->LineLength(line) + 1;
    return {line, std::min(left, view->LineLength(line))};
}

int LogViewAccessible::characterCount() const
{
    return static_cast<int>(std::min<std::size_t>(View()->PlainLength(), INT_MAX));
}

QString LogViewAccessible::text(int startOffset, int endOffset) const
{
    const auto [fromLine, fromColumn] = Place(startOffset);
    const auto [toLine, toColumn] = Place(endOffset);
    return View()->PlainText({fromLine, fromColumn}, {toLine, toColumn});
}

int LogViewAccessible::cursorPosition() const
{
    const LogPosition caret = View()->Caret();
    return Offset(caret.line, caret.column);
}

void LogViewAccessible::setCursorPosition(int position)
{
    const auto [line, column] = Place(position);
    View()->SetCaret({line, column});
}

int LogViewAccessible::selectionCount() const
{
    return View()->HasSelection() ? 1 : 0;
}

void LogViewAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !View()->HasSelection())
        return;
    const LogPosition from = std::min(View()->Anchor(), View()->Caret());
    const LogPosition to = std::max(View()->Anchor(), View()->Caret());
    *startOffset = Offset(from.line, from.column);
    *endOffset = Offset(to.line, to.column);
}

void LogViewAccessible::setSelection(int, int startOffset, int endOffset)
{
    const auto [fromLine, fromColumn] = Place(startOffset);
    const auto [toLine, toColumn] = Place(endOffset);
    View()->SetCaret({fromLine, fromColumn});
    View()->SetCaret({toLine, toColumn}, true);
}

void LogViewAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void LogViewAccessible::removeSelection(int)
{
    View()->SetCaret(View()->Caret());
}

std::pair<int, int> LogViewAccessible::Around(int offset,
                                              QAccessible::TextBoundaryType boundaryType) const
{
    const int count = characterCount();
    offset = std::clamp(offset, 0, count);
    const auto [line, column] = Place(offset);
    const int lineStart = offset - static_cast<int>(column);
    const int lineEnd = lineStart + static_cast<int>(View()->LineLength(line));
    switch (boundaryType) {
    case QAccessible::CharBoundary:
        return {offset, std::min(offset + 1, count)};
    case QAccessible::WordBoundary: {
        const QString text = View()->LineText(line);
        auto start = static_cast<qsizetype>(column);
        auto end = start;
        while (start > 0 && !text[start - 1].isSpace())
            --start;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        while (end < text.size() && text[end].isSpace())
            ++end;
        return {lineStart + static_cast<int>(start), lineStart + static_cast<int>(end)};
    }
    case QAccessible::NoBoundary:
        return {0, count};
    default: // sentences, paragraphs and lines are the log's lines, with their break
        return {lineStart, std::min(lineEnd + 1, count)};
    }
}

QString LogViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int *startOffset, int *endOffset) const
{
    const auto [start, end] = Around(offset, boundaryType);
    *startOffset = start;
    *endOffset = end;
    return text(start, end);
}

QString LogViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int *startOffset, int *endOffset) const
{
    const int start = Around(offset, boundaryType).first;
    if (start <= 0) {
        *startOffset = *endOffset = -1;
        return {};
    }
    return textAtOffset(start - 1, boundaryType, startOffset, endOffset);
}

QString LogViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int *startOffset, int *endOffset) const
{
    const int end = Around(offset, boundaryType).second;
    if (end >= characterCount()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    return textAtOffset(end, boundaryType, startOffset, endOffset);
}

QRect LogViewAccessible::characterRect(int offset) const
{
    // Only the caret's place is worked out; a reader follows the caret.
    if (offset != cursorPosition())
        return {};
    const QRect caret = View()->CaretRect();
    if (caret.isEmpty())
        return {};
    return QRect(View()->viewport()->mapToGlobal(caret.topLeft()), caret.size());
}

int LogViewAccessible::offsetAtPoint(const QPoint &point) const
{
    const LogPosition at = View()->PositionAt(View()->viewport()->mapFromGlobal(point));
    return Offset(at.line, at.column);
}

void LogViewAccessible::scrollToSubstring(int startIndex, int)
{
    setCursorPosition(startIndex);
}

QString LogViewAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // The log has one font throughout.
    *startOffset = std::clamp(offset, 0, characterCount());
    *endOffset = *startOffset;
    return {};
}

void LogViewAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void LogViewAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void LogViewAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    setSelection(0, startOffset, endOffset);
    View()->ReplaceSelection(text);
}
