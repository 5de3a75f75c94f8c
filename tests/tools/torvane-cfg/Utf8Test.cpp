// The tool's UTF-8 layer and the line and column it reports.
#include "Utf8.h"
#include "PathText.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, WellFormedInputBecomesTheSameCharactersInUtf16)
{
    const struct
    {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"", u""},
        {"a\r\nb\n", u"a\r\nb\n"},
        {std::string("\0x", 2), std::u16string(u"\0x", 2)},
        {"\xC3\xA9", u"\u00E9"},
        {"\xE2\x80\x9C", u"\u201C"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"\xC2\x80\xDF\xBF\xE0\xA0\x80", u"\u0080\u07FF\u0800"},
    };
    for (const auto &c : cases) {
        const auto text = Utf8ToUtf16(c.bytes);
        ASSERT_TRUE(text) << c.bytes;
        EXPECT_EQ(*text, c.text) << c.bytes;
        EXPECT_EQ(Utf8(c.text, false), c.bytes); // the way back, as decode writes it
    }
}

TEST(Utf8, EachMalformedSequenceIsRefusedAtItsFirstByte)
{
    const struct
    {
        std::string bytes;
        std::size_t offset, line, column;
    } cases[] = {
        {"\x80", 0, 1, 1},                     // stray continuation byte
        {"ab\xC3", 2, 1, 3},                   // cut short at the end
        {"ab\xC3x", 2, 1, 3},                  // continuation missing
        {"\xC0\xAF", 0, 1, 1},                 // overlong '/'
        {"\xC1\xBF", 0, 1, 1},                 // overlong
        {"\xE0\x9F\xBF", 0, 1, 1},             // overlong below U+0800
        {"\xF0\x8F\xBF\xBF", 0, 1, 1},         // overlong below U+10000
        {"\xED\xA0\x80", 0, 1, 1},             // encoded high surrogate
        {"\xED\xBF\xBF", 0, 1, 1},             // encoded low surrogate
        {"\xF4\x90\x80\x80", 0, 1, 1},         // past U+10FFFF
        {"\xF5\x80\x80\x80", 0, 1, 1},         // no such lead byte
        {"\xFF", 0, 1, 1},                     //
        {"x\r\ny\xE9z", 4, 2, 2},              // Latin-1, not UTF-8, after CR LF
        {"\xC3\xA9\xC3\xA9\n\n\x80", 6, 3, 1}, // lines and columns, not bytes
        {"a\rb\rc\xE2\x82", 5, 3, 2},          // lone CR ends a line too
        {"\xC3\xA9\xC3\xA9\x80", 4, 1, 3},     // columns count characters, not bytes
        {"a\xE2\x80\xA9"
         "b\xFF",
         5, 2, 2}, // U+2029 ends a line, as in the editor's text box
        {"\xF0\x9F\x98\x80"
         "b\xBF",
         5, 1, 3}, // a pair is one column, as in the editor
    };
    for (const auto &c : cases) {
        Utf8Error error;
        EXPECT_FALSE(Utf8ToUtf16(c.bytes, &error));
        EXPECT_EQ(error.offset, c.offset) << testing::PrintToString(c.bytes);
        EXPECT_EQ(error.line, c.line) << testing::PrintToString(c.bytes);
        EXPECT_EQ(error.column, c.column) << testing::PrintToString(c.bytes);
    }
}

} // namespace
