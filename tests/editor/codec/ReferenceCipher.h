#pragma once
// The cipher's rule written out again, unit by unit and independently of the code under
// test: 16-bit signed arithmetic, results taken modulo 256 as numbers (not bit masks), and
// "position i uses key letter (i mod m) + 1". Shared by the cipher's tests and its fuzzer.

#include <optional>
#include <string>

namespace reference {

inline constexpr int Overflowed = -1;
inline constexpr int Dropped = -2;

inline int Signed16(char16_t u)
{
    return u >= 0x8000 ? int(u) - 65536 : int(u);
}

inline int Mod256(int v)
{
    return ((v % 256) + 256) % 256;
}

// Upper-cased as the platform's single-byte set does (ASCII and Latin-1 letters); a
// character with no single-byte form counts as '?'.
inline int KeyCode(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        c = static_cast<char16_t>(c - 0x20);
    return c < 0x100 ? c : '?';
}

inline int KeyCodeAt(const std::u16string &key, std::size_t position)
{
    return KeyCode(key[position % key.size()]); // letter (i mod m) + 1, counted from 1
}

// What one unit becomes, or Overflowed.
inline int EnUnit(char16_t u, int k)
{
    const int s = Signed16(u) + k;
    return s > 32767 ? Overflowed : Mod256(s);
}

// What one unit becomes, Dropped, or Overflowed.
inline int DeUnit(char16_t u, int k)
{
    const int d = Signed16(u) - k;
    if (d < -32768)
        return Overflowed;
    return d > 0 ? Mod256(d) : Dropped;
}

// nullopt: error 6.
inline std::optional<std::u16string> EnCrypt(const std::u16string &text, const std::u16string &key)
{
    if (key.empty())
        return text;
    if (text.size() >= 32767)
        return std::nullopt;
    std::u16string out;
    for (std::size_t i = 1; i <= text.size(); ++i) {
        const int unit = EnUnit(text[i - 1], KeyCodeAt(key, i));
        if (unit == Overflowed)
            return std::nullopt;
        out.push_back(char16_t(unit));
    }
    return out;
}

inline std::optional<std::u16string> DeCrypt(const std::u16string &text, const std::u16string &key)
{
    if (key.empty())
        return text;
    if (text.size() >= 32767)
        return std::nullopt;
    std::u16string out;
    for (std::size_t i = 1; i <= text.size(); ++i) {
        const int unit = DeUnit(text[i - 1], KeyCodeAt(key, i));
        if (unit == Overflowed)
            return std::nullopt;
        if (unit != Dropped)
            out.push_back(char16_t(unit));
    }
    return out;
}

} // namespace reference
