#include "TextFacts.h"

#include "DocumentText.h"

#include <algorithm>

namespace doctext {

BreakCounts CountBreaks(std::u16string_view text)
{
    BreakCounts counts;
    for (const Line &line : SplitLines(text)) {
        if (line.lineBreak == u"\r\n")
            ++counts.crLf;
        else if (line.lineBreak == u"\n")
            ++counts.lf;
        else if (line.lineBreak == u"\r")
            ++counts.cr;
        else if (!line.lineBreak.empty())
            ++counts.other;
    }
    return counts;
}

std::string BreakStyle(const BreakCounts &counts)
{
    const std::pair<std::size_t, const char *> kinds[] = {
        {counts.crLf, "CR LF"}, {counts.lf, "LF"}, {counts.cr, "CR"}, {counts.other, "other"}};
    std::string used;
    std::string only;
    int kindsUsed = 0;
    for (const auto &[count, name] : kinds) {
        if (count == 0)
            continue;
        ++kindsUsed;
        only = name;
        if (!used.empty())
            used += ", ";
        used += std::to_string(count) + " " + name;
    }
    if (kindsUsed == 0)
        return "none";
    if (kindsUsed == 1)
        return only;
    return "mixed (" + used + ")";
}

std::vector<Place> PlacesOf(std::u16string_view text, const std::vector<std::size_t> &indexes)
{
    std::vector<Place> places;
    places.reserve(indexes.size());
    auto wanted = indexes.begin();
    std::size_t start = 0; // index of the current line's first unit
    std::size_t line = 1;
    for (const Line &piece : SplitLines(text)) {
        const std::size_t end = start + piece.text.size() + piece.lineBreak.size();
        // Columns count characters: a surrogate pair is one.
        std::size_t passed = 0; // units of the line looked at
        std::size_t pairs = 0;  // pairs among them
        for (; wanted != indexes.end() && *wanted < end; ++wanted) {
            const std::size_t offset = std::min(*wanted - start, piece.text.size());
            for (; passed < offset; ++passed) {
                if (passed > 0 && piece.text[passed] >= 0xDC00 && piece.text[passed] <= 0xDFFF &&
                    piece.text[passed - 1] >= 0xD800 && piece.text[passed - 1] <= 0xDBFF)
                    ++pairs;
            }
            places.push_back({line, *wanted - start - pairs + 1});
        }
        start = end;
        ++line;
    }
    return places;
}

} // namespace doctext
