#include "TextSearch.h"

#include "CaseFold.h"

#include <limits>

namespace textsearch {

namespace {

bool IsLineBreak(char16_t unit)
{
    return unit == u'\n' || unit == u'\r';
}

bool Usable(std::u16string_view pattern)
{
    if (pattern.empty())
        return false;
    for (char16_t unit : pattern)
        if (IsLineBreak(unit))
            return false;
    return true;
}

bool SameUnits(std::u16string_view text, std::u16string_view pattern, std::size_t position,
               bool matchCase)
{
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t a = text[position + i];
        const char16_t b = pattern[i];
        if (a != b && (matchCase || SimpleCaseFold(a) != SimpleCaseFold(b)))
            return false;
    }
    return true;
}

bool MatchAt(std::u16string_view text, std::u16string_view pattern, std::size_t position,
             Options options)
{
    if (!SameUnits(text, pattern, position, options.matchCase))
        return false;
    if (!options.wholeWord)
        return true;
    const std::size_t end = position + pattern.size();
    return (position == 0 || !IsWordUnit(text[position - 1])) &&
           (end == text.size() || !IsWordUnit(text[end]));
}

} // namespace

bool IsWordUnit(char16_t unit)
{
    if ((unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
        (unit >= u'0' && unit <= u'9') || unit == u'_')
        return true;
    if (unit < 0x80)
        return false;
    if (unit <= 0xFF)
        return unit == 0xAA || unit == 0xB5 || unit == 0xBA ||
               (unit >= 0xC0 && unit != 0xD7 && unit != 0xF7);
    // Beyond Latin-1 (text typed here that no file will keep) only the general punctuation
    // is told apart; the rest counts as letters.
    return unit < 0x2000 || unit > 0x206F;
}

std::optional<Match> FindNext(std::u16string_view text, std::u16string_view pattern,
                              std::size_t from, Options options)
{
    if (!Usable(pattern) || pattern.size() > text.size())
        return std::nullopt;
    const std::size_t last = text.size() - pattern.size();
    for (std::size_t p = from; p <= last; ++p)
        if (MatchAt(text, pattern, p, options))
            return Match{p, pattern.size(), false};
    for (std::size_t p = 0; p <= last && p < from; ++p)
        if (MatchAt(text, pattern, p, options))
            return Match{p, pattern.size(), true};
    return std::nullopt;
}

std::optional<Match> FindPrevious(std::u16string_view text, std::u16string_view pattern,
                                  std::size_t before, Options options)
{
    if (!Usable(pattern) || pattern.size() > text.size())
        return std::nullopt;
    const std::size_t last = text.size() - pattern.size();
    // Starts that end at or before `before`, from the nearest back to the first.
    if (before >= pattern.size()) {
        for (std::size_t p = std::min(before - pattern.size(), last) + 1; p-- > 0;)
            if (MatchAt(text, pattern, p, options))
                return Match{p, pattern.size(), false};
    }
    const std::size_t firstWrapped =
        before >= pattern.size() ? before - pattern.size() + 1 : std::size_t{0};
    for (std::size_t p = last + 1; p-- > firstWrapped;)
        if (MatchAt(text, pattern, p, options))
            return Match{p, pattern.size(), true};
    return std::nullopt;
}

bool MatchesAt(std::u16string_view text, std::u16string_view pattern, std::size_t position,
               std::size_t length, Options options)
{
    return Usable(pattern) && length == pattern.size() && position <= text.size() &&
           length <= text.size() - position && MatchAt(text, pattern, position, options);
}

std::vector<std::size_t> FindAll(std::u16string_view text, std::u16string_view pattern,
                                 Options options)
{
    std::vector<std::size_t> found;
    if (!Usable(pattern) || pattern.size() > text.size())
        return found;
    const std::size_t last = text.size() - pattern.size();
    for (std::size_t p = 0; p <= last;) {
        if (MatchAt(text, pattern, p, options)) {
            found.push_back(p);
            p += pattern.size();
        } else {
            ++p;
        }
    }
    return found;
}

std::optional<Place> ParsePlace(std::u16string_view text)
{
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);

    // One number from 1; anything that is not digits, or too large to mean a line, fails.
    const auto number = [](std::u16string_view digits) -> std::optional<std::size_t> {
        if (digits.empty())
            return std::nullopt;
        constexpr std::size_t limit = std::numeric_limits<std::size_t>::max() / 10 - 9;
        std::size_t value = 0;
        for (char16_t c : digits) {
            if (c < u'0' || c > u'9' || value > limit)
                return std::nullopt;
            value = value * 10 + static_cast<std::size_t>(c - u'0');
        }
        if (value == 0)
            return std::nullopt;
        return value;
    };

    const std::size_t colon = text.find(u':');
    const std::optional<std::size_t> line = number(text.substr(0, colon));
    if (!line)
        return std::nullopt;
    if (colon == std::u16string_view::npos)
        return Place{*line, 1};
    const std::optional<std::size_t> column = number(text.substr(colon + 1));
    if (!column)
        return std::nullopt;
    return Place{*line, *column};
}

} // namespace textsearch
