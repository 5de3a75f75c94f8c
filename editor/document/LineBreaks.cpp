#include "LineBreaks.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <unordered_set>

namespace {

// The break before a block, with a number that tells this record from every other: a block
// the box keeps through an edit keeps its record, so a number missing after the edit is a
// break the edit removed.
class BreakBefore : public QTextBlockUserData
{
public:
    BreakBefore(std::u16string before, std::uint64_t number)
        : lineBreak(std::move(before)), id(number)
    {}
    std::u16string lineBreak;
    std::uint64_t id;
};

const BreakBefore *BreakOf(const QTextBlock &block)
{
    return static_cast<const BreakBefore *>(block.userData());
}

std::size_t ExtraUnitsOf(const std::u16string &lineBreak)
{
    return lineBreak.empty() ? 0 : lineBreak.size() - 1;
}

} // namespace

LineBreaks::LineBreaks(QTextDocument *document) : QObject(document), m_document(document)
{
    connect(document, &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                OnContentsChange(position, removed, added);
            });
    Reset({}, {});
}

void LineBreaks::Reset(const std::vector<std::u16string> &breaks, std::u16string defaultBreak)
{
    m_defaultBreak = defaultBreak.empty() ? std::u16string(u"\r\n") : std::move(defaultBreak);
    m_blocks.clear();
    m_extraUnits = 0;
    m_removed.clear();
    QTextBlock block = m_document->firstBlock();
    block.setUserData(nullptr);
    m_blocks.push_back({0, Interned({})});
    std::size_t line = 0;
    for (block = block.next(); block.isValid(); block = block.next(), ++line)
        Give(block, line < breaks.size() && !breaks[line].empty() ? breaks[line] : m_defaultBreak);
    m_undoSteps = m_document->availableUndoSteps();
    m_held = false;
}

const std::u16string &LineBreaks::After(const QTextBlock &block) const
{
    static const std::u16string none;
    const QTextBlock next = block.next();
    if (!next.isValid())
        return none;
    const BreakBefore *before = BreakOf(next);
    return before ? before->lineBreak : m_defaultBreak;
}

const std::u16string *LineBreaks::Interned(const std::u16string &lineBreak)
{
    return &*m_breakTexts.insert(lineBreak).first;
}

void LineBreaks::Give(QTextBlock &block, const std::u16string &lineBreak)
{
    block.setUserData(new BreakBefore(lineBreak, ++m_lastId));
    m_blocks.push_back({m_lastId, Interned(lineBreak)});
    m_extraUnits += ExtraUnitsOf(lineBreak);
}

void LineBreaks::OnContentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_held)
        return;
    // The blocks before `position` are as they were, and so are those after the block the
    // change ends in; between them the box has kept the records of the breaks the change
    // left alone, and made blocks without one for the breaks it put in.
    const QTextBlock first = m_document->findBlock(position);
    const QTextBlock last =
        m_document->findBlock(std::min(position + added, m_document->characterCount() - 1));
    if (!first.isValid() || !last.isValid())
        return;
    const auto from = static_cast<std::size_t>(first.blockNumber()) + 1;
    const auto nowBetween = static_cast<std::size_t>(last.blockNumber() - first.blockNumber());
    const auto grown = static_cast<std::ptrdiff_t>(m_document->blockCount()) -
                       static_cast<std::ptrdiff_t>(m_blocks.size());
    const std::ptrdiff_t wereBetween = static_cast<std::ptrdiff_t>(nowBetween) - grown;
    if (wereBetween < 0 || from + static_cast<std::size_t>(wereBetween) > m_blocks.size()) {
        // Not a change this class can follow (none is known); the breaks the box holds
        // stand, and blocks without one take the default.
        std::vector<std::u16string> breaks;
        for (QTextBlock block = m_document->firstBlock().next(); block.isValid();
             block = block.next())
            breaks.push_back(BreakOf(block) ? BreakOf(block)->lineBreak : std::u16string());
        Reset(breaks, m_defaultBreak);
        return;
    }

    std::unordered_set<std::uint64_t> kept;
    std::size_t fresh = 0;
    QTextBlock block = first.next();
    for (std::size_t i = 0; i < nowBetween; ++i, block = block.next()) {
        if (const BreakBefore *before = BreakOf(block))
            kept.insert(before->id);
        else
            ++fresh;
    }
    const auto begin = m_blocks.begin() + static_cast<std::ptrdiff_t>(from);
    const auto end = begin + wereBetween;
    std::vector<std::u16string> gone;
    for (auto was = begin; was != end; ++was) {
        if (!kept.count(was->id))
            gone.push_back(*was->lineBreak);
    }

    // An undo brings back exactly the breaks the edit it undoes removed, in the same order;
    // any other change (an edit, a redo) puts in new breaks, and what it removes is kept
    // for its undo.
    const int undoSteps = m_document->availableUndoSteps();
    const std::vector<std::u16string> *back = nullptr;
    if (undoSteps < m_undoSteps && m_document->isRedoAvailable()) {
        const auto undone = m_removed.find(m_undoSteps);
        if (undone != m_removed.end() && undone->second.size() == fresh)
            back = &undone->second;
    } else {
        m_removed.erase(m_removed.upper_bound(m_undoSteps), m_removed.end());
        if (undoSteps > m_undoSteps && !gone.empty())
            m_removed[undoSteps] = std::move(gone);
    }
    m_undoSteps = undoSteps;

    std::vector<Kept> now;
    now.reserve(nowBetween);
    std::size_t next = 0;
    block = first.next();
    for (std::size_t i = 0; i < nowBetween; ++i, block = block.next()) {
        if (!BreakOf(block)) {
            const std::u16string &lineBreak = back ? (*back)[next++] : m_defaultBreak;
            block.setUserData(new BreakBefore(lineBreak, ++m_lastId));
        }
        now.push_back({BreakOf(block)->id, Interned(BreakOf(block)->lineBreak)});
        m_extraUnits += ExtraUnitsOf(*now.back().lineBreak);
    }
    for (auto was = begin; was != end; ++was)
        m_extraUnits -= ExtraUnitsOf(*was->lineBreak);
    const auto at = m_blocks.erase(begin, end);
    m_blocks.insert(at, now.begin(), now.end());
}
