#include "LossMarks.h"

#include "Survival.h"

#include <QPlainTextEdit>
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

QTextCharFormat MarkFormat()
{
    QTextCharFormat format;
    format.setBackground(QColor(255, 190, 190));
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(QColor(200, 0, 0));
    return format;
}

} // namespace

LossMarks::LossMarks(QPlainTextEdit *box, std::u16string key, BreakLength breakLength)
    : QObject(box), m_box(box), m_key(std::move(key)), m_breakLength(std::move(breakLength))
{
    connect(m_box->document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                OnContentsChange(position, removed, added);
            });
    SetEnabled(true);
}

void LossMarks::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    m_tracked.clear();
    if (enabled) {
        Scan(0, m_box->document()->characterCount(), m_tracked);
        Judge(0);
    }
    Publish();
}

std::vector<int> LossMarks::Positions() const
{
    std::vector<int> positions;
    for (const Tracked &t : m_tracked) {
        if (t.marked)
            positions.push_back(t.cursor.selectionStart());
    }
    return positions;
}

int LossMarks::NextAfter(int position) const
{
    int first = -1;
    for (const Tracked &t : m_tracked) {
        if (!t.marked)
            continue;
        const int start = t.cursor.selectionStart();
        if (start > position)
            return start;
        if (first < 0)
            first = start;
    }
    return first;
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
            t.cursor = QTextCursor(document);
            t.cursor.setPosition(base + i);
            t.cursor.setPosition(base + i + length, QTextCursor::KeepAnchor);
            t.unit = unit;
            t.dependsOnPosition = DependsOnPosition(unit);
            into.push_back(std::move(t));
            i += length - 1;
        }
    }
}

bool LossMarks::Judge(std::size_t first)
{
    const auto variable =
        std::find_if(m_tracked.begin() + static_cast<std::ptrdiff_t>(first), m_tracked.end(),
                     [](const Tracked &t) { return t.dependsOnPosition; });
    if (variable == m_tracked.end() || m_key.empty())
        return false;
    // A file position is the box position plus one more unit for every two-unit line
    // break before it; the blocks are walked once alongside the sorted characters.
    bool changed = false;
    QTextBlock block = m_box->document()->firstBlock();
    int extra = 0;
    for (auto t = variable; t != m_tracked.end(); ++t) {
        if (!t->dependsOnPosition)
            continue;
        const int position = t->cursor.selectionStart();
        while (block.isValid() && block.position() + block.length() <= position) {
            extra += m_breakLength(block) - 1;
            block = block.next();
        }
        const std::size_t filePosition = static_cast<std::size_t>(position + extra) + 1;
        const bool marked = !UnitSurvives(t->unit, KeyCodeAt(m_key, filePosition));
        changed |= marked != t->marked;
        t->marked = marked;
    }
    return changed;
}

void LossMarks::OnContentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (!m_enabled)
        return;
    const int length = m_box->document()->characterCount();
    const int start = std::clamp(position, 0, length);
    const int end = std::clamp(position + added, start, length);

    // The characters the edit touched: those it removed (now empty), those next to it
    // (a character just before an insertion grows over it), and pairs it split or joined.
    auto first =
        std::partition_point(m_tracked.begin(), m_tracked.end(),
                             [start](const Tracked &t) { return t.cursor.selectionEnd() < start; });
    auto last = std::partition_point(first, m_tracked.end(), [end](const Tracked &t) {
        return t.cursor.selectionStart() <= end;
    });
    int scanFrom = start;
    int scanTo = end;
    if (first != last) {
        scanFrom = std::min(scanFrom, first->cursor.selectionStart());
        scanTo = std::max(scanTo, std::prev(last)->cursor.selectionEnd());
    }
    const auto index = static_cast<std::size_t>(first - m_tracked.begin());
    std::vector<Tracked> found;
    Scan(scanFrom, scanTo, found);
    bool changed = first != last || !found.empty();
    m_tracked.erase(first, last);
    m_tracked.insert(m_tracked.begin() + static_cast<std::ptrdiff_t>(index),
                     std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    changed |= Judge(index);
    if (changed)
        Publish();
}

void LossMarks::Publish()
{
    static const QTextCharFormat format = MarkFormat();
    QList<QTextEdit::ExtraSelection> selections;
    for (const Tracked &t : m_tracked) {
        if (t.marked)
            selections.append({t.cursor, format});
    }
    m_box->setExtraSelections(selections);
    const int count = static_cast<int>(selections.size());
    if (count != m_count) {
        m_count = count;
        emit CountChanged(count);
    }
}
