// What the tool says becomes of each lost unit, against the cipher's rule written out
// independently, for every unit at every key letter.
#include "Losses.h"
#include "Encryption.h"
#include "ReferenceCipher.h"

#include <gtest/gtest.h>

namespace {

const std::u16string Key = DocumentKey;

TEST(Losses, EveryUnitAtEveryPositionHasTheFateTheCipherGivesIt)
{
    for (std::size_t index = 0; index < Key.size(); ++index) {
        const int k = reference::KeyCodeAt(Key, index + 1);
        for (unsigned u = 0; u <= 0xFFFF; ++u) {
            std::u16string text(Key.size(), u'a');
            text[index] = static_cast<char16_t>(u);

            const std::vector<Loss> plain = PlainLosses(text, Key);
            const int en = reference::EnUnit(char16_t(u), k);
            const int back = en < 0 ? en : reference::DeUnit(char16_t(en), k);
            if (back == int(u)) {
                ASSERT_TRUE(plain.empty()) << "plain " << u << " at " << index;
            } else {
                ASSERT_EQ(plain.size(), 1u) << "plain " << u << " at " << index;
                ASSERT_EQ(plain[0].index, index);
                ASSERT_EQ(plain[0].unit, u);
                const Fate fate = en == reference::Overflowed  ? Fate::Overflows
                                  : back == reference::Dropped ? Fate::Dropped
                                                               : Fate::Changed;
                ASSERT_EQ(plain[0].fate, fate) << "plain " << u << " at " << index;
                if (fate == Fate::Changed) {
                    ASSERT_EQ(plain[0].becomes, back) << "plain " << u << " at " << index;
                }
            }

            const std::vector<Loss> stored = StoredLosses(text, Key);
            const int de = reference::DeUnit(char16_t(u), k);
            const bool readable = de >= 0 && reference::EnUnit(char16_t(de), k) == int(u);
            if (readable) {
                ASSERT_TRUE(stored.empty()) << "stored " << u << " at " << index;
            } else {
                ASSERT_EQ(stored.size(), 1u) << "stored " << u << " at " << index;
                const Fate fate = de == reference::Overflowed ? Fate::Overflows
                                  : de == reference::Dropped  ? Fate::Dropped
                                                              : Fate::Changed;
                ASSERT_EQ(stored[0].fate, fate) << "stored " << u << " at " << index;
                if (fate == Fate::Changed) {
                    ASSERT_EQ(stored[0].becomes, de) << "stored " << u << " at " << index;
                }
            }
        }
    }
}

} // namespace
