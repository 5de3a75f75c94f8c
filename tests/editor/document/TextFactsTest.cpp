#include "TextFacts.h"

#include <gtest/gtest.h>

using namespace doctext;

TEST(TextFacts, BreakStyleNamesTheOneBreakInUseOrCountsAMix)
{
    const struct
    {
        std::u16string_view text;
        const char *style;
    } cases[] = {
        {u"", "none"},
        {u"one line", "none"},
        {u"a\r\nb\r\n", "CR LF"},
        {u"a\nb", "LF"},
        {u"a\rb\r", "CR"},
        {u"a\r\nb\nc\r\nd\re", "mixed (2 CR LF, 1 LF, 1 CR)"},
        {u"a\n\r", "mixed (1 LF, 1 CR)"}, // LF then CR is not a CR LF
        {u"a\r\nb\u2029c", "mixed (1 CR LF, 1 other)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BreakStyle(CountBreaks(c.text)), c.style)
            << std::string(c.text.begin(), c.text.end());
}

TEST(TextFacts, PlacesCountLinesAndColumnsFromOneWithCrLfAsOneBreak)
{
    const std::u16string_view text = u"ab\r\ncd\ne\rfg";
    //                                  0 1 2 3 4 5 6 7 8 9 10
    const std::vector<Place> places = PlacesOf(text, {0, 1, 2, 3, 4, 6, 7, 8, 10});
    const std::vector<std::pair<std::size_t, std::size_t>> expected = {
        {1, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 3}, {3, 1}, {3, 2}, {4, 2}};
    ASSERT_EQ(places.size(), expected.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        EXPECT_EQ(places[i].line, expected[i].first) << i;
        EXPECT_EQ(places[i].column, expected[i].second) << i;
    }
    EXPECT_TRUE(PlacesOf(text, {}).empty());
    EXPECT_TRUE(PlacesOf(u"", {}).empty());
    // An emoji is one column, though two units.
    const std::vector<Place> paired = PlacesOf(u"\U0001F600x\U0001F600y\nz", {2, 5, 7});
    ASSERT_EQ(paired.size(), 3u);
    EXPECT_EQ(paired[0].column, 2u);
    EXPECT_EQ(paired[1].column, 4u);
    EXPECT_EQ(paired[2].column, 1u);
}
