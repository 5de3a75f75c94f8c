#include "Encryption.h"
#include "RunTimeError.h"

#include <gtest/gtest.h>

TEST(EnCrypt, FirstPositionUsesTheKeysSecondLetter)
{
    // "brazento" upper-cased: B R A Z E N T O; position 1 uses R (82).
    EXPECT_EQ(EnCrypt(u"\x01", DocumentKey), std::u16string(1, char16_t(83)));
    EXPECT_EQ(DeCrypt(EnCrypt(u"Hello\r\n\tWorld", DocumentKey), DocumentKey),
              u"Hello\r\n\tWorld");
}
