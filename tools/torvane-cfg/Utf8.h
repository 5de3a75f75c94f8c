#pragma once
// Strict UTF-8 for the command line's standard input and output: the config text itself
// is UTF-16, so every byte that comes in must name exactly one character.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct Utf8Error
{
    std::size_t offset = 0; // byte offset (from 0) of the first byte that is not valid
    std::size_t line = 1;   // line and column (from 1) of that byte, as the editor counts
    std::size_t column = 1; // them (lossreport::PlaceOf): columns in characters
};

// The text `bytes` encode, or nothing with `error` filled in. Refused: stray or missing
// continuation bytes, overlong forms, encoded surrogates and code points past U+10FFFF.
std::optional<std::u16string> Utf8ToUtf16(std::string_view bytes, Utf8Error *error = nullptr);

// The way back is the codec's Utf8(text, false): an unpaired surrogate becomes U+FFFD, as
// it names no character.
