#include "Survival.h"
#include "Encryption.h"
#include "ReferenceCipher.h"

#include <gtest/gtest.h>

using namespace std::string_view_literals;

namespace {

const std::u16string Key = DocumentKey;

// Every unit at every key letter against the cipher's rule: a unit survives exactly when
// enciphering then deciphering it gives it back, and a stored unit is readable exactly
// when deciphering then enciphering it gives it back.
TEST(Survival, EveryUnitAtEveryKeyLetterFollowsTheCipher)
{
    for (std::size_t position = 1; position <= Key.size(); ++position) {
        const int k = KeyCodeAt(Key, position);
        ASSERT_EQ(k, reference::KeyCodeAt(Key, position));
        for (unsigned u = 0; u <= 0xFFFF; ++u) {
            const char16_t unit = static_cast<char16_t>(u);
            const int en = reference::EnUnit(unit, k);
            const bool comesBack = en >= 0 && reference::DeUnit(char16_t(en), k) == int(u);
            ASSERT_EQ(UnitSurvives(unit, k), comesBack) << "unit " << u << " at " << position;
            ASSERT_EQ(UnitOverflows(unit, k), en == reference::Overflowed)
                << "unit " << u << " at " << position;
            const int de = reference::DeUnit(unit, k);
            const bool readable = de >= 0 && reference::EnUnit(char16_t(de), k) == int(u);
            ASSERT_EQ(StoredUnitReadable(unit, k), readable)
                << "stored " << u << " at " << position;
        }
    }
}

TEST(Survival, ListsTheUnitsThatAShiftMovesOntoABadPosition)
{
    // 0xBA survives only under key letters up to 'E' (69): 0xBA + 69 = 255.
    std::u16string text = u"ab\u00BA";
    const auto before = LostUnits(text, Key); // position 3 uses 'Z' (90): lost
    EXPECT_EQ(before, (std::vector<std::size_t>{2}));
    text.insert(0, u"x"); // 0xBA moves to position 4, key letter 'E'
    EXPECT_TRUE(LostUnits(text, Key).empty());
    EXPECT_EQ(LostUnits(u"\u201C\u00E9ok\0"sv, Key), (std::vector<std::size_t>{0, 1, 4}));
    EXPECT_TRUE(LostUnits(u"\u201C", u"").empty());
}

TEST(Survival, LostCharactersTakeAPairAsOne)
{
    // U+1F600 is a pair; a lone low half and a lone high half are one unit each.
    const std::u16string text = u"a\U0001F600b\xDC00\xD800\u00E9";
    EXPECT_EQ(LostCharacters(text, Key),
              (std::vector<CharacterSpan>{{1, 2}, {4, 1}, {5, 1}, {6, 1}}));
    EXPECT_TRUE(LostCharacters(u"plain ASCII\r\n", Key).empty());
}

TEST(Survival, OverflowingUnitsAreThoseEnCryptRefuses)
{
    // Position 1 uses 'R' (82): 0x7FFF - 82 = 0x7FAD is the last unit that still fits.
    // Position 4 uses 'E' (69), position 5 'N' (78); 0xFFFF is negative and fits.
    const std::u16string text = u"\x7FAEz\xFFFF\x7FBE\x7FFF";
    EXPECT_EQ(OverflowingUnits(text, Key), (std::vector<std::size_t>{0, 3, 4}));
    EXPECT_FALSE(reference::EnCrypt(text, Key).has_value());
    EXPECT_TRUE(reference::EnCrypt(u"\x7FAD", Key).has_value());
    EXPECT_TRUE(reference::EnCrypt(u"az\xFFFF\x7FBA", Key).has_value());
}

TEST(Survival, UnreadableStoredUnitsAreThoseDeCryptDropsOrChanges)
{
    const std::u16string plain = u"key=value\r\n";
    const std::u16string stored = EnCrypt(plain, Key);
    EXPECT_TRUE(UnreadableUnits(stored, Key).empty());
    std::u16string tampered = stored;
    tampered[0] = 0x05;   // below its key code: dropped
    tampered[3] = 0x0141; // high byte set: changed
    EXPECT_EQ(UnreadableUnits(tampered, Key), (std::vector<std::size_t>{0, 3}));
}

} // namespace
