#include "TextSearch.h"

#include <gtest/gtest.h>

using namespace textsearch;

namespace {

struct FindCase
{
    const char16_t *text;
    const char16_t *pattern;
    std::size_t from;
    Options options;
    std::optional<std::size_t> next; // where FindNext lands
    bool nextWraps;
};

} // namespace

TEST(TextSearch, FindNextHonoursCaseWholeWordsAndWraps)
{
    const Options anyCase{};
    const Options exactCase{true, false};
    const Options words{false, true};
    const FindCase cases[] = {
        {u"Port=1\nport=2", u"port", 0, anyCase, 0, false},
        {u"Port=1\nport=2", u"port", 1, anyCase, 7, false},
        {u"Port=1\nport=2", u"port", 0, exactCase, 7, false},
        {u"Port=1\nport=2", u"Port", 1, exactCase, 0, true}, // only behind: wraps
        {u"Port=1\nport=2", u"PORT", 8, anyCase, 0, true},
        {u"baud baudrate rebaud baud", u"baud", 1, words, 21, false},
        {u"baud_rate baud", u"baud", 0, words, 10, false}, // "_" belongs to the word
        {u"x=\u00C9T\u00C9 y=\u00E9t\u00E9", u"\u00E9t\u00E9", 0, anyCase, 2, false},
        {u"x=\u00C9T\u00C9 y=\u00E9t\u00E9", u"\u00E9t\u00E9", 0, exactCase, 8, false},
        {u"\u00E9baud", u"baud", 0, words, std::nullopt, false}, // a Latin-1 letter touches
        {u"2\u00F7baud\u00D7", u"baud", 0, words, 2, false},     // Latin-1 signs part words
        // Every script folds, not Latin alone: Cyrillic, Greek (final sigma too), signs.
        {u"x \u0441\u043B\u043E\u0432\u043E", u"\u0421\u041B\u041E\u0412\u041E", 0, anyCase, 2,
         false},
        {u"x \u0441\u043B\u043E\u0432\u043E", u"\u0421\u041B\u041E\u0412\u041E", 0, exactCase,
         std::nullopt, false},
        {u"\u039F\u03A3", u"\u03BF\u03C2", 0, anyCase, 0, false},
        {u"5 \u212A", u"k", 0, anyCase, 2, false},
        {u"\u0100\u0101\u0102", u"\u0103", 0, anyCase, 2, false},
        {u"x=\u00DE y=\u00FE", u"\u00FE", 0, anyCase, 2, false}, // the last pair in Latin-1
        {u"\u00F7 \u00D7", u"\u00D7", 0, anyCase, 2, false},     // signs, 0x20 apart, no case
        {u"a\nb", u"a\nb", 0, anyCase, std::nullopt, false},     // never over a line's end
        {u"abc", u"", 0, anyCase, std::nullopt, false},
        {u"ab", u"abc", 0, anyCase, std::nullopt, false},
        {u"abc", u"c", 3, anyCase, 2, true}, // from the very end
    };
    for (const FindCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "case at from " << c.from << " pattern length "
                                        << std::u16string_view(c.pattern).size());
        const auto found = FindNext(c.text, c.pattern, c.from, c.options);
        ASSERT_EQ(found.has_value(), c.next.has_value());
        if (found) {
            EXPECT_EQ(found->position, *c.next);
            EXPECT_EQ(found->length, std::u16string_view(c.pattern).size());
            EXPECT_EQ(found->wrapped, c.nextWraps);
        }
    }
}

TEST(TextSearch, FindPreviousGoesBackFromTheSelectionAndWrapsToTheEnd)
{
    const std::u16string_view text = u"key=1 key=2 key=3";
    const struct
    {
        std::size_t before;
        std::size_t position;
        bool wrapped;
        std::u16string_view text = u"key=1 key=2 key=3";
    } cases[] = {
        {17, 12, false}, // from the end: the last one
        {12, 6, false},  // from the start of the third: the second
        {14, 6, false},  // a match not wholly before `before` is skipped
        {9, 6, false},   // ends exactly at `before`
        {2, 12, true},   // nothing before: the last one in the text
        {0, 12, true},
        {4, 2, true, u"a key b"}, // the caret inside the only match: wraps round to it
    };
    for (const auto &c : cases) {
        const auto found = FindPrevious(c.text, u"KEY", c.before, {});
        ASSERT_TRUE(found) << c.before;
        EXPECT_EQ(found->position, c.position) << c.before;
        EXPECT_EQ(found->wrapped, c.wrapped) << c.before;
    }
    EXPECT_FALSE(FindPrevious(text, u"KEY", 17, {true, false}));
    EXPECT_FALSE(FindPrevious(u"ab", u"abc", 2, {}));
}

TEST(TextSearch, FindAllTakesMatchesLeftToRightWithoutOverlap)
{
    EXPECT_EQ(FindAll(u"aaaaa", u"aa", {}), (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(FindAll(u"Key key KEY keys", u"key", {false, true}),
              (std::vector<std::size_t>{0, 4, 8}));
    EXPECT_EQ(FindAll(u"Key key KEY keys", u"key", {true, false}),
              (std::vector<std::size_t>{4, 12}));
    EXPECT_TRUE(FindAll(u"x\ny", u"x\ny", {}).empty());
}

TEST(TextSearch, MatchesAtTellsWhetherASelectionIsAMatch)
{
    EXPECT_TRUE(MatchesAt(u"a Key b", u"key", 2, 3, {}));
    EXPECT_FALSE(MatchesAt(u"a Key b", u"key", 2, 3, {true, false}));
    EXPECT_FALSE(MatchesAt(u"a Keys b", u"key", 2, 3, {false, true}));
    EXPECT_FALSE(MatchesAt(u"a Key b", u"key", 2, 2, {}));
    EXPECT_FALSE(MatchesAt(u"a Key", u"key", 4, 3, {})); // past the end
}

TEST(TextSearch, ParsePlaceTakesALineOrLineColon)
{
    const struct
    {
        const char16_t *text;
        std::optional<std::size_t> line;
        std::size_t column;
    } cases[] = {
        {u"12", 12, 1},
        {u"  7:3 ", 7, 3},
        {u"1:1", 1, 1},
        {u"0", std::nullopt, 0},
        {u"3:0", std::nullopt, 0},
        {u"", std::nullopt, 0},
        {u":4", std::nullopt, 0},
        {u"4:", std::nullopt, 0},
        {u"-2", std::nullopt, 0},
        {u"2:3:4", std::nullopt, 0},
        {u"1e3", std::nullopt, 0},
        {u"99999999999999999999999999", std::nullopt, 0},
    };
    for (const auto &c : cases) {
        const auto place = ParsePlace(c.text);
        ASSERT_EQ(place.has_value(), c.line.has_value())
            << std::u16string_view(c.text).size() << " units";
        if (place) {
            EXPECT_EQ(place->line, *c.line);
            EXPECT_EQ(place->column, c.column);
        }
    }
}

TEST(TextSearch, WordUnitsAreLettersDigitsAndUnderscore)
{
    for (char16_t unit : {u'a', u'Z', u'5', u'_', u'\u00E9', u'\u00DF', u'\u0416'})
        EXPECT_TRUE(IsWordUnit(unit)) << int(unit);
    for (char16_t unit : {u' ', u'=', u'.', u'-', u'\u00D7', u'\u00A0', u'\u2014'})
        EXPECT_FALSE(IsWordUnit(unit)) << int(unit);
}
