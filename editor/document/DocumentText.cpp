#include "DocumentText.h"

#include <array>

namespace doctext {

std::size_t BreakAt(std::u16string_view text, std::size_t i)
{
    switch (text[i]) {
    case u'\r':
        return i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
    case u'\n':
    case u'\u2029':
    case u'\uFDD0':
    case u'\uFDD1':
        return 1;
    default:
        return 0;
    }
}

std::vector<Line> SplitLines(std::u16string_view text)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = BreakAt(text, i);
        if (length == 0) {
            ++i;
            continue;
        }
        lines.push_back({std::u16string(text.substr(start, i - start)),
                         std::u16string(text.substr(i, length))});
        i += length;
        start = i;
    }
    lines.push_back({std::u16string(text.substr(start)), {}});
    return lines;
}

std::u16string JoinLines(const std::vector<Line> &lines, std::u16string_view defaultBreak)
{
    std::u16string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i].text;
        if (i + 1 < lines.size())
            text += lines[i].lineBreak.empty() ? defaultBreak : lines[i].lineBreak;
    }
    return text;
}

std::u16string PreferredBreak(std::u16string_view text)
{
    const std::array<std::u16string_view, 3> kinds{CrLf, u"\n", u"\r"};
    std::array<std::size_t, 3> count{};
    std::array<std::size_t, 3> first{text.size(), text.size(), text.size()};
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t length = BreakAt(text, i);
        std::size_t kind = 3;
        if (length == 2)
            kind = 0;
        else if (text[i] == u'\n')
            kind = 1;
        else if (text[i] == u'\r')
            kind = 2;
        if (kind < 3) {
            ++count[kind];
            if (first[kind] == text.size())
                first[kind] = i;
        }
        i += length > 1 ? length - 1 : 0;
    }
    std::size_t best = 0;
    for (std::size_t k = 1; k < 3; ++k) {
        if (count[k] > count[best] || (count[k] == count[best] && first[k] < first[best]))
            best = k;
    }
    return count[best] == 0 ? std::u16string(CrLf) : std::u16string(kinds[best]);
}

} // namespace doctext
