// Paths between UTF-16 and the UTF-8 bytes of file names and messages.
#include "PathText.h"

#include <gtest/gtest.h>

TEST(PathText, EncodesEveryPlaneAndChoosesWhatAnUnpairedSurrogateBecomes)
{
    EXPECT_EQ(Utf8(u"a\u00E9\u20AC\U0001F600", true), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8(u"a\xDC00", true), "a\xED\xB0\x80");
    EXPECT_EQ(Utf8(u"a\xDC00", false), "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf8(u"\xD800\xD800\xDC00", false), "\xEF\xBF\xBD\xF0\x90\x80\x80");
    EXPECT_EQ(Utf8(u"a\xD800"
                   "b",
                   false),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(PathText, EveryNameComesBackFromItsBytes)
{
    for (const std::u16string &name :
         {std::u16string(u"plain.cfg"), std::u16string(u"Gr\u00FC\u00DFe \u2713\U0001F600"),
          std::u16string(u"x\xD800.cfg"), std::u16string(u"\xDFFF\xD800"),
          std::u16string(u"a\0b", 3)})
        EXPECT_EQ(Utf16(Utf8(name, true)), name);
}

TEST(PathText, BytesThatAreNotUtf8StayOneUnitEach)
{
    EXPECT_EQ(Utf16("a\xFF"
                    "b"),
              u"a\x00FF"
              u"b");
    EXPECT_EQ(Utf16("\xC3"), u"\x00C3") << "a sequence cut short";
    EXPECT_EQ(Utf16("\x80\xC3\xA9"), u"\x0080\u00E9");
    EXPECT_EQ(Utf16("\xF8\x88\x80\x80\x80"), u"\x00F8\x0088\x0080\x0080\x0080");
}
