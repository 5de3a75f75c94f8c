#include "LogView.h"

#include "LogViewAccessible.h"
#include "QtText.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <iterator>

using tester::LogPosition;

namespace {

// What a plain text box leaves around its text, so the log reads as it always has.
constexpr int Margin = 4;
constexpr qreal TabStop = 80;
// Layouts kept beyond the lines in view, so scrolling back a little costs nothing.
constexpr std::size_t KeptAround = 8;

// The keys the box takes for itself before any shortcut of the window sees them.
constexpr QKeySequence::StandardKey OwnKeys[] = {
    QKeySequence::SelectAll,
    QKeySequence::Delete,
    QKeySequence::MoveToNextChar,
    QKeySequence::MoveToPreviousChar,
    QKeySequence::MoveToNextWord,
    QKeySequence::MoveToPreviousWord,
    QKeySequence::MoveToNextLine,
    QKeySequence::MoveToPreviousLine,
    QKeySequence::MoveToStartOfLine,
    QKeySequence::MoveToEndOfLine,
    QKeySequence::MoveToStartOfDocument,
    QKeySequence::MoveToEndOfDocument,
    QKeySequence::MoveToNextPage,
    QKeySequence::MoveToPreviousPage,
    QKeySequence::SelectNextChar,
    QKeySequence::SelectPreviousChar,
    QKeySequence::SelectNextWord,
    QKeySequence::SelectPreviousWord,
    QKeySequence::SelectNextLine,
    QKeySequence::SelectPreviousLine,
    QKeySequence::SelectStartOfLine,
    QKeySequence::SelectEndOfLine,
    QKeySequence::SelectStartOfDocument,
    QKeySequence::SelectEndOfDocument,
    QKeySequence::SelectNextPage,
    QKeySequence::SelectPreviousPage,
    QKeySequence::InsertParagraphSeparator,
    QKeySequence::InsertLineSeparator,
};

bool IsTyping(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.isEmpty() || (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.isPrint(); });
}

bool IsWordCharacter(QChar ch)
{
    return ch.isLetterOrNumber() || ch == u'_' || ch.isMark();
}

} // namespace

LogView::LogView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    LogViewAccessible::Install();
}

LogView::~LogView() = default;

// The length a screen reader counts: each line break is one character.
std::size_t LogView::PlainLengthOf(QStringView text)
{
    std::size_t length = 0;
    for (const tester::Line &line : tester::SplitLines(tester::View(text)))
        length += line.text.size() + (line.before == tester::LineBreak::None ? 0 : 1);
    return length;
}

void LogView::Append(QStringView text)
{
    const std::size_t last = m_lines.LineCount() - 1;
    const std::size_t before = m_plainLength;
    const LogPosition oldEnd = m_lines.End();
    m_lines.Append(tester::View(text));
    m_plainLength += PlainLengthOf(text);
    if (QAccessible::isActive()) {
        const QString added = PlainText(oldEnd, m_lines.End());
        QAccessibleTextInsertEvent inserted(this, static_cast<int>(before), added);
        QAccessible::updateAccessibility(&inserted);
    }
    m_layouts.erase(last);
    m_rangeStale = true;
    m_caret = m_anchor = m_lines.End();
    m_goalX = -1;
    m_followEnd = true;
    viewport()->update();
}

QString LogView::Text() const
{
    return tester::ToQString(m_lines.Text());
}

QString LogView::LineText(std::size_t line) const
{
    return tester::ToQString(m_lines.Line(line));
}

void LogView::SetCaret(LogPosition caret, bool select)
{
    m_caret = m_lines.Clamp(caret);
    if (!select)
        m_anchor = m_caret;
    CaretMoved();
}

void LogView::CaretMoved()
{
    m_showCaret = true;
    m_caretOn = true;
    // Each move starts the blink afresh, so the caret shows where it went.
    if (m_blink.isActive())
        m_blink.start(QGuiApplication::styleHints()->cursorFlashTime() / 2, this);
    viewport()->update();
}

QString LogView::PlainText(LogPosition from, LogPosition to) const
{
    return tester::ToQString(m_lines.Text(from, to, u"\n"));
}

QString LogView::SelectedText() const
{
    QString text = PlainText(std::min(m_anchor, m_caret), std::max(m_anchor, m_caret));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

std::size_t LogView::TopLine()
{
    Settle();
    return static_cast<std::size_t>(verticalScrollBar()->value());
}

qreal LogView::RowHeight() const
{
    return QFontMetricsF(font(), viewport()).height();
}

const QTextLayout &LogView::LayoutOf(std::size_t line) const
{
    // The caret's pixel stays inside the view at the end of a full row.
    const qreal width = std::max(1, viewport()->width() - 2 * Margin - 1);
    auto found = m_layouts.find(line);
    if (found == m_layouts.end()) {
        auto layout = std::make_unique<QTextLayout>(LineText(line), font(), viewport());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTabStopDistance(TabStop);
        layout->setTextOption(option);
        // Shaped once: a resize or a blink of the caret only breaks and draws the rows again.
        layout->setCacheEnabled(true);
        found = m_layouts.emplace(line, Laid{std::move(layout), -1}).first;
    }
    Laid &laid = found->second;
    if (laid.width != width) {
        const qreal rowHeight = RowHeight();
        qreal y = 0;
        laid.layout->beginLayout();
        for (QTextLine row = laid.layout->createLine(); row.isValid();
             row = laid.layout->createLine()) {
            row.setLineWidth(width);
            row.setPosition(QPointF(0, y));
            y += rowHeight;
        }
        laid.layout->endLayout();
        laid.width = width;
    }
    return *laid.layout;
}

qreal LogView::LineHeight(std::size_t line) const
{
    return std::max(1, LayoutOf(line).lineCount()) * RowHeight();
}

void LogView::ForgetLayouts() const
{
    m_layouts.clear();
}

std::size_t LogView::TopForBottom(std::size_t line) const
{
    const qreal room = viewport()->height() - Margin;
    qreal used = LineHeight(line);
    std::size_t top = line;
    while (top > 0) {
        const qreal above = LineHeight(top - 1);
        if (used + above > room)
            break;
        used += above;
        --top;
    }
    return top;
}

void LogView::Settle(bool painting)
{
    QScrollBar *bar = verticalScrollBar();
    const int before = bar->value();
    // The bar's own signals would repaint the view from inside its paint.
    const QSignalBlocker blocker(bar);
    if (m_rangeStale) {
        const auto last = static_cast<int>(TopForBottom(m_lines.LineCount() - 1));
        bar->setRange(0, last);
        bar->setPageStep(
            std::max(1, static_cast<int>((viewport()->height() - Margin) / RowHeight())));
        m_rangeStale = false;
    }
    const qreal room = viewport()->height() - Margin;
    const int fit = std::max(1, static_cast<int>(room / RowHeight()));
    const int topRowBefore = m_topRow;
    // Rows scrolled off a line that has since grown narrower rows, or fewer, come back.
    m_topRow =
        std::clamp(m_topRow, 0,
                   std::max(0, LayoutOf(static_cast<std::size_t>(bar->value())).lineCount() - fit));
    if (m_followEnd) {
        bar->setValue(bar->maximum());
        // A last line taller than the view shows its last rows.
        const int rows = LayoutOf(m_lines.LineCount() - 1).lineCount();
        m_topRow = static_cast<std::size_t>(bar->value()) + 1 == m_lines.LineCount()
                       ? std::max(0, rows - fit)
                       : 0;
        m_followEnd = false;
        m_showCaret = false;
    }
    if (m_showCaret) {
        m_showCaret = false;
        const auto top = static_cast<std::size_t>(bar->value());
        const QTextLayout &layout = LayoutOf(m_caret.line);
        const int row = layout.lineForTextPosition(static_cast<int>(m_caret.column)).lineNumber();
        const bool tall = layout.lineCount() > fit;
        if (m_caret.line < top || (m_caret.line == top && row < m_topRow)) {
            bar->setValue(static_cast<int>(m_caret.line));
            m_topRow = tall ? row : 0;
        } else {
            qreal bottom = -m_topRow * RowHeight();
            for (std::size_t line = top; line < m_caret.line && bottom <= room; ++line)
                bottom += LineHeight(line);
            bottom += (row + 1) * RowHeight();
            if (bottom > room) {
                if (tall) {
                    bar->setValue(static_cast<int>(m_caret.line));
                    m_topRow = std::max(0, row + 1 - fit);
                } else {
                    bar->setValue(static_cast<int>(TopForBottom(m_caret.line)));
                    m_topRow = 0;
                }
            }
        }
    }
    if ((bar->value() != before || m_topRow != topRowBefore) && !painting)
        viewport()->update();
}

void LogView::paintEvent(QPaintEvent *)
{
    Settle(true);
    QPainter painter(viewport());
    const std::size_t top = static_cast<std::size_t>(verticalScrollBar()->value());
    const LogPosition from = std::min(m_anchor, m_caret);
    const LogPosition to = std::max(m_anchor, m_caret);
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    const bool caretShown = hasFocus() && m_caretOn;
    const qreal breakWidth = QFontMetricsF(font(), viewport()).horizontalAdvance(u' ');

    painter.setPen(palette().text().color());
    qreal y = Margin - m_topRow * RowHeight();
    std::size_t line = top;
    for (; line < m_lines.LineCount() && y < viewport()->height(); ++line) {
        const QTextLayout &layout = LayoutOf(line);
        const QPointF origin(Margin, y);
        QList<QTextLayout::FormatRange> selections;
        if (HasSelection() && line >= from.line && line <= to.line) {
            const std::size_t start = line == from.line ? from.column : 0;
            const std::size_t end = line == to.line ? to.column : m_lines.LineLength(line);
            if (end > start)
                selections.push_back(
                    {static_cast<int>(start), static_cast<int>(end - start), selected});
            if (line < to.line) {
                // The break after the line is selected too: shown as a space's width.
                const QTextLine lastRow = layout.lineAt(layout.lineCount() - 1);
                painter.fillRect(QRectF(origin + QPointF(lastRow.naturalTextWidth(), lastRow.y()),
                                        QSizeF(breakWidth, lastRow.height())),
                                 selected.background());
            }
        }
        layout.draw(&painter, origin, selections);
        if (caretShown && line == m_caret.line)
            layout.drawCursor(&painter, origin, static_cast<int>(m_caret.column), 1);
        y += LineHeight(line);
    }
    // Only the layouts near the view are kept: the log may be far longer than it shows.
    const std::size_t keepFrom = top > KeptAround ? top - KeptAround : 0;
    const std::size_t keepTo = line + KeptAround;
    m_layouts.erase(m_layouts.begin(), m_layouts.lower_bound(keepFrom));
    m_layouts.erase(m_layouts.upper_bound(keepTo), m_layouts.end());
}

void LogView::resizeEvent(QResizeEvent *event)
{
    const QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QAbstractScrollArea::resizeEvent(event);
    // The layouts stay: each breaks its rows anew at the new width when next drawn.
    m_rangeStale = true;
    if (atEnd)
        m_followEnd = true;
}

void LogView::scrollContentsBy(int, int)
{
    // The bar moved by the user: its line shows from its first row.
    m_topRow = 0;
    viewport()->update();
}

void LogView::wheelEvent(QWheelEvent *event)
{
    // A line taller than the view is scrolled through by rows before the bar moves on,
    // since the bar counts lines.
    const auto top = static_cast<std::size_t>(TopLine());
    const int rows = LayoutOf(top).lineCount();
    const int fit = std::max(1, static_cast<int>((viewport()->height() - Margin) / RowHeight()));
    const int step = QGuiApplication::styleHints()->wheelScrollLines();
    const int delta = event->angleDelta().y();
    if (rows > fit && delta < 0 && m_topRow + fit < rows) {
        m_topRow = std::min(rows - fit, m_topRow + step);
    } else if (rows > fit && delta > 0 && m_topRow > 0) {
        m_topRow = std::max(0, m_topRow - step);
    } else {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    viewport()->update();
}

void LogView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ForgetLayouts();
        m_rangeStale = true;
    }
    viewport()->update();
}

bool LogView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Cut, copy and paste stay the window's where it has those commands, as in every
        // text box of both programs; the keys the box lives by are its own.
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Copy) ||
            key->matches(QKeySequence::Paste)) {
            event->ignore();
            return true;
        }
        const bool own = IsTyping(*key) || key->key() == Qt::Key_Backspace ||
                         std::any_of(std::begin(OwnKeys), std::end(OwnKeys),
                                     [key](QKeySequence::StandardKey standard) {
                                         return key->matches(standard);
                                     });
        if (own) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void LogView::Insert(QStringView text)
{
    const LogPosition from = std::min(m_anchor, m_caret);
    const LogPosition to = std::max(m_anchor, m_caret);
    const qsizetype removed = PlainText(from, to).size();
    m_caret = m_anchor = m_lines.Replace(from, to, tester::View(text));
    m_plainLength = m_plainLength - static_cast<std::size_t>(removed) + PlainLengthOf(text);
    m_goalX = -1;
    Edited();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&changed);
    }
}

void LogView::Edited()
{
    ForgetLayouts();
    m_rangeStale = true;
    CaretMoved();
}

void LogView::Copy() const
{
    if (HasSelection())
        QGuiApplication::clipboard()->setText(SelectedText());
}

void LogView::Cut()
{
    if (!HasSelection())
        return;
    Copy();
    DeleteSelection();
}

void LogView::Paste()
{
    // A clipboard whose owner has gone may offer no data at all.
    const QMimeData *offered = QGuiApplication::clipboard()->mimeData();
    if (!offered || !offered->hasText())
        return;
    const QString text = offered->text();
    if (!text.isEmpty())
        Insert(text);
}

void LogView::ReplaceSelection(QStringView text)
{
    Insert(text);
}

void LogView::DeleteSelection()
{
    if (HasSelection())
        Insert(QStringView());
}

void LogView::SelectAll()
{
    m_anchor = {};
    m_caret = m_lines.End();
    CaretMoved();
    OfferSelection();
}

void LogView::OfferSelection() const
{
    // Where the platform has a selection of its own (X11), what is selected goes there, for
    // the middle button of another program, as in every text box.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (HasSelection() && clipboard->supportsSelection())
        clipboard->setText(SelectedText(), QClipboard::Selection);
}

QMenu *LogView::CreateStandardContextMenu()
{
    auto *menu = new QMenu(this);
    const auto add = [this, menu](const QString &caption, QKeySequence::StandardKey key,
                                  bool enabled, auto command) {
        const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
        QAction *action =
            menu->addAction(shortcut.isEmpty() ? caption : caption + QLatin1Char('\t') + shortcut);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, command);
    };
    const QMimeData *offered = QGuiApplication::clipboard()->mimeData();
    add(tr("Cu&t"), QKeySequence::Cut, HasSelection(), [this] { Cut(); });
    add(tr("&Copy"), QKeySequence::Copy, HasSelection(), [this] { Copy(); });
    add(tr("&Paste"), QKeySequence::Paste, offered && offered->hasText(), [this] { Paste(); });
    add(tr("Delete"), QKeySequence::UnknownKey, HasSelection(), [this] { DeleteSelection(); });
    menu->addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, m_lines.End() != LogPosition{},
        [this] { SelectAll(); });
    return menu;
}

void LogView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (event->matches(QKeySequence::Cut)) {
        Cut();
    } else if (event->matches(QKeySequence::Paste)) {
        Paste();
    } else if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event->matches(QKeySequence::InsertParagraphSeparator) ||
               event->matches(QKeySequence::InsertLineSeparator)) {
        // Every break typed is a CR LF, the break the log's entries use.
        Insert(u"\n");
    } else if (event->key() == Qt::Key_Backspace || event->matches(QKeySequence::Delete)) {
        if (!HasSelection()) {
            const bool back = event->key() == Qt::Key_Backspace;
            const QTextLayout &layout = LayoutOf(m_caret.line);
            const auto column = static_cast<int>(m_caret.column);
            if (back && m_caret.column > 0)
                m_anchor.column = static_cast<std::size_t>(layout.previousCursorPosition(column));
            else if (back && m_caret.line > 0)
                m_anchor = {m_caret.line - 1, m_lines.LineLength(m_caret.line - 1)};
            else if (!back && m_caret.column < m_lines.LineLength(m_caret.line))
                m_anchor.column = static_cast<std::size_t>(layout.nextCursorPosition(column));
            else if (!back && m_caret.line + 1 < m_lines.LineCount())
                m_anchor = {m_caret.line + 1, 0};
        }
        DeleteSelection();
    } else if (IsTyping(*event)) {
        Insert(event->text());
    } else {
        MoveCaret(event);
    }
}

LogPosition LogView::Vertical(LogPosition from, int rows)
{
    LogPosition at = from;
    const QTextLayout *layout = &LayoutOf(at.line);
    int row = layout->lineForTextPosition(static_cast<int>(at.column)).lineNumber();
    if (m_goalX < 0)
        m_goalX = layout->lineAt(row).cursorToX(static_cast<int>(at.column));
    const int step = rows < 0 ? -1 : 1;
    for (int moved = 0; moved != rows; moved += step) {
        row += step;
        if (row < 0) {
            if (at.line == 0)
                return {0, 0};
            --at.line;
            layout = &LayoutOf(at.line);
            row = layout->lineCount() - 1;
        } else if (row >= layout->lineCount()) {
            if (at.line + 1 >= m_lines.LineCount())
                return m_lines.End();
            ++at.line;
            layout = &LayoutOf(at.line);
            row = 0;
        }
    }
    at.column = static_cast<std::size_t>(layout->lineAt(row).xToCursor(m_goalX));
    return at;
}

void LogView::MoveCaret(QKeyEvent *event)
{
    using Key = QKeySequence::StandardKey;
    const auto is = [event](Key move, Key select) {
        return event->matches(move) || event->matches(select);
    };
    const bool select = event->modifiers() & Qt::ShiftModifier;
    const QTextLayout &layout = LayoutOf(m_caret.line);
    const auto column = static_cast<int>(m_caret.column);
    const std::size_t length = m_lines.LineLength(m_caret.line);
    const bool lastLine = m_caret.line + 1 == m_lines.LineCount();
    const int page = std::max(1, verticalScrollBar()->pageStep() - 1);
    LogPosition to = m_caret;
    bool vertical = false;

    if (is(Key::MoveToNextChar, Key::SelectNextChar) ||
        is(Key::MoveToNextWord, Key::SelectNextWord)) {
        const auto mode = event->matches(Key::MoveToNextWord) || event->matches(Key::SelectNextWord)
                              ? QTextLayout::SkipWords
                              : QTextLayout::SkipCharacters;
        if (m_caret.column < length)
            to.column = static_cast<std::size_t>(layout.nextCursorPosition(column, mode));
        else if (!lastLine)
            to = {m_caret.line + 1, 0};
    } else if (is(Key::MoveToPreviousChar, Key::SelectPreviousChar) ||
               is(Key::MoveToPreviousWord, Key::SelectPreviousWord)) {
        const auto mode =
            event->matches(Key::MoveToPreviousWord) || event->matches(Key::SelectPreviousWord)
                ? QTextLayout::SkipWords
                : QTextLayout::SkipCharacters;
        if (m_caret.column > 0)
            to.column = static_cast<std::size_t>(layout.previousCursorPosition(column, mode));
        else if (m_caret.line > 0)
            to = {m_caret.line - 1, m_lines.LineLength(m_caret.line - 1)};
    } else if (is(Key::MoveToNextLine, Key::SelectNextLine)) {
        to = Vertical(m_caret, 1);
        vertical = true;
    } else if (is(Key::MoveToPreviousLine, Key::SelectPreviousLine)) {
        to = Vertical(m_caret, -1);
        vertical = true;
    } else if (is(Key::MoveToNextPage, Key::SelectNextPage)) {
        to = Vertical(m_caret, page);
        vertical = true;
    } else if (is(Key::MoveToPreviousPage, Key::SelectPreviousPage)) {
        to = Vertical(m_caret, -page);
        vertical = true;
    } else if (is(Key::MoveToStartOfLine, Key::SelectStartOfLine)) {
        to.column = static_cast<std::size_t>(layout.lineForTextPosition(column).textStart());
    } else if (is(Key::MoveToEndOfLine, Key::SelectEndOfLine)) {
        const QTextLine row = layout.lineForTextPosition(column);
        const int end = row.textStart() + row.textLength();
        // A wrapped row ends before the character the next row starts after.
        to.column = static_cast<std::size_t>(
            row.lineNumber() + 1 < layout.lineCount() ? std::max(row.textStart(), end - 1) : end);
    } else if (is(Key::MoveToStartOfDocument, Key::SelectStartOfDocument)) {
        to = {};
    } else if (is(Key::MoveToEndOfDocument, Key::SelectEndOfDocument)) {
        to = m_lines.End();
    } else {
        event->ignore();
        return;
    }
    if (!vertical)
        m_goalX = -1;
    SetCaret(to, select);
    if (select)
        OfferSelection();
}

LogPosition LogView::PositionAt(QPoint point)
{
    Settle();
    const qreal rowHeight = RowHeight();
    // Below the view counts as its last row, so a drag there reaches no further.
    const qreal at = std::min<qreal>(point.y(), viewport()->height());
    qreal y = Margin - m_topRow * rowHeight;
    for (std::size_t line = static_cast<std::size_t>(verticalScrollBar()->value());; ++line) {
        const QTextLayout &layout = LayoutOf(line);
        const qreal height = layout.lineCount() * rowHeight;
        if (at < y + height || line + 1 == m_lines.LineCount()) {
            const int row = std::clamp(static_cast<int>(std::floor((at - y) / rowHeight)), 0,
                                       layout.lineCount() - 1);
            return {line,
                    static_cast<std::size_t>(layout.lineAt(row).xToCursor(point.x() - Margin))};
        }
        y += height;
    }
}

void LogView::mousePressEvent(QMouseEvent *event)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        // The middle button pastes the X selection where it is clicked; a selection whose
        // owner has gone may offer no data at all.
        const QMimeData *offered = clipboard->mimeData(QClipboard::Selection);
        if (offered && offered->hasText() && !offered->text().isEmpty()) {
            const QString text = offered->text();
            SetCaret(PositionAt(event->position().toPoint()));
            Insert(text);
        }
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_goalX = -1;
    const QPoint point = event->position().toPoint();
    // Wall time rather than the events' stamps: a third click is a press, which carries no
    // double-click flag of its own.
    const bool tripleClick =
        m_doubleClicked.isValid() &&
        m_doubleClicked.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
        (point - m_doubleClickedAt).manhattanLength() <
            QGuiApplication::styleHints()->startDragDistance();
    m_doubleClicked.invalidate();
    if (tripleClick) {
        const std::size_t line = PositionAt(point).line;
        m_anchor = {line, 0};
        m_caret = {line, static_cast<std::size_t>(LineText(line).size())};
        CaretMoved();
        OfferSelection();
        m_lineTaken = true;
        return;
    }
    SetCaret(PositionAt(point), event->modifiers() & Qt::ShiftModifier);
}

void LogView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_lineTaken)
        return;
    QScrollBar *bar = verticalScrollBar();
    const int y = event->position().toPoint().y();
    // Dragging past an edge scrolls on, a line a move.
    if (y < 0)
        bar->setValue(bar->value() - 1);
    else if (y > viewport()->height())
        bar->setValue(bar->value() + 1);
    SetCaret(PositionAt(event->position().toPoint()), true);
    m_showCaret = false;
}

void LogView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const LogPosition at = PositionAt(event->position().toPoint());
    const QString text = LineText(at.line);
    std::size_t start = at.column;
    std::size_t end = at.column;
    while (start > 0 && IsWordCharacter(text[static_cast<qsizetype>(start - 1)]))
        --start;
    while (end < static_cast<std::size_t>(text.size()) &&
           IsWordCharacter(text[static_cast<qsizetype>(end)]))
        ++end;
    m_anchor = {at.line, start};
    m_caret = {at.line, end};
    CaretMoved();
    OfferSelection();
    m_doubleClicked.start();
    m_doubleClickedAt = event->position().toPoint();
}

void LogView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        OfferSelection();
        m_lineTaken = false;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void LogView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash > 0)
        m_blink.start(flash / 2, this);
    m_caretOn = true;
    viewport()->update();
}

void LogView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    m_caretOn = false;
    viewport()->update();
}

void LogView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    m_caretOn = !m_caretOn;
    viewport()->update(CaretRect());
}

QRect LogView::CaretRect()
{
    Settle();
    const std::size_t top = static_cast<std::size_t>(verticalScrollBar()->value());
    if (m_caret.line < top)
        return {};
    qreal y = Margin - m_topRow * RowHeight();
    for (std::size_t line = top; line < m_caret.line; ++line) {
        y += LineHeight(line);
        if (y > viewport()->height())
            return {};
    }
    const QTextLayout &layout = LayoutOf(m_caret.line);
    const QTextLine row = layout.lineForTextPosition(static_cast<int>(m_caret.column));
    if (!row.isValid())
        return {};
    if (y + row.y() + row.height() <= 0 || y + row.y() >= viewport()->height())
        return {};
    const qreal x = Margin + row.cursorToX(static_cast<int>(m_caret.column));
    return QRectF(x - 1, y + row.y(), 3, row.height()).toAlignedRect();
}

void LogView::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty())
        Insert(event->commitString());
    event->accept();
}

QVariant LogView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    auto *self = const_cast<LogView *>(this);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return self->CaretRect();
    case Qt::ImSurroundingText:
        return LineText(m_caret.line);
    case Qt::ImCursorPosition:
        return static_cast<int>(m_caret.column);
    case Qt::ImAnchorPosition:
        return static_cast<int>(m_anchor.line == m_caret.line ? m_anchor.column : m_caret.column);
    case Qt::ImCurrentSelection:
        return SelectedText();
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
