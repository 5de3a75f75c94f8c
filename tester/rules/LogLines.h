#pragma once
// The tester's log text held compactly: each line's characters as UTF-8 in large shared
// chunks, and per line where it lies, how long it is and which break opened it. The
// widget over it lays out only the lines it shows, so a log of a long run costs little
// more than its text.

#include "LineBreaks.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tester {

// A place in the log: a line, and a UTF-16 unit of that line (its length is its end).
struct LogPosition
{
    std::size_t line = 0;
    std::size_t column = 0;
    auto operator<=>(const LogPosition &) const = default;
};

class LogLines
{
public:
    static constexpr std::size_t ChunkBytes = 64 * 1024;

    // An empty log: one empty line.
    LogLines();

    std::size_t LineCount() const { return m_lines.size(); }
    std::u16string Line(std::size_t index) const;
    // In UTF-16 units.
    std::size_t LineLength(std::size_t index) const { return m_lines[index].units; }
    LineBreak BreakBefore(std::size_t index) const;
    LogPosition End() const { return {m_lines.size() - 1, m_lines.back().units}; }

    // Adds `text` after everything, each of its breaks kept as it is.
    void Append(std::u16string_view text);

    // Puts `text` in place of what lies from `from` to `to`, as typing and pasting do: a
    // break in `text` opens its line with CR LF, the break a user types. A line cut in two
    // keeps its own break for its first part. Returns the place just after `text`.
    LogPosition Replace(LogPosition from, LogPosition to, std::u16string_view text);

    // The whole text, each line opened by its own break.
    std::u16string Text() const;
    // The text from `from` to `to`, with `lineBreak` between its lines.
    std::u16string Text(LogPosition from, LogPosition to, std::u16string_view lineBreak) const;

    // `position` moved onto the text: a line that exists and a column within it.
    LogPosition Clamp(LogPosition position) const;

private:
    struct Place
    {
        std::uint32_t chunk = 0; // the top bits hold the break that opened the line
        std::uint32_t offset = 0;
        std::uint32_t bytes = 0;
        std::uint32_t units = 0;
    };

    Place Store(std::u16string_view text, LineBreak before);
    std::string_view Bytes(const Place &place) const;
    // Gives back what a line being replaced held, where that can be had cheaply.
    void Release(const Place &place);

    // Chunks are filled one after the other and never moved, so no line is copied as the
    // log grows; a line longer than a chunk gets one of its own size.
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::size_t m_filling = 0;       // the chunk being filled
    std::size_t m_used = ChunkBytes; // and how much of it; full until there is one
    // A deque grows in fixed blocks, never to twice what it holds.
    std::deque<Place> m_lines;
};

// UTF-16 to UTF-8, and back. A lone surrogate is written as the three bytes its value
// would take, so that whatever a device sent reads back unit for unit.
std::size_t Utf8Length(std::u16string_view text);
char *WriteUtf8(char *out, std::u16string_view text);
void AppendUtf16(std::u16string &out, std::string_view bytes);

} // namespace tester
