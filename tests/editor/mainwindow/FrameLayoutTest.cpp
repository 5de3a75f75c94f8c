#include "FrameLayout.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace framelayout;

TEST(FrameLayout, OnSomeScreenNeedsAUsablePieceOnOneScreen)
{
    const std::vector<Box> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_TRUE(OnSomeScreen({100, 100, 400, 300}, screens));
    EXPECT_TRUE(OnSomeScreen({3000, 900, 400, 300}, screens));  // on the second screen only
    EXPECT_TRUE(OnSomeScreen({-380, -280, 400, 300}, screens)); // 20 by 20 still showing
    EXPECT_FALSE(OnSomeScreen({-395, 100, 400, 300}, screens)); // a 5 pixel sliver
    EXPECT_FALSE(OnSomeScreen({20000, 20000, 400, 300}, screens));
    EXPECT_FALSE(OnSomeScreen({100, 100, 400, 300}, {}));
    EXPECT_FALSE(OnSomeScreen({2147483000, 2147483000, 2000, 2000}, screens));
}

TEST(FrameLayout, FitOnScreenShrinksOnlyWhatIsLargerThanItsScreen)
{
    const std::vector<Box> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const struct
    {
        Box window;
        Box fitted;
    } cases[] = {
        {{100, 100, 400, 300}, {100, 100, 400, 300}},       // fits: left as it is
        {{-380, -280, 400, 300}, {-380, -280, 400, 300}},   // partly off, but no larger
        {{66, 66, 66666, 300}, {0, 66, 1920, 300}},         // too wide for the first screen
        {{2000, 50, 400, 99999}, {2000, 0, 400, 1024}},     // too tall for the second
        {{3000, 10, 5000, 5000}, {1920, 0, 1280, 1024}},    // too large every way
        {{50000, 50000, 99999, 400}, {0, 50000, 1920, 400}} // on no screen: the first
    };
    for (const auto &c : cases)
        EXPECT_EQ(FitOnScreen(c.window, screens), c.fitted)
            << c.window.x << "," << c.window.y << " " << c.window.width << "x" << c.window.height;
    EXPECT_EQ(FitOnScreen({1, 2, 3, 4}, {}), (Box{1, 2, 3, 4}));
}

TEST(FrameLayout, WithinAreaMovesAndShrinksOnlyAsFarAsItMust)
{
    const struct
    {
        Box child;
        Box within;
    } cases[] = {
        {{10, 20, 300, 200}, {10, 20, 300, 200}},     // inside: left as it is
        {{700, 500, 300, 200}, {500, 400, 300, 200}}, // past the right and bottom edges
        {{-50, -9, 300, 200}, {0, 0, 300, 200}},      // past the left and top edges
        {{40, 40, 900, 200}, {0, 40, 800, 200}},      // wider than the area
        {{40, 40, 300, 9000}, {40, 0, 300, 600}},     // taller than the area
        {{2147483000, 2147483000, 2147483000, 2147483000}, {0, 0, 800, 600}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WithinArea(c.child, 800, 600), c.within)
            << c.child.x << "," << c.child.y << " " << c.child.width << "x" << c.child.height;
    EXPECT_EQ(WithinArea({5, 5, 10, 10}, -4, 0), (Box{0, 0, 0, 0})); // no area at all
}

namespace {

// Every pixel of the area belongs to exactly one box.
void ExpectExactCover(const std::vector<Box> &boxes, int width, int height)
{
    std::int64_t covered = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box &a = boxes[i];
        EXPECT_GE(a.x, 0);
        EXPECT_GE(a.y, 0);
        EXPECT_LE(a.x + a.width, width);
        EXPECT_LE(a.y + a.height, height);
        covered += std::int64_t{a.width} * a.height;
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box &b = boxes[j];
            const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x ||
                               a.y + a.height <= b.y || b.y + b.height <= a.y;
            EXPECT_TRUE(apart) << "boxes " << i << " and " << j << " overlap";
        }
    }
    EXPECT_EQ(covered, std::int64_t{width} * height);
}

} // namespace

TEST(FrameLayout, TileHorizontalStacksBandsAndTileVerticalSetsColumnsSideBySide)
{
    EXPECT_EQ(TileBoxes(3, 600, 300, Tiling::Horizontal),
              (std::vector<Box>{{0, 0, 600, 100}, {0, 100, 600, 100}, {0, 200, 600, 100}}));
    EXPECT_EQ(TileBoxes(3, 600, 300, Tiling::Vertical),
              (std::vector<Box>{{0, 0, 200, 300}, {200, 0, 200, 300}, {400, 0, 200, 300}}));
    // Five bands make two columns; the extra window goes to the last column.
    EXPECT_EQ(TileBoxes(5, 600, 300, Tiling::Horizontal), (std::vector<Box>{{0, 0, 300, 150},
                                                                            {0, 150, 300, 150},
                                                                            {300, 0, 300, 100},
                                                                            {300, 100, 300, 100},
                                                                            {300, 200, 300, 100}}));
    EXPECT_TRUE(TileBoxes(0, 600, 300, Tiling::Vertical).empty());
}

TEST(FrameLayout, TilesCoverTheAreaExactlyForAnyCount)
{
    for (int count = 1; count <= 40; ++count) {
        SCOPED_TRACE(count);
        const auto horizontal = TileBoxes(count, 1001, 677, Tiling::Horizontal);
        ASSERT_EQ(horizontal.size(), static_cast<std::size_t>(count));
        ExpectExactCover(horizontal, 1001, 677);
        const auto vertical = TileBoxes(count, 1001, 677, Tiling::Vertical);
        ASSERT_EQ(vertical.size(), static_cast<std::size_t>(count));
        ExpectExactCover(vertical, 1001, 677);
    }
}

TEST(FrameLayout, IconsLineUpFromTheBottomLeft)
{
    EXPECT_EQ(IconBoxes(3, 160, 30, 400, 300),
              (std::vector<Box>{{0, 270, 160, 30}, {160, 270, 160, 30}, {0, 240, 160, 30}}));
    // Wider than the area: one a row; rows beyond the top pile up there.
    EXPECT_EQ(IconBoxes(3, 500, 200, 400, 300),
              (std::vector<Box>{{0, 100, 500, 200}, {0, 0, 500, 200}, {0, 0, 500, 200}}));
    EXPECT_TRUE(IconBoxes(0, 160, 30, 400, 300).empty());
}

TEST(FrameLayout, ClockWakesAtTheNextChangeOfWhatItShows)
{
    const int noonAndAHalfSecond = 12 * 3600 * 1000 + 59 * 1000 + 500; // 12:00:59.500
    EXPECT_EQ(MsecsToNextClockChange(noonAndAHalfSecond, false), 500);
    EXPECT_EQ(MsecsToNextClockChange(noonAndAHalfSecond + 1000, false), 59500);
    EXPECT_EQ(MsecsToNextClockChange(noonAndAHalfSecond, true), 500);
    EXPECT_EQ(MsecsToNextClockChange(12 * 3600 * 1000, false), 60000);
    EXPECT_EQ(MsecsToNextClockChange(24 * 3600 * 1000 - 1, true), 1);
}
