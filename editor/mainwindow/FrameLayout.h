#pragma once
// Arithmetic behind the frame's placement, its Window menu arrangements and its clock.
// Plain C++ so it can be tested and fuzzed without a window system.

#include <vector>

namespace framelayout {

struct Box
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline bool operator==(const Box &a, const Box &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// True when at least a usable piece of `window` (16 by 16 pixels) lies on one screen.
bool OnSomeScreen(const Box &window, const std::vector<Box> &screens);

// `window` made no larger than the screen it lies on most (the first screen when it lies
// on none), and moved onto that screen along each side it had to be shrunk on. A window
// that fits is returned as it is.
Box FitOnScreen(Box window, const std::vector<Box> &screens);

// A child window's box shrunk where it is larger than an area of `areaWidth` by
// `areaHeight` (whose top left corner is 0, 0), and moved the least that puts it wholly
// within the area.
Box WithinArea(Box child, int areaWidth, int areaHeight);

// Tile Horizontal: windows as full-width bands one above the other; from four windows
// on, bands are split into columns, filled column by column. Tile Vertical is the same
// turned on its side: side-by-side columns, split into rows from four windows on.
enum class Tiling { Horizontal, Vertical };
std::vector<Box> TileBoxes(int count, int areaWidth, int areaHeight, Tiling tiling);

// Minimised windows lined up along the bottom of the area, left to right, then row above
// row; rows that would leave the top of the area pile up on the top row.
std::vector<Box> IconBoxes(int count, int iconWidth, int iconHeight, int areaWidth, int areaHeight);

// Milliseconds from `msecsOfDay` to the next change of a clock display that shows
// seconds or only minutes.
int MsecsToNextClockChange(int msecsOfDay, bool showsSeconds);

} // namespace framelayout
