#include "LossMarks.h"

#include "MarkLook.h"
#include "Survival.h"

#include "PlainTextBox.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

// Units every position keeps need no looking after.
bool AlwaysKept(char16_t unit)
{
    return unit >= 1 && unit <= 0xA5;
}

bool DependsOnPosition(char16_t unit)
{
    return unit >= 0xA6 && unit <= 0xBE;
}

// Qt draws wavy underlines only for text it lays out itself, so the mark draws its own.
void DrawWave(QPainter &painter, const QRectF &cell)
{
    constexpr qreal Step = 2;
    const qreal y = cell.bottom() - 2;
    QPainterPath wave(QPointF(cell.left(), y));
    int i = 0;
    for (qreal x = cell.left() + Step; x < cell.right() + Step; x += Step, ++i)
        wave.lineTo(std::min(x, cell.right()), (i % 2 == 0) ? y - 1.5 : y);
    painter.drawPath(wave);
}

} // namespace

LossMarks::LossMarks(PlainTextBox *box, std::u16string key, BreakLength breakLength)
    : QObject(box), m_box(box), m_key(std::move(key)), m_breakLength(std::move(breakLength))
{
    connect(m_box->document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                OnContentsChange(position, removed, added);
            });
    m_box->SetOverlay(
        [self = QPointer<LossMarks>(this)](QPainter &painter, const QRegion &exposed) {
            if (self)
                self->Paint(painter, exposed);
        });
    SetEnabled(true);
}

void LossMarks::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    if (enabled)
        Rescan();
    else
        m_tracked.clear();
    Recount();
    m_box->viewport()->update();
}

void LossMarks::Rescan()
{
    m_tracked.clear();
    m_characters = m_box->document()->characterCount();
    Scan(0, m_characters, m_tracked);
    // The caller repaints the whole box.
    m_visible = std::pair(0, 0);
    Judge(0, 0);
}

std::vector<int> LossMarks::Positions() const
{
    std::vector<int> positions;
    for (const Tracked &t : m_tracked) {
        if (t.marked)
            positions.push_back(t.position);
    }
    return positions;
}

int LossMarks::NextAfter(int position) const
{
    int first = -1;
    for (const Tracked &t : m_tracked) {
        if (!t.marked)
            continue;
        if (t.position > position)
            return t.position;
        if (first < 0)
            first = t.position;
    }
    return first;
}

std::optional<LossMarks::Loss> LossMarks::LossAt(int position) const
{
    const auto t =
        std::partition_point(m_tracked.begin(), m_tracked.end(), [position](const Tracked &each) {
            return each.position + each.length <= position;
        });
    if (t == m_tracked.end() || !t->marked || t->position != position)
        return std::nullopt;
    if (t->dependsOnPosition)
        return Loss::AtThisPosition;
    if (!m_key.empty() && t->extra >= 0 &&
        UnitOverflows(t->unit, KeyCodeAt(m_key, static_cast<std::size_t>(position + t->extra) + 1)))
        return Loss::RefusesSave;
    return Loss::AtAnyPosition;
}

void LossMarks::Scan(int from, int to, std::vector<Tracked> &into) const
{
    QTextDocument *document = m_box->document();
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const QString text = block.text();
        const int base = block.position();
        const int end = std::min<int>(to - base, static_cast<int>(text.size()));
        for (int i = std::max(0, from - base); i < end; ++i) {
            const char16_t unit = text[i].unicode();
            if (AlwaysKept(unit))
                continue;
            const int length =
                QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()
                    ? 2
                    : 1;
            Tracked t;
            t.position = base + i;
            t.length = length;
            t.unit = unit;
            t.dependsOnPosition = DependsOnPosition(unit);
            into.push_back(std::move(t));
            i += length - 1;
        }
    }
}

void LossMarks::Judge(std::size_t first, int editEnd)
{
    if (m_key.empty() || first >= m_tracked.size())
        return;
    // A file position is the box position plus one more unit for every two-unit line break
    // before it. An edit changes that count alike for everything after the line it ends in
    // (the only breaks it changes are the ones it removed or put in, all within its range;
    // a joined or split line keeps the break that ended its last part), so the blocks are
    // walked only from the character before the edit (whose count still holds) to the
    // first character past that line that has a count, and the rest move by the same
    // amount.
    QTextDocument *document = m_box->document();
    const QTextBlock last = document->findBlock(editEnd);
    const int walkUntil = last.isValid() ? last.position() + last.length() : editEnd;
    QTextBlock block = document->firstBlock();
    int extra = 0;
    if (first > 0 && m_tracked[first - 1].extra >= 0) {
        block = document->findBlock(m_tracked[first - 1].position);
        extra = m_tracked[first - 1].extra;
    }
    bool walking = true;
    int shift = 0;
    for (std::size_t i = first; i < m_tracked.size(); ++i) {
        Tracked &t = m_tracked[i];
        const int position = t.position;
        if (walking) {
            while (block.isValid() && block.position() + block.length() <= position) {
                extra += m_breakLength(block) - 1;
                block = block.next();
            }
            if (t.extra >= 0 && position >= walkUntil) {
                shift = extra - t.extra;
                walking = false;
            }
            t.extra = extra;
        } else {
            t.extra += shift;
        }
        if (!t.dependsOnPosition)
            continue;
        const std::size_t filePosition = static_cast<std::size_t>(position + t.extra) + 1;
        const bool marked = !UnitSurvives(t.unit, KeyCodeAt(m_key, filePosition));
        if (marked != t.marked) {
            t.marked = marked;
            if (!m_visible)
                m_visible = m_box->VisibleRange();
            if (position >= m_visible->first && position < m_visible->second)
                Repaint(t);
        }
    }
}

void LossMarks::OnContentsChange(int position, int removed, int added)
{
    if (!m_enabled)
        return;
    const int length = m_box->document()->characterCount();
    const int was = m_characters;
    m_characters = length;
    if (position < 0 || removed < 0 || added < 0 || was - removed + added != length ||
        position + added > length) {
        // Not an edit that can be followed: the whole text is looked at again.
        Rescan();
        Recount();
        m_box->viewport()->update();
        return;
    }
    const int removedEnd = position + removed;
    const int moved = added - removed;

    // The characters the edit touched: those it removed, and those beside it, which may
    // be half of a pair that the edit split or joined.
    auto first =
        std::partition_point(m_tracked.begin(), m_tracked.end(), [position](const Tracked &t) {
            return t.position + t.length < position;
        });
    auto last = std::partition_point(first, m_tracked.end(), [removedEnd](const Tracked &t) {
        return t.position <= removedEnd;
    });
    int scanFrom = std::max(position - 1, 0);
    int scanTo = std::min(position + added + 1, length);
    if (first != last) {
        scanFrom = std::min(scanFrom, first->position);
        const Tracked &back = *std::prev(last);
        if (back.position + back.length > removedEnd)
            scanTo = std::max(scanTo, back.position + back.length + moved);
    }
    for (auto after = last; after != m_tracked.end(); ++after)
        after->position += moved;
    const auto index = static_cast<std::size_t>(first - m_tracked.begin());
    std::vector<Tracked> found;
    Scan(scanFrom, scanTo, found);
    const auto at = m_tracked.erase(first, last);
    m_tracked.insert(at, found.begin(), found.end());
    // The box repaints the text an edit touched, but not the marks whose fate the edit
    // changed further on; those in view are repainted here.
    m_visible.reset();
    Judge(index, position + added);
    Recount();
}

void LossMarks::Repaint(const Tracked &t) const
{
    // The whole line: the box draws whole lines anyway, and finding the character's place
    // on it would cost more than the mark.
    const QRect line = m_box->LineRect(t.position);
    if (!line.isEmpty())
        m_box->viewport()->update(line);
}

void LossMarks::Recount()
{
    const auto count = static_cast<int>(std::count_if(m_tracked.begin(), m_tracked.end(),
                                                      [](const Tracked &t) { return t.marked; }));
    if (count != m_count) {
        m_count = count;
        emit CountChanged(count);
    }
}

void LossMarks::Paint(QPainter &painter, const QRegion &exposed) const
{
    if (!m_enabled || m_count == 0)
        return;
    const auto [from, to] = m_box->VisibleRange();
    auto mark =
        std::partition_point(m_tracked.begin(), m_tracked.end(), [from = from](const Tracked &t) {
            return t.position + t.length <= from;
        });
    const MarkLook look = MarkLookFor(m_box->palette());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look.underline, 1));
    painter.setBrush(Qt::NoBrush);
    for (; mark != m_tracked.end() && mark->position < to; ++mark) {
        if (!mark->marked)
            continue;
        QRectF cell = m_box->CharacterRect(mark->position, mark->length, &exposed);
        if (cell.height() <= 0)
            continue;
        // A character drawn with no width (a joiner, an object replacement) still gets a
        // mark one can see, over its place between its neighbours.
        if (cell.width() < 1)
            cell.adjust(-2, 0, 2, 0);
        painter.setCompositionMode(look.tintMode);
        painter.fillRect(cell, look.tint);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        DrawWave(painter, cell);
    }
}
