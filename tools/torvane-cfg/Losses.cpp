#include "Losses.h"

#include "Survival.h"

#include <cstdio>

namespace {

// The cipher reads a unit as a signed 16-bit value.
int Signed(char16_t unit)
{
    return unit < 0x8000 ? unit : int(unit) - 0x10000;
}

} // namespace

std::vector<Loss> PlainLosses(std::u16string_view text, std::u16string_view key)
{
    std::vector<Loss> losses;
    for (const std::size_t i : LostUnits(text, key)) {
        const int k = KeyCodeAt(key, i + 1);
        const char16_t u = text[i];
        Loss loss{i, u, Fate::Dropped, 0};
        if (Signed(u) + k > 32767) {
            loss.fate = Fate::Overflows;
        } else {
            // Stored as (u + k) mod 256 and deciphered as that minus k when positive.
            const int back = ((Signed(u) + k) & 0xFF) - k;
            if (back > 0) {
                loss.fate = Fate::Changed;
                loss.becomes = static_cast<char16_t>(back);
            }
        }
        losses.push_back(loss);
    }
    return losses;
}

std::vector<Loss> StoredLosses(std::u16string_view stored, std::u16string_view key)
{
    std::vector<Loss> losses;
    for (const std::size_t i : UnreadableUnits(stored, key)) {
        const int k = KeyCodeAt(key, i + 1);
        const char16_t s = stored[i];
        const int d = Signed(s) - k;
        Loss loss{i, s, Fate::Dropped, 0};
        if (d < -32768) {
            loss.fate = Fate::Overflows;
        } else if (d > 0) {
            loss.fate = Fate::Changed;
            loss.becomes = static_cast<char16_t>(d & 0xFF);
        }
        losses.push_back(loss);
    }
    return losses;
}

std::string CharacterName(char32_t character)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
    return name;
}

std::string UnitName(char16_t unit)
{
    return CharacterName(unit);
}
