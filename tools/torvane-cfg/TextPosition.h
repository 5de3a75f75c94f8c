#pragma once
// Where a code unit stands in a text, as a person counts it in an editor.

#include <cstddef>
#include <string_view>

struct TextPosition
{
    std::size_t line = 1;   // from 1; lines end at LF, at CR LF and at a lone CR
    std::size_t column = 1; // from 1, in characters: a surrogate pair is one
};

// The position of the unit at `index` (from 0) of `text`; `index` may be text.size(),
// the place just after the last unit.
TextPosition PositionOf(std::u16string_view text, std::size_t index);

// Walks a text once, for the positions of many units in increasing order.
class PositionWalker
{
public:
    explicit PositionWalker(std::u16string_view text) : text_(text) {}

    // `index` must not be below that of the previous call.
    TextPosition At(std::size_t index);

private:
    std::u16string_view text_;
    std::size_t next_ = 0;
    TextPosition where_;
};
