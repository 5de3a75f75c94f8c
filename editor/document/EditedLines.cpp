#include "EditedLines.h"

#include <algorithm>

namespace doctext {

namespace {

std::ptrdiff_t Signed(std::size_t n)
{
    return static_cast<std::ptrdiff_t>(n);
}

} // namespace

void EditedLines::Reset(std::size_t lines)
{
    m_lines = lines;
    m_savedLines = lines;
    m_ranges.clear();
}

void EditedLines::Replace(std::size_t first, std::size_t removed, std::size_t added)
{
    first = std::min(first, m_lines);
    removed = std::min(removed, m_lines - first);
    const std::size_t end = first + removed;
    // The ranges the edit overlaps or touches become one with it.
    const auto begin =
        std::partition_point(m_ranges.begin(), m_ranges.end(),
                             [first](const Range &r) { return r.first + r.count < first; });
    auto stop = begin;
    std::size_t from = first;
    std::size_t to = end;
    std::ptrdiff_t grown = 0; // by the ranges taken in
    for (; stop != m_ranges.end() && stop->first <= end; ++stop) {
        from = std::min(from, stop->first);
        to = std::max(to, stop->first + stop->count);
        grown += Signed(stop->count) - Signed(stop->savedCount);
    }
    const Range merged{from, to - from - removed + added,
                       static_cast<std::size_t>(Signed(to - from) - grown)};
    auto next = m_ranges.erase(begin, stop);
    if (merged.count > 0 || merged.savedCount > 0)
        next = std::next(m_ranges.insert(next, merged));
    const std::ptrdiff_t moved = Signed(added) - Signed(removed);
    for (; next != m_ranges.end(); ++next)
        next->first = static_cast<std::size_t>(Signed(next->first) + moved);
    m_lines = m_lines - removed + added;
}

bool EditedLines::Differs(const std::function<bool(std::size_t line)> &same)
{
    if (m_lines != m_savedLines)
        return true;
    // How many lines the ranges so far added (or, below zero, took away): the lines after
    // them stand that much further down than they did in the saved text.
    std::ptrdiff_t shift = 0;
    std::size_t line = 0;
    for (std::size_t r = 0; r < m_ranges.size();) {
        Range &range = m_ranges[r];
        // Moved lines are the saved ones, but the saved text may hold others in their place.
        for (; shift != 0 && line < range.first; ++line) {
            if (!same(line))
                return true;
        }
        const std::size_t end = range.first + range.count;
        for (line = range.first; line < end && same(line); ++line) {
        }
        // Lines found equal in place at the start of the range leave it, so that the next
        // look starts where they differ.
        if (shift == 0) {
            const std::size_t equal = std::min(line - range.first, range.savedCount);
            range.first += equal;
            range.count -= equal;
            range.savedCount -= equal;
        }
        if (line < end)
            return true;
        line = end;
        shift += Signed(range.count) - Signed(range.savedCount);
        if (range.count == 0 && range.savedCount == 0)
            m_ranges.erase(m_ranges.begin() + static_cast<std::ptrdiff_t>(r));
        else
            ++r;
    }
    // As many lines as saved, so the last range left the rest where they were.
    m_ranges.clear();
    return false;
}

} // namespace doctext
