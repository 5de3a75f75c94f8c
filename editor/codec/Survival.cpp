#include "Survival.h"

namespace {

// The same upper-casing and single-byte rule as the cipher's key.
int KeyCode(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        c = static_cast<char16_t>(c - 0x20);
    return c < 0x100 ? c : u'?';
}

template <typename Keeps>
std::vector<std::size_t> Failing(std::u16string_view text, std::u16string_view key, Keeps keeps)
{
    std::vector<std::size_t> failing;
    if (key.empty())
        return failing;
    std::vector<int> codes(key.size());
    for (std::size_t j = 0; j < key.size(); ++j)
        codes[j] = KeyCodeAt(key, j + 1);
    // The key letter is stepped along rather than found by a division per unit, which
    // would cost more than the test itself on a whole file.
    std::size_t letter = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!keeps(text[i], codes[letter]))
            failing.push_back(i);
        if (++letter == codes.size())
            letter = 0;
    }
    return failing;
}

} // namespace

int KeyCodeAt(std::u16string_view key, std::size_t position)
{
    return KeyCode(key[position % key.size()]);
}

std::vector<std::size_t> LostUnits(std::u16string_view text, std::u16string_view key)
{
    return Failing(text, key, [](char16_t u, int k) { return UnitSurvives(u, k); });
}

std::vector<CharacterSpan> LostCharacters(std::u16string_view text, std::u16string_view key)
{
    std::vector<CharacterSpan> characters;
    const std::vector<std::size_t> units = LostUnits(text, key);
    for (const std::size_t i : units) {
        // The low half of a pair is already inside the span its high half opened.
        if (!characters.empty() && characters.back().index + characters.back().length > i)
            continue;
        const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        characters.push_back({i, pair ? 2u : 1u});
    }
    return characters;
}

std::vector<std::size_t> OverflowingUnits(std::u16string_view text, std::u16string_view key)
{
    // A unit that overflows never survives, so only the lost ones need a second look.
    std::vector<std::size_t> overflowing;
    for (const std::size_t i : LostUnits(text, key)) {
        if (UnitOverflows(text[i], KeyCodeAt(key, i + 1)))
            overflowing.push_back(i);
    }
    return overflowing;
}

std::vector<std::size_t> UnreadableUnits(std::u16string_view stored, std::u16string_view key)
{
    return Failing(stored, key, [](char16_t u, int k) { return StoredUnitReadable(u, k); });
}
