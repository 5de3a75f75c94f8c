#pragma once
// The document's text as lines, each with the line break that ends it, so that a text
// put into a text box and read back keeps every break exactly as the file had it
// (CR LF, LF, CR, or a mix). Plain C++.

#include <string>
#include <string_view>
#include <vector>

namespace doctext {

inline constexpr std::u16string_view CrLf = u"\r\n";

struct Line
{
    std::u16string text;
    std::u16string lineBreak; // the break that ends the line; empty for the last line
};

// Length of the line break that starts at unit `i` of `text` (2 for CR LF, 1 for the
// others below), or 0 where none starts.
std::size_t BreakAt(std::u16string_view text, std::size_t i);

// Splits at CR LF, LF and CR, and at the other characters a text box starts a new
// paragraph at (U+2029, U+FDD0, U+FDD1), keeping each as the line's break. There is always
// one more line than there are breaks.
std::vector<Line> SplitLines(std::u16string_view text);

// The lines joined again; a line other than the last without a break of its own (one the
// user added) takes `defaultBreak`.
std::u16string JoinLines(const std::vector<Line> &lines, std::u16string_view defaultBreak);

// The break a new line should take: the most frequent of CR LF, LF and CR in the text (the
// first of them to appear when they are equally frequent), CR LF when there is none.
std::u16string PreferredBreak(std::u16string_view text);

} // namespace doctext
