#pragma once
// Which lines of a text edits have touched since it was last saved, so that whether the
// text still differs from the saved one is told by comparing those lines alone, not the
// whole text at every keystroke. Plain C++.
//
// The touched lines lie in ranges; between two ranges the text's lines are the saved ones,
// moved by as many lines as the ranges before them added or took away. Only where they
// were not moved is a line known to equal the saved line of the same number; the rest are
// compared, and a comparison stops at the first line that differs.

#include <cstddef>
#include <functional>
#include <vector>

namespace doctext {

class EditedLines
{
public:
    // The text is the saved one, of `lines` lines.
    void Reset(std::size_t lines);
    // Lines [first, first + removed) of the text were replaced by `added` lines. Any
    // larger range that holds the edited lines may be given as well.
    void Replace(std::size_t first, std::size_t removed, std::size_t added);
    // How many lines the text has now.
    std::size_t Lines() const { return m_lines; }

    // Whether the text differs from the saved one. `same(i)` tells whether line i of the
    // text equals line i of the saved text (breaks included). Lines found equal in place
    // are not compared again until an edit touches them.
    bool Differs(const std::function<bool(std::size_t line)> &same);

private:
    struct Range
    {
        std::size_t first = 0; // of its lines in the text
        std::size_t count = 0;
        std::size_t savedCount = 0; // lines of the saved text they stand for
    };

    std::size_t m_lines = 0;
    std::size_t m_savedLines = 0;
    std::vector<Range> m_ranges; // in text order, none overlapping or touching another
};

} // namespace doctext
