#pragma once
// Finding text in a document as the text box shows it: the lines joined by one "\n" each,
// whatever breaks the file has, so that a position here is a position of the text box.
// A match never runs over the end of a line, so replacing matches never touches a break.
// Plain C++.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace textsearch {

struct Options
{
    bool matchCase = false;
    bool wholeWord = false;
};

struct Match
{
    std::size_t position = 0; // first unit, from 0
    std::size_t length = 0;
    bool wrapped = false; // found only by going on from the other end of the text
};

// The first match starting at or after `from`; failing that, the first one from the start
// of the text (wrapped). An empty pattern, or one holding a line break, matches nothing.
std::optional<Match> FindNext(std::u16string_view text, std::u16string_view pattern,
                              std::size_t from, Options options);

// The last match ending at or before `before`; failing that, the last one in the text
// (wrapped).
std::optional<Match> FindPrevious(std::u16string_view text, std::u16string_view pattern,
                                  std::size_t before, Options options);

// Whether the pattern matches exactly the units [position, position + length).
bool MatchesAt(std::u16string_view text, std::u16string_view pattern, std::size_t position,
               std::size_t length, Options options);

// Every match from the start, left to right, none overlapping the one before.
std::vector<std::size_t> FindAll(std::u16string_view text, std::u16string_view pattern,
                                 Options options);

// Letters, digits and "_": what a whole word is made of and must not touch.
bool IsWordUnit(char16_t unit);

// A place to go to: "line" or "line:column", both from 1, blanks around them allowed.
struct Place
{
    std::size_t line = 1;
    std::size_t column = 1;
};
std::optional<Place> ParsePlace(std::u16string_view text);

} // namespace textsearch
