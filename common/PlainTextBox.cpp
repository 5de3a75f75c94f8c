#include "PlainTextBox.h"

#include <QGlyphRun>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

PlainTextBox::PlainTextBox(QWidget *parent) : QPlainTextEdit(parent) {}

void PlainTextBox::SetOverlay(Overlay overlay)
{
    m_overlay = std::move(overlay);
    viewport()->update();
}

void PlainTextBox::paintEvent(QPaintEvent *event)
{
    // QPlainTextEdit draws every line from the top to the bottom of what needs painting,
    // even when that is a few cells far apart (an overlay's marks changing all over the
    // view); painting each part on its own draws only the lines those parts are in.
    constexpr int MaxParts = 8;
    const QRegion region = event->region();
    if (region.rectCount() > 1 && region.rectCount() <= MaxParts) {
        for (const QRect &part : region) {
            QPaintEvent partEvent(part);
            QPlainTextEdit::paintEvent(&partEvent);
        }
    } else {
        QPlainTextEdit::paintEvent(event);
    }
    if (!m_overlay)
        return;
    QPainter painter(viewport());
    m_overlay(painter, region);
}

namespace {

// The line of a laid-out block that holds a position, and where the block's layout starts
// in the viewport.
struct PlacedLine
{
    QTextLine line;
    QPointF origin;
};

PlacedLine LineAt(const QTextBlock &block, const QRectF &blockRect, int offset)
{
    const QTextLayout *layout = block.layout();
    return {layout->lineForTextPosition(offset), blockRect.topLeft() + layout->position()};
}

} // namespace

QRect PlainTextBox::LineRect(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid() || !block.isVisible())
        return {};
    const auto [line, origin] =
        LineAt(block, blockBoundingGeometry(block).translated(contentOffset()),
               position - block.position());
    if (!line.isValid())
        return {};
    return QRectF(0, origin.y() + line.y(), viewport()->width(), line.height()).toAlignedRect();
}

QRectF PlainTextBox::CharacterRect(int position, int length, const QRegion *within) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid() || !block.isVisible())
        return {};
    const int offset = position - block.position();
    const auto [line, origin] =
        LineAt(block, blockBoundingGeometry(block).translated(contentOffset()), offset);
    if (!line.isValid() || offset + length > line.textStart() + line.textLength())
        return {};
    if (within &&
        !within->intersects(
            QRectF(0, origin.y() + line.y(), viewport()->width(), line.height()).toAlignedRect()))
        return {};
    // Between the caret's places before and after the characters, unless their glyphs are
    // laid out elsewhere: where the direction changes (digits in right-to-left text, a
    // Hebrew word in a left-to-right line) those places need not be beside the characters
    // at all. Where the glyphs do start at the carets, the carets are kept: a character
    // drawn as nothing may still have a glyph whose font gives it a width.
    const qreal a = line.cursorToX(offset);
    const qreal b = line.cursorToX(offset + length);
    qreal left = std::min(a, b);
    qreal right = std::max(a, b);
    qreal glyphsLeft = 0;
    qreal glyphsRight = -1;
    for (const QGlyphRun &run : line.glyphRuns(offset, length)) {
        const QList<QPointF> positions = run.positions();
        const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(run.glyphIndexes());
        for (qsizetype i = 0; i < positions.size() && i < advances.size(); ++i) {
            const qreal x = positions[i].x();
            glyphsLeft = glyphsRight < glyphsLeft ? x : std::min(glyphsLeft, x);
            glyphsRight = std::max({glyphsRight, x, x + advances[i].x()});
        }
    }
    if (glyphsRight >= glyphsLeft && std::abs(glyphsLeft - left) > 1) {
        // Whole pixels, as the caret's places are: a mark then covers its cell evenly.
        left = std::floor(glyphsLeft);
        right = std::ceil(glyphsRight);
    }
    return {origin + QPointF(left, line.y()), QSizeF(right - left, line.height())};
}

std::pair<int, int> PlainTextBox::VisibleRange() const
{
    QTextBlock block = firstVisibleBlock();
    if (!block.isValid())
        return {0, 0};
    const int from = block.position();
    const qreal height = viewport()->height();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    int to = from;
    for (; block.isValid() && top <= height; block = block.next()) {
        if (!block.isVisible())
            continue;
        to = block.position() + block.length();
        top += blockBoundingRect(block).height();
    }
    return {from, to};
}

QString PlainTextBox::SelectedPlainText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

bool PlainTextBox::event(QEvent *event)
{
    // The box would claim the cut, copy and paste keys for itself before the window's
    // shortcuts see them; left unclaimed they run the window's own commands where it has
    // them, and reach the box as ordinary keys where it has none.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Copy) ||
            key->matches(QKeySequence::Paste)) {
            event->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

bool PlainTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

// Every paste comes here: keys, the middle button, the context menu and drops. Qt's own
// insertion reads the first of the data's formats without asking whether there is one,
// which crashes on a clipboard whose owner has gone; and it would read markdown or HTML
// as formatted text, where this box keeps every character as it is.
void PlainTextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || isReadOnly() || !source->hasText())
        return;
    const QString text = source->text();
    if (text.isEmpty())
        return;
    insertPlainText(text);
    ensureCursorVisible();
}

QMimeData *PlainTextBox::createMimeDataFromSelection() const
{
    auto *selection = new QMimeData;
    selection->setText(SelectedPlainText());
    return selection;
}
