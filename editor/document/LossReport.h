#pragma once
// The words for what a config file would lose: the question before a save that would
// drop or change characters, and the reasons a text cannot be written at all. Plain C++,
// texts in UTF-8, so that the command-line tools say the same as the editor.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lossreport {

// Line and column (both from 1) of unit `index` of `text`, with lines broken where the
// document's text box breaks them. Columns count characters (code points), as a person
// does: a surrogate pair before the unit is one column.
struct Place
{
    std::size_t line = 1;
    std::size_t column = 1;
    friend bool operator==(const Place &, const Place &) = default;
};
Place PlaceOf(std::u16string_view text, std::size_t index);

// The places of many units of one text, asked for in increasing order, in one pass over
// the text (a tool that names every lost character would otherwise read it once each).
class PlaceWalker
{
public:
    explicit PlaceWalker(std::u16string_view text) : m_text(text) {}

    // `index` must not be below that of the previous call.
    Place At(std::size_t index);

private:
    std::u16string_view m_text;
    std::size_t m_next = 0; // the first unit not yet passed
    std::size_t m_line = 1;
    std::size_t m_lineStart = 0;
    std::size_t m_pairs = 0; // surrogate pairs passed on the current line
};

// 33010 as "33,010".
std::string Thousands(std::size_t number);

// The character that starts at unit `index`, as the messages name it: itself and its code
// ("é (U+00E9)"), or the code alone for one that would not show ("U+0000").
std::string CharacterName(std::u16string_view text, std::size_t index);

// How many characters are listed by name in a question; the rest are counted.
inline constexpr std::size_t ListedCharacters = 5;

// Why `text` cannot be written as a config file with `key` at all (too long, or a unit the
// cipher cannot take), or nothing when it can.
std::optional<std::string> SaveRefusal(std::u16string_view text, std::u16string_view key);

// The question before a save when `text` holds characters a config file would not give
// back; nothing when it holds none.
std::optional<std::string> LossQuestion(std::u16string_view text, std::u16string_view key);

// The warning after opening a file that holds `positions` positions deciphering drops or
// changes, and the question before the first save over that file.
std::string UnshownWarning(std::size_t positions);
std::string UnshownQuestion(std::size_t positions);

// What a save says when the file it wrote does not read back as the text it saved.
std::string ReadBackMismatch();

// What the status bar says about `lost` such characters and a text of `units` code units;
// empty when there is nothing to say.
std::string LossSummary(std::size_t lost, std::size_t units);

} // namespace lossreport
