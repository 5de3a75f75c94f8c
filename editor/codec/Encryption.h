#pragma once
// The config files' text cipher: a repeating-key shift of each UTF-16 code unit by one
// key letter's code, kept to 8 bits. Text position i (from 1) uses key letter
// (i mod m) + 1 of an m-letter key, so the key is used from its second letter on.
// The key is upper-cased first; a key letter counts by its single-byte code (ASCII
// letters by their ASCII codes; Latin-1 characters by their own code; anything else
// as '?'). An empty key leaves the text as it is.

#include <string>

// The key every document uses in both directions.
inline constexpr char16_t DocumentKey[] = u"brazento";

// Each unit u becomes (u + k) mod 256, u read as a signed 16-bit value. Raises
// RunTimeError 6 (Source "EnCrypt", Description "EnCrypt:Overflow") for a text of
// 32,767 units or more, or a unit whose signed value plus its key code exceeds 32,767.
std::u16string EnCrypt(const std::u16string &text, std::u16string key);

// Each unit u gives d = u - k (signed 16-bit); d mod 256 is kept when d > 0, and the unit
// is dropped otherwise. Raises RunTimeError 6 (Source "DeCrypt", Description
// "DeCrypt:Overflow") for a text of 32,767 units or more, or a unit whose signed value
// minus its key code is below -32,768.
std::u16string DeCrypt(const std::u16string &text, std::u16string key);
