// The cipher against its rule, restated independently in ReferenceCipher.h.
#include "Encryption.h"
#include "ReferenceCipher.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using reference::DeUnit;
using reference::EnUnit;
using reference::KeyCodeAt;
using reference::Overflowed;

namespace {

template <typename Call> void ExpectOverflow(const char *source, Call &&call)
{
    try {
        call();
        ADD_FAILURE() << source << " did not raise";
    } catch (const RunTimeError &e) {
        EXPECT_EQ(e.Number, ErrorNumber::Overflow);
        EXPECT_EQ(e.Source, source);
        EXPECT_EQ(e.Description, std::string(source) + ":Overflow");
    }
}

// Feeds every unit 0..0xFFFF through `routine` with `key`: units that do not overflow at
// their position go in texts of up to 32,766 units compared against the reference as a
// whole; each unit that overflows is checked on its own at a position using the same key
// letter.
template <typename Routine, typename Reference, typename Unit>
void CheckEveryUnit(const char *source, Routine routine, Reference reference, Unit unitRule,
                    const std::u16string &key)
{
    const std::size_t m = key.size();
    std::u16string text;
    auto flush = [&]() {
        ASSERT_EQ(routine(text, key), reference(text, key)) << source << " key " << key.size();
        text.clear();
    };
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const std::size_t position = text.size() + 1;
        if (unitRule(char16_t(u), KeyCodeAt(key, position)) == Overflowed) {
            std::u16string alone((position - 1) % m, u'a');
            alone.push_back(char16_t(u));
            ExpectOverflow(source, [&]() { routine(alone, key); });
        } else {
            text.push_back(char16_t(u));
        }
        if (text.size() == 32766)
            flush();
    }
    flush();
}

std::u16string PlainText(std::size_t length)
{
    std::u16string text;
    std::uint32_t state = 12345;
    while (text.size() < length) {
        state = state * 1103515245u + 12345u;
        const unsigned pick = (state >> 16) % 98;
        text.push_back(pick < 95 ? char16_t(0x20 + pick) : u"\t\r\n"[pick - 95]);
    }
    return text;
}

} // namespace

TEST(CryptRule, EveryUnitAgainstEveryKeyLetterBothWays)
{
    std::vector<std::u16string> keys;
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter)
        keys.push_back(std::u16string(1, letter));
    keys.push_back(DocumentKey);
    keys.push_back(u"zY");
    keys.push_back(u"qUILLOn");
    for (const std::u16string &key : keys) {
        CheckEveryUnit("EnCrypt", EnCrypt, reference::EnCrypt, EnUnit, key);
        CheckEveryUnit("DeCrypt", DeCrypt, reference::DeCrypt, DeUnit, key);
    }
}

TEST(CryptRule, OverflowBoundariesFollowTheKeyLetterOfEachPosition)
{
    const std::u16string key = DocumentKey;
    const std::u16string upper = u"BRAZENTO";
    for (std::size_t position = 1; position <= 9; ++position) {
        const char16_t k = upper[position % 8];
        const std::u16string lead(position - 1, u'a');
        // EnCrypt: the signed sum may reach 32,767 but not pass it.
        EXPECT_EQ(EnCrypt(lead + char16_t(0x7FFF - k), key).back(), 0xFF) << position;
        ExpectOverflow("EnCrypt", [&]() { EnCrypt(lead + char16_t(0x8000 - k), key); });
        // DeCrypt: the signed difference may reach -32,768 (and is dropped) but not pass it.
        EXPECT_EQ(DeCrypt(lead + char16_t(0x8000 + k), key), DeCrypt(lead, key)) << position;
        ExpectOverflow("DeCrypt", [&]() { DeCrypt(lead + char16_t(0x8000 + k - 1), key); });
    }
}

TEST(EnCrypt, PositionOneUsesTheKeysSecondLetterAndOneLetterKeysUseItEverywhere)
{
    // "brazento" upper-cased: B R A Z E N T O.
    EXPECT_EQ(EnCrypt(u"\x01\x01\x01\x01\x01\x01\x01\x01\x01", DocumentKey), u"SB[FOUPCS");
    EXPECT_EQ(EnCrypt(u"\x01\x02\x03", u"c"), u"DEF");
}

TEST(EnCrypt, KeyCaseDoesNotMatter)
{
    const std::u16string text = PlainText(100);
    const std::u16string upper = EnCrypt(text, u"BRAZENTO");
    EXPECT_EQ(EnCrypt(text, u"brazento"), upper);
    EXPECT_EQ(EnCrypt(text, u"bRaZeNtO"), upper);
    EXPECT_EQ(DeCrypt(upper, u"BrazentO"), DeCrypt(upper, u"BRAZENTO"));
}

TEST(EnCrypt, KeyCharactersOutsideAsciiCountByTheirSingleByteCode)
{
    EXPECT_EQ(EnCrypt(u"\x01", u"x\u00E9"), std::u16string(1, char16_t(0xC9 + 1))); // é as É
    EXPECT_EQ(EnCrypt(u"\x01", u"x\u03A9"), std::u16string(1, char16_t('?' + 1)));  // Ω: none
    EXPECT_EQ(EnCrypt(u"\x01", u"x\u00FE"), std::u16string(1, char16_t(0xDE + 1))); // þ as Þ
    EXPECT_EQ(EnCrypt(u"\x01", u"x\u00F7"), std::u16string(1, char16_t(0xF7 + 1))); // ÷ as is
}

TEST(EnCrypt, EmptyKeyLeavesAnyTextUnchangedInBothDirections)
{
    std::u16string text = PlainText(40000);
    text[7] = 0x7FFF;
    text[8] = 0x8000;
    text[9] = 0;
    EXPECT_EQ(EnCrypt(text, u""), text);
    EXPECT_EQ(DeCrypt(text, u""), text);
}

TEST(EnCrypt, PrintableAsciiTabAndLineBreaksSurviveTheRoundTrip)
{
    for (const std::size_t length : {0u, 1u, 8u, 9u, 32766u}) {
        const std::u16string text = PlainText(length);
        const std::u16string enciphered = EnCrypt(text, DocumentKey);
        ASSERT_EQ(enciphered.size(), length);
        for (const char16_t unit : enciphered)
            ASSERT_LE(unit, 0xFF);
        EXPECT_EQ(DeCrypt(enciphered, DocumentKey), text) << length;
    }
}

TEST(EnCrypt, TextsOf32767UnitsOrMoreRaiseOverflowInBothDirections)
{
    for (const std::size_t length : {32767u, 32768u, 70000u}) {
        const std::u16string text = PlainText(length);
        ExpectOverflow("EnCrypt", [&]() { EnCrypt(text, DocumentKey); });
        ExpectOverflow("DeCrypt", [&]() { DeCrypt(text, DocumentKey); });
    }
}

TEST(DeCrypt, WhatComesBackAfterARoundTripDependsOnUnitAndKeyLetter)
{
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        const std::u16string key(1, letter);
        for (char16_t u = 0; u <= 0xFF; ++u) {
            const std::u16string back = DeCrypt(EnCrypt(std::u16string(1, u), key), key);
            if (u >= 1 && u <= 165)
                EXPECT_EQ(back, std::u16string(1, u)) << int(u) << " key " << char(letter);
            else if (u == 0 || u >= 191)
                EXPECT_EQ(back, u"") << int(u) << " key " << char(letter);
            else
                EXPECT_EQ(back.empty(), u + letter >= 256) << int(u) << " key " << char(letter);
        }
        // Above 255 only the low byte can come back.
        EXPECT_EQ(DeCrypt(EnCrypt(u"\x1241", key), key), u"A");
        EXPECT_EQ(DeCrypt(EnCrypt(u"\x1200", key), key), u"");
    }
}

TEST(DeCrypt, ForeignTextGivesUnitZeroForMultiplesOf256AndDropsNegativeUnits)
{
    const char16_t r = u'R'; // position 1 of the document key
    EXPECT_EQ(DeCrypt(std::u16string(1, char16_t(r + 256)), DocumentKey), std::u16string(1, 0));
    EXPECT_EQ(DeCrypt(std::u16string(1, char16_t(r + 0x7E00)), DocumentKey), std::u16string(1, 0));
    EXPECT_EQ(DeCrypt(std::u16string(1, char16_t(0x8000 + r)), DocumentKey), u"");
    EXPECT_EQ(DeCrypt(std::u16string(1, char16_t(0xFFFF)), DocumentKey), u"");
    EXPECT_EQ(DeCrypt(std::u16string(1, r), DocumentKey), u"");
    // A dropped unit does not shift the key for the units after it: R, A, Z.
    EXPECT_EQ(DeCrypt(u"\x01\x42\x5B", DocumentKey), u"\x01\x01");
}

// The vectorised loops work in blocks of whole key periods with tails of any length: every
// length around the vector widths and the block edges, with keys whose period does and
// does not divide them, and one overflowing, dropped or wrapping unit placed at each
// position in turn (each key letter at each lane), against the reference.
TEST(CryptRule, BlockedLoopsMatchTheReferenceAtEveryLengthAndPosition)
{
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 130; ++n)
        lengths.push_back(n);
    for (const std::size_t n : {2047u, 2048u, 2049u, 4095u, 4097u, 32766u})
        lengths.push_back(n);
    // Every position of a short text; in a long one those near its ends and block edges.
    const auto positions = [](std::size_t length) {
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i < length; ++i)
            if (length <= 130 || i < 70 || length - i <= 70 || (i + 3) % 2048 < 6)
                at.push_back(i);
        return at;
    };
    const std::u16string longKey = PlainText(3000); // one period longer than a block
    for (const std::u16string &key :
         {std::u16string(DocumentKey), std::u16string(u"q"), std::u16string(u"zyX"), longKey}) {
        for (const std::size_t length : lengths) {
            const std::u16string plain = PlainText(length);
            const std::u16string stored = EnCrypt(plain, key);
            ASSERT_EQ(stored, reference::EnCrypt(plain, key)) << length;
            ASSERT_EQ(DeCrypt(stored, key), plain) << length;
            for (const std::size_t at : positions(length)) {
                const int k = KeyCodeAt(key, at + 1);
                // Overflowing or not, negative, zero, exactly the key code (a difference of
                // 0) and a multiple of 256 above it.
                for (const char16_t odd : {char16_t(0x7FFF), char16_t(0x8000), char16_t(0),
                                           char16_t(k), char16_t(k + 256), char16_t(0x1234)}) {
                    std::u16string text = plain;
                    text[at] = odd;
                    // Only the unit at `at` differs from the plain text's rule.
                    std::u16string enciphered = stored;
                    if (EnUnit(odd, k) == Overflowed) {
                        ExpectOverflow("EnCrypt", [&]() { EnCrypt(text, key); });
                    } else {
                        enciphered[at] = char16_t(EnUnit(odd, k));
                        ASSERT_EQ(EnCrypt(text, key), enciphered) << length << " at " << at;
                    }
                    std::u16string back = plain;
                    const int unit = DeUnit(odd, k);
                    if (unit == Overflowed) {
                        ExpectOverflow("DeCrypt", [&]() { DeCrypt(text, key); });
                        continue;
                    }
                    std::u16string withOdd = stored;
                    withOdd[at] = odd;
                    if (unit == reference::Dropped)
                        back.erase(at, 1);
                    else
                        back[at] = char16_t(unit);
                    ASSERT_EQ(DeCrypt(withOdd, key), back) << length << " at " << at;
                }
            }
        }
    }
}
