#pragma once
// What the Properties dialog tells about a document's text: its line breaks, and where
// the characters stand that a save would lose. Plain C++.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace doctext {

struct BreakCounts
{
    std::size_t crLf = 0;
    std::size_t lf = 0;
    std::size_t cr = 0;
    std::size_t other = 0; // paragraph separators and the like, from pasted text
};

// The breaks of `text` as SplitLines finds them.
BreakCounts CountBreaks(std::u16string_view text);

// "CR LF", "LF" or "CR" when the text uses that break alone, "none" for a single line,
// else "mixed" with the count of each kind: "mixed (2 CR LF, 1 LF)".
std::string BreakStyle(const BreakCounts &counts);

// A place in the text as a person counts it: line and column, both from 1, columns in
// characters (code points).
struct Place
{
    std::size_t line = 1;
    std::size_t column = 1;
};

// The places of the units at `indexes` (from 0, in ascending order). A break counts as
// the end of its line, a CR LF as one break.
std::vector<Place> PlacesOf(std::u16string_view text, const std::vector<std::size_t> &indexes);

} // namespace doctext
