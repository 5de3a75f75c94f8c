#include "Replacement.h"
#include "Encryption.h"
#include "ReferenceCipher.h"
#include "Survival.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::u16string Key = DocumentKey;

// The text with the edits put in, as the document applies them.
std::u16string Applied(std::u16string text, const std::vector<ReplacementEdit> &edits)
{
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
        text.replace(edit->index, edit->length, 1, edit->with);
    return text;
}

TEST(Replacement, TableIsSortedAndOnlyGivesCharactersEveryPositionKeeps)
{
    const auto table = ReplacementTable();
    ASSERT_FALSE(table.empty());
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(table[i - 1].from, table[i].from) << "entry " << i;
        }
        EXPECT_GE(table[i].to, u' ');
        EXPECT_LE(table[i].to, u'~');
        // Only characters that some position loses need a replacement.
        EXPECT_GE(table[i].from, 0xA6u) << "entry " << i;
        EXPECT_EQ(ReplacementFor(table[i].from), table[i].to);
    }
}

TEST(Replacement, FollowsTheTableAndGivesQuestionMarksOtherwise)
{
    const struct
    {
        char32_t from;
        char16_t to;
    } cases[] = {
        {0x201C, u'"'},  {0x201D, u'"'}, {0x201E, u'"'}, {0x00AB, u'"'}, {0x2018, u'\''},
        {0x2019, u'\''}, {0x2013, u'-'}, {0x2014, u'-'}, {0x2212, u'-'}, {0x00E9, u'e'},
        {0x00C0, u'A'},  {0x00FF, u'y'}, {0x00F8, u'o'}, {0x0141, u'L'}, {0x017E, u'z'},
        {0x00B0, u'?'},  {0x00B5, u'?'}, {0x00DF, u'?'}, {0x00E6, u'?'}, {0x20AC, u'?'},
        {0x1F600, u'?'}, {0x0000, u'?'}, {0xFFFF, u'?'}, {0x00D7, u'?'}, {0x2026, u'?'},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReplacementFor(c.from), c.to) << "U+" << std::hex << unsigned(c.from);
}

TEST(Replacement, ReplacesOnlyWhatIsLostAndLeavesTheRestInPlace)
{
    const std::u16string text = u"\u201Cport\u201D=\u00E9t\u00E9 \u2013 \u00B0"; // 0xB0 at 14 (T)
    const ReplacedText replaced = ReplaceLostCharacters(text, Key);
    EXPECT_EQ(replaced.text, u"\"port\"=ete - ?");
    EXPECT_EQ(Applied(text, replaced.edits), replaced.text);
    EXPECT_EQ(replaced.edits.front(), (ReplacementEdit{0, 1, u'"'}));
    EXPECT_TRUE(LostUnits(replaced.text, Key).empty());

    const std::u16string plain = u"key=value\r\n";
    EXPECT_EQ(ReplaceLostCharacters(plain, Key).text, plain);
    EXPECT_TRUE(ReplaceLostCharacters(plain, Key).edits.empty());
    EXPECT_EQ(ReplaceLostCharacters(u"\u201C", u"").text, u"\u201C");
}

TEST(Replacement, CombiningMarksGoWithTheLetterTheySitOn)
{
    const struct
    {
        std::u16string text;
        std::u16string replaced;
        std::vector<ReplacementEdit> edits;
    } cases[] = {
        {u"z\u0301=1", u"z=1", {{0, 2, u'z'}}},
        {u"ae\u0301\u0300b", u"aeb", {{1, 3, u'e'}}},
        {u"\u00E9\u0301", u"e", {{0, 2, u'e'}}}, // on a letter replaced itself
        {u"\u0301x\r\n\u0301", u"?x\r\n?", {{0, 1, u'?'}, {4, 1, u'?'}}}, // on nothing
    };
    for (const auto &c : cases) {
        const ReplacedText replaced = ReplaceLostCharacters(c.text, Key);
        EXPECT_EQ(replaced.text, c.replaced);
        EXPECT_EQ(replaced.edits, c.edits);
        EXPECT_EQ(Applied(c.text, replaced.edits), replaced.text);
        EXPECT_TRUE(LostUnits(replaced.text, Key).empty());
    }
}

TEST(Replacement, APairThatShrinksMovesALaterUnitOntoABadPositionAndReplacesItToo)
{
    // 0xBA survives at position 4 (key letter 'E', 69) but not at position 3 ('Z', 90).
    const std::u16string text = u"\U0001F600x\u00BA";
    ASSERT_EQ(LostCharacters(text, Key), (std::vector<CharacterSpan>{{0, 2}}));
    const ReplacedText replaced = ReplaceLostCharacters(text, Key);
    EXPECT_EQ(replaced.text, u"?x?");
    EXPECT_EQ(replaced.edits, (std::vector<ReplacementEdit>{{0, 2, u'?'}, {3, 1, u'?'}}));
    EXPECT_TRUE(LostUnits(replaced.text, Key).empty());
}

TEST(Replacement, EveryResultSurvivesAndRoundTripsExactly)
{
    // Texts weighted towards the units whose fate depends on their position.
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> any(0, 0xFFFF);
    std::uniform_int_distribution<int> borderline(0xA6, 0xBE);
    std::uniform_int_distribution<int> ascii(0x20, 0x7E);
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        for (int i = 0; i < 64; ++i) {
            const int k = kind(random);
            if (k < 4)
                text.push_back(char16_t(borderline(random)));
            else if (k < 6)
                text.push_back(char16_t(any(random)));
            else if (k == 6)
                text += u"\U0001F600";
            else
                text.push_back(char16_t(ascii(random)));
        }
        const ReplacedText replaced = ReplaceLostCharacters(text, Key);
        ASSERT_EQ(Applied(text, replaced.edits), replaced.text);
        ASSERT_TRUE(LostUnits(replaced.text, Key).empty()) << "round " << round;
        ASSERT_EQ(reference::DeCrypt(*reference::EnCrypt(replaced.text, Key), Key), replaced.text);
    }
}

} // namespace
