#include "RecentFiles.h"

#include <gtest/gtest.h>

using recent::List;

TEST(RecentFiles, RememberPutsThePathFirstOnceAndKeepsThree)
{
    struct Case
    {
        List before;
        std::u16string path;
        List after;
    };
    const Case cases[] = {
        {{}, u"/a", {u"/a"}},
        {{u"/a", u"/b"}, u"/c", {u"/c", u"/a", u"/b"}},
        {{u"/a", u"/b", u"/c"}, u"/d", {u"/d", u"/a", u"/b"}}, // the oldest drops off
        {{u"/a", u"/b", u"/c"}, u"/c", {u"/c", u"/a", u"/b"}}, // moved up, not repeated
        {{u"/a", u"/b", u"/c"}, u"/a", {u"/a", u"/b", u"/c"}},
        {{u"/a"}, u"/A", {u"/A", u"/a"}}, // names are compared exactly
    };
    for (const Case &c : cases)
        EXPECT_EQ(recent::Remember(c.before, c.path), c.after);
}

TEST(RecentFiles, CleanAndForgetMendWhatWasStored)
{
    EXPECT_EQ(recent::Clean({u"", u"/a", u"/a", u"", u"/b", u"/c", u"/d"}),
              (List{u"/a", u"/b", u"/c"}));
    EXPECT_EQ(recent::Clean({u"", u"", u""}), List{});
    EXPECT_EQ(recent::Forget({u"/a", u"/b", u"/c"}, u"/b"), (List{u"/a", u"/c"}));
    EXPECT_EQ(recent::Forget({u"/a"}, u"/z"), List{u"/a"});
}

TEST(RecentFiles, CaptionNumbersTheSlotAndKeepsAmpersandsVisible)
{
    EXPECT_EQ(recent::Caption(0, u"unit.cfg"), u"&1 unit.cfg");
    EXPECT_EQ(recent::Caption(2, u"R&D & test.ini"), u"&3 R&&D && test.ini");
    EXPECT_EQ(recent::Caption(1, u""), u"&2 ");
}
