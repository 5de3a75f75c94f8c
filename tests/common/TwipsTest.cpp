#include "Twips.h"

#include <gtest/gtest.h>

TEST(Twips, FifteenTwipsAPixelAt96Dpi)
{
    EXPECT_EQ(twips::ToPixels(1440, 96), 96);
    EXPECT_EQ(twips::ToPixels(10215, 96), 681);
    EXPECT_EQ(twips::ToPixels(7, 96), 0); // under half a pixel
    EXPECT_EQ(twips::ToPixels(8, 96), 1);
    EXPECT_DOUBLE_EQ(twips::FromPixels(681, 96), 10215);
}

TEST(Twips, ScalesWithDpi)
{
    EXPECT_EQ(twips::ToPixels(1440, 144), 144);
    EXPECT_EQ(twips::ToPixels(6500, 120), 542);
    EXPECT_EQ(twips::ToPixels(-20000, 96), -1333);
}
