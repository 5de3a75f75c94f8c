#pragma once
// The config files' text cipher: a repeating-key shift of each UTF-16 code unit by one
// key letter's code, kept to 8 bits. Text position i (from 1) uses key letter
// (i mod m) + 1 of an m-letter key.

#include <string>

// The key every document uses in both directions.
inline constexpr char16_t DocumentKey[] = u"brazento";

// Raises RunTimeError (Source "EnCrypt", Description "EnCrypt:" + cause) on overflow:
// 32,767 units or more, or a unit whose signed value plus its key code exceeds 32,767.
std::u16string EnCrypt(const std::u16string &text, std::u16string key);

// Positions whose difference is 0 or below are dropped. Raises RunTimeError (Source
// "DeCrypt") for 32,767 units or more, or a unit whose signed value minus its key code
// is below -32,768.
std::u16string DeCrypt(std::u16string text, std::u16string key);
