#pragma once
// The line breaks a log text may hold. The log widget turns every one of them into a
// new paragraph and forgets which it was; these helpers let it remember, so the text
// read back is the text written.

#include <string>
#include <string_view>
#include <vector>

namespace tester {

// What ended the line before. The values are stored with each paragraph of the log,
// so they must not change.
enum class LineBreak : int {
    None = 0, // the first line of a text
    CrLf = 1,
    Lf = 2,
    Cr = 3,
    Paragraph = 4,  // U+2029
    FrameStart = 5, // U+FDD0, which the text widget also takes as a paragraph end
    FrameEnd = 6,   // U+FDD1, likewise
};

struct Line
{
    LineBreak before = LineBreak::None;
    std::u16string_view text;
};

// The lines of `text`, split at every break above; a CR directly followed by an LF is
// one break. Joining each line's break text and its text gives `text` again.
std::vector<Line> SplitLines(std::u16string_view text);

// The characters of a break (empty for None).
std::u16string_view BreakText(LineBreak lineBreak);

// `text` with every CR LF, bare CR and bare LF made one LF, the break a file written in
// text mode turns into the platform's own; the rarer breaks stay the characters they are.
std::u16string WithLineFeeds(std::u16string_view text);

// The stored value back to a break; anything unknown is a CR LF, the break a user
// types into the log.
LineBreak BreakFromStored(int stored);

} // namespace tester
