#include "PlainTextBox.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QStyleHints>
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

QList<QKeySequence> PlainTextBox::RedoKeys()
{
    QList<QKeySequence> keys{QKeySequence(Qt::ControlModifier | Qt::Key_Y)};
    for (const QKeySequence &key :
         QKeySequence::keyBindings(QKeySequence::Redo) +
             QList{QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z)})
        if (!keys.contains(key))
            keys << key;
    return keys;
}

namespace {

// The platform's keys for these commands, looked up once: each look-up walks its whole
// table of standard keys, and the box asks about every key typed, twice over.
struct ClaimedKeys
{
    QList<QKeySequence> redo = PlainTextBox::RedoKeys();
    QList<QKeySequence> clipboard = QKeySequence::keyBindings(QKeySequence::Cut) +
                                    QKeySequence::keyBindings(QKeySequence::Copy) +
                                    QKeySequence::keyBindings(QKeySequence::Paste);
};

const ClaimedKeys &Claimed()
{
    static const ClaimedKeys keys;
    return keys;
}

bool IsRedoKey(const QKeyEvent &key)
{
    return Claimed().redo.contains(QKeySequence(key.keyCombination()));
}

// As QKeyEvent::matches reads a key: the keypad and group switch modifiers do not count.
bool IsClipboardKey(const QKeyEvent &key)
{
    const int combined = key.keyCombination().toCombined() &
                         ~static_cast<int>(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    return Claimed().clipboard.contains(QKeySequence(QKeyCombination::fromCombined(combined)));
}

} // namespace

void PlainTextBox::keyPressEvent(QKeyEvent *event)
{
    // The box itself redoes only on the platform's keys; where no window command has them,
    // all of them redo here.
    if (IsRedoKey(*event) && !isReadOnly()) {
        redo();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PlainTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu(event->pos());
    // Qt's menu leaves out each key a window's command has taken, which comes and goes as
    // that command is enabled, and names the platform's first Redo key rather than ours:
    // every item names its key here, the one a window's Edit menu shows too.
    const std::pair<QLatin1StringView, QKeySequence> keys[] = {
        {QLatin1StringView("edit-undo"), QKeySequence(QKeySequence::Undo)},
        {QLatin1StringView("edit-redo"), RedoKeys().constFirst()},
        {QLatin1StringView("edit-cut"), QKeySequence(QKeySequence::Cut)},
        {QLatin1StringView("edit-copy"), QKeySequence(QKeySequence::Copy)},
        {QLatin1StringView("edit-paste"), QKeySequence(QKeySequence::Paste)},
        {QLatin1StringView("select-all"), QKeySequence(QKeySequence::SelectAll)},
    };
    const bool showKeys =
        !QCoreApplication::testAttribute(Qt::AA_DontShowShortcutsInContextMenus) &&
        QGuiApplication::styleHints()->showShortcutsInContextMenus();
    for (QAction *action : menu->actions()) {
        for (const auto &[name, key] : keys) {
            if (action->objectName() != name)
                continue;
            QString text = action->text().section(QLatin1Char('\t'), 0, 0);
            if (showKeys && !key.isEmpty())
                text += QLatin1Char('\t') + key.toString(QKeySequence::NativeText);
            action->setText(text);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

bool PlainTextBox::event(QEvent *event)
{
    // The box would claim the cut, copy and paste keys for itself before the window's
    // shortcuts see them; left unclaimed they run the window's own commands where it has
    // them, and reach the box as ordinary keys where it has none.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (IsClipboardKey(*key) || IsRedoKey(*key)) {
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
