#include "LossReport.h"

#include "Encryption.h"

#include <gtest/gtest.h>

using namespace lossreport;

namespace {

const std::u16string Key = DocumentKey;

TEST(LossReport, PlacesCountLinesAtEveryKindOfBreakAndColumnsInCharacters)
{
    const std::u16string text = u"ab\r\ncd\ne\rf\u2029g\U0001F600h\r";
    const struct
    {
        std::size_t index;
        Place place;
    } cases[] = {
        {0, {1, 1}},  {1, {1, 2}},  {2, {1, 3}},  {3, {1, 3}},  // the LF of CR LF is its CR's
        {4, {2, 1}},  {6, {2, 3}},  {7, {3, 1}},  {8, {3, 2}},  // a lone CR
        {9, {4, 1}},  {10, {4, 2}},                             // U+2029 ends a line too
        {11, {5, 1}}, {12, {5, 2}}, {14, {5, 3}}, {15, {5, 4}}, // a pair takes one column
        {16, {6, 1}},                                           // after a CR at the very end
    };
    PlaceWalker walker(text);
    for (const auto &c : cases) {
        EXPECT_EQ(PlaceOf(text, c.index), c.place) << "index " << c.index;
        EXPECT_EQ(walker.At(c.index), c.place) << "walked to " << c.index;
    }
    // Asked twice for the LF of a CR LF, and then past it.
    PlaceWalker again(text);
    EXPECT_EQ(again.At(3), (Place{1, 3}));
    EXPECT_EQ(again.At(3), (Place{1, 3}));
    EXPECT_EQ(again.At(5), (Place{2, 2}));
}

TEST(LossReport, NamesCharactersByThemselvesAndTheirCode)
{
    EXPECT_EQ(CharacterName(u"\u00E9", 0), "\u00E9 (U+00E9)");
    EXPECT_EQ(CharacterName(u"x\u201C", 1), "\u201C (U+201C)");
    EXPECT_EQ(CharacterName(u"\U0001F600", 0), "\U0001F600 (U+1F600)");
    EXPECT_EQ(CharacterName(std::u16string(1, u'\0'), 0), "U+0000");
    EXPECT_EQ(CharacterName(u"\xD800", 0), "U+D800");
    EXPECT_EQ(CharacterName(u"\u2029", 0), "U+2029");
    EXPECT_EQ(Thousands(33010), "33,010");
    EXPECT_EQ(Thousands(1234567), "1,234,567");
    EXPECT_EQ(Thousands(999), "999");
}

TEST(LossReport, RefusesTooLongTextsAndUnitsTheCipherCannotTake)
{
    EXPECT_EQ(SaveRefusal(std::u16string(33010, u'a'), Key),
              "The text has 33,010 characters; a Torvane config file holds at most 32,766.");
    EXPECT_EQ(SaveRefusal(std::u16string(32766, u'a'), Key), std::nullopt);
    EXPECT_EQ(SaveRefusal(u"\u201C\u00E9", Key), std::nullopt); // lost, but writable
    EXPECT_EQ(SaveRefusal(u"ok\r\n\x7FFFx\x7FFF", Key),
              "The character \u7FFF (U+7FFF) at line 2, column 1 cannot be written to a "
              "Torvane config file at all (nor can 1 other). Replace or remove it, then save "
              "again.");
}

TEST(LossReport, TheQuestionCountsAndListsTheFirstFew)
{
    EXPECT_EQ(LossQuestion(u"key=value\r\n", Key), std::nullopt);
    EXPECT_EQ(LossQuestion(u"name=\u201Cx", Key),
              "1 character of this text will not come back when the file is opened again: a "
              "Torvane config file drops or changes it.\n\n\u201C (U+201C) at line 1, column 6"
              "\n\nReplace it with the nearest character that the file keeps and save, save the "
              "text as it is, or cancel?");
    std::u16string many = u"\u00E9\r\n";
    for (int i = 0; i < 7; ++i)
        many += u"\u00BF";
    const std::string question = *LossQuestion(many, Key);
    EXPECT_EQ(question.substr(0, 12), "8 characters") << question;
    EXPECT_NE(question.find("\n\u00E9 (U+00E9) at line 1, column 1\n\u00BF (U+00BF) at line "
                            "2, column 1\n"),
              std::string::npos)
        << question;
    EXPECT_NE(question.find("\nand 3 more\n\nReplace them with the nearest characters"),
              std::string::npos)
        << question;
}

TEST(LossReport, UnshownPositionsAreCountedInTheWarningAndTheQuestion)
{
    EXPECT_EQ(UnshownWarning(1), "1 position of this file cannot be shown: deciphering drops or "
                                 "changes it. Saving will rewrite the file without it.");
    EXPECT_EQ(UnshownWarning(1500),
              "1,500 positions of this file cannot be shown: deciphering drops or changes "
              "them. Saving will rewrite the file without them.");
    EXPECT_EQ(UnshownQuestion(2), "When this file was opened, 2 positions of it could not be "
                                  "shown. Saving now rewrites the file without them. Save it "
                                  "anyway?");
}

TEST(LossReport, TheSummarySaysNothingWhenAllIsWell)
{
    EXPECT_EQ(LossSummary(0, 32766), "");
    EXPECT_EQ(LossSummary(1, 10), "1 character will not survive saving");
    EXPECT_EQ(LossSummary(1200, 10), "1,200 characters will not survive saving");
    EXPECT_EQ(LossSummary(0, 33010), "33,010 characters, 244 over the limit of 32,766");
    EXPECT_EQ(LossSummary(2, 32767),
              "2 characters will not survive saving; 32,767 characters, 1 over the limit of "
              "32,766");
}

} // namespace
