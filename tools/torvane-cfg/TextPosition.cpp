#include "TextPosition.h"

namespace {

bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}
bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

} // namespace

TextPosition PositionWalker::At(std::size_t index)
{
    for (; next_ < index && next_ < text_.size(); ++next_) {
        const char16_t u = text_[next_];
        if (u == u'\n' ||
            (u == u'\r' && (next_ + 1 == text_.size() || text_[next_ + 1] != u'\n'))) {
            ++where_.line;
            where_.column = 1;
        } else if (u == u'\r') {
            // the CR of a CR LF: the LF ends the line
        } else if (IsLowSurrogate(u) && next_ > 0 && IsHighSurrogate(text_[next_ - 1])) {
            // second half of a character already counted
        } else {
            ++where_.column;
        }
    }
    TextPosition here = where_;
    // The second unit of a pair stands where its first does.
    if (index < text_.size() && index > 0 && IsLowSurrogate(text_[index]) &&
        IsHighSurrogate(text_[index - 1]))
        --here.column;
    return here;
}

TextPosition PositionOf(std::u16string_view text, std::size_t index)
{
    return PositionWalker(text).At(index);
}
