// Any text, pattern and start: every match reported is a match, none runs over a line's
// end, Replace All's matches never overlap, and the Go To parser takes anything typed.

#include "TextSearch.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool HasBreak(std::u16string_view text)
{
    return text.find(u'\n') != std::u16string_view::npos ||
           text.find(u'\r') != std::u16string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace textsearch;
    if (size < 4)
        return 0;
    const Options options{(data[0] & 1) != 0, (data[0] & 2) != 0};
    const std::size_t patternLength = data[1] % 8;
    std::u16string units((size - 2) / 2, u'\0');
    std::memcpy(units.data(), data + 2, units.size() * 2);
    const std::u16string typed = units;
    // Few distinct units, so that matches are common.
    for (char16_t &unit : units)
        unit = static_cast<char16_t>(u"aA \n\r_\u00E9\u00C9"[unit % 8]);
    const std::u16string_view all(units);
    const std::u16string_view pattern = all.substr(0, std::min(patternLength, all.size()));
    const std::u16string_view text = all.substr(pattern.size());
    const std::size_t from = text.empty() ? 0 : data[0] % (text.size() + 1);

    for (const auto &found :
         {FindNext(text, pattern, from, options), FindPrevious(text, pattern, from, options)}) {
        if (!found)
            continue;
        Check(MatchesAt(text, pattern, found->position, found->length, options));
        Check(!HasBreak(text.substr(found->position, found->length)));
    }
    std::size_t end = 0;
    for (std::size_t position : FindAll(text, pattern, options)) {
        Check(position >= end);
        Check(MatchesAt(text, pattern, position, pattern.size(), options));
        end = position + pattern.size();
    }

    if (const auto place = ParsePlace(typed))
        Check(place->line >= 1 && place->column >= 1);
    return 0;
}
