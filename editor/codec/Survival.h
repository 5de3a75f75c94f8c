#pragma once
// Which characters a config file keeps. A plain unit u at a text position whose key letter
// has code k comes back from a save and re-open exactly when 0 < u and u + k < 256; every
// other unit is dropped or changed when the file is read back (or, for units whose signed
// value plus k passes 32,767, makes the save fail). Deciphering works the other way: a
// stored unit s comes back as a plain unit that enciphers back to s only when k < s < 256.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The single-byte code of the key letter that text position `position` (from 1) uses:
// letter (position mod m) + 1 of the m-letter key, upper-cased as the cipher does.
// The key must not be empty.
int KeyCodeAt(std::u16string_view key, std::size_t position);

// Whether plain unit `unit` comes back unchanged where its key letter has code `keyCode`.
constexpr bool UnitSurvives(char16_t unit, int keyCode)
{
    return unit > 0 && unit + keyCode < 256;
}

// Whether plain unit `unit` makes enciphering fail where its key letter has code `keyCode`:
// its signed 16-bit value plus the code passes 32,767. Such a unit never survives either.
constexpr bool UnitOverflows(char16_t unit, int keyCode)
{
    return unit < 0x8000 && unit + keyCode > 0x7FFF;
}

// The longest plain text a config file holds, in code units.
inline constexpr std::size_t MaxTextUnits = 32766;

// Whether stored unit `unit` deciphers to exactly one plain unit that enciphers back to it.
constexpr bool StoredUnitReadable(char16_t unit, int keyCode)
{
    return unit > keyCode && unit < 256;
}

// Indexes (from 0) of the units of a plain text that would not come back from a save and
// re-open with `key`. An empty key keeps every unit.
std::vector<std::size_t> LostUnits(std::u16string_view text, std::u16string_view key);

// A character of a text: one unit, or the two units of a surrogate pair.
struct CharacterSpan
{
    std::size_t index = 0; // of its first unit, from 0
    std::size_t length = 1;
    friend bool operator==(const CharacterSpan &, const CharacterSpan &) = default;
};

// The characters of a plain text that hold a unit that would not come back from a save
// and re-open with `key`, in text order. A surrogate pair is one character.
std::vector<CharacterSpan> LostCharacters(std::u16string_view text, std::u16string_view key);

// Indexes (from 0) of the units of a plain text that make enciphering with `key` fail.
std::vector<std::size_t> OverflowingUnits(std::u16string_view text, std::u16string_view key);

// Indexes (from 0) of the units of enciphered text (as the file reader returns it) that
// deciphering with `key` drops or changes. An empty key keeps every unit.
std::vector<std::size_t> UnreadableUnits(std::u16string_view stored, std::u16string_view key);
