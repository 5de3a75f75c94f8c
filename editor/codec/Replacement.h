#pragma once
// What a character that a config file would not keep is replaced with: the nearest
// character that every position keeps. One fixed table, so that the editor and the
// command-line tools replace alike and a test can read the whole of it.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct Replacement
{
    char32_t from;
    char16_t to; // always printable ASCII, which survives at every position
};

// Typographic quotes to straight quotes, dashes to a hyphen, letters with accents (and
// with a stroke) to their base letter; sorted by `from`.
std::span<const Replacement> ReplacementTable();

// The table's replacement for `character`, or '?' for one the table does not hold.
char16_t ReplacementFor(char32_t character);

// One character of the original text replaced: `length` units (2 for a surrogate pair,
// more with the combining marks that sat on it) from `index` (from 0) became the single
// unit `with`.
struct ReplacementEdit
{
    std::size_t index = 0;
    std::size_t length = 1;
    char16_t with = u'?';
    friend bool operator==(const ReplacementEdit &, const ReplacementEdit &) = default;
};

struct ReplacedText
{
    std::u16string text;
    std::vector<ReplacementEdit> edits; // in text order
};

// Replaces every character that would not come back from a save and re-open with `key`.
// A surrogate pair becomes one unit and moves what follows it one position back; each
// later character is judged at the position it ends up at, so the result keeps every unit
// (LostUnits of it is empty). Combining marks after a character are dropped with it (a
// kept letter then "replaced" by itself); one at the start of a line becomes "?". An
// empty key keeps everything and replaces nothing.
ReplacedText ReplaceLostCharacters(std::u16string_view text, std::u16string_view key);
