#pragma once
// What the cipher loses, unit by unit, told in a way a person can act on. Which units are
// lost is the codec's rule (Survival.h); this says what becomes of each.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class Fate {
    Dropped,   // gone from the text
    Changed,   // comes back as another unit (`becomes`)
    Overflows, // the cipher's 16-bit arithmetic fails on it: the whole text is refused
};

struct Loss
{
    std::size_t index = 0; // from 0
    char16_t unit = 0;
    Fate fate = Fate::Dropped;
    char16_t becomes = 0; // for Changed
};

// The units of plain text that a save with `key` followed by a re-open would not give back.
std::vector<Loss> PlainLosses(std::u16string_view text, std::u16string_view key);

// The stored units (as the file reader returns them) that deciphering with `key` drops,
// changes, or cannot decipher at all.
std::vector<Loss> StoredLosses(std::u16string_view stored, std::u16string_view key);

// "U+00E9", "U+1F600".
std::string UnitName(char16_t unit);
std::string CharacterName(char32_t character);
