#include "FrameLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace framelayout {
namespace {

constexpr int MinVisiblePixels = 16;

// The i-th of `parts` equal cuts of `length`, spreading the remainder.
int Cut(int length, int parts, int i)
{
    return static_cast<int>(static_cast<std::int64_t>(length) * i / parts);
}

} // namespace

bool OnSomeScreen(const Box &window, const std::vector<Box> &screens)
{
    const std::int64_t left = window.x;
    const std::int64_t top = window.y;
    const std::int64_t right = left + std::max(window.width, 0);
    const std::int64_t bottom = top + std::max(window.height, 0);
    const std::int64_t needX = std::min<std::int64_t>(MinVisiblePixels, right - left);
    const std::int64_t needY = std::min<std::int64_t>(MinVisiblePixels, bottom - top);
    return std::any_of(screens.begin(), screens.end(), [&](const Box &screen) {
        const std::int64_t overlapX =
            std::min<std::int64_t>(right, std::int64_t{screen.x} + screen.width) -
            std::max<std::int64_t>(left, screen.x);
        const std::int64_t overlapY =
            std::min<std::int64_t>(bottom, std::int64_t{screen.y} + screen.height) -
            std::max<std::int64_t>(top, screen.y);
        return overlapX > 0 && overlapY > 0 && overlapX >= needX && overlapY >= needY;
    });
}

Box FitOnScreen(Box window, const std::vector<Box> &screens)
{
    if (screens.empty())
        return window;
    const auto overlap = [&window](const Box &screen) {
        const std::int64_t x = std::min<std::int64_t>(std::int64_t{window.x} + window.width,
                                                      std::int64_t{screen.x} + screen.width) -
                               std::max(window.x, screen.x);
        const std::int64_t y = std::min<std::int64_t>(std::int64_t{window.y} + window.height,
                                                      std::int64_t{screen.y} + screen.height) -
                               std::max(window.y, screen.y);
        return std::max<std::int64_t>(x, 0) * std::max<std::int64_t>(y, 0);
    };
    const Box &screen =
        *std::max_element(screens.begin(), screens.end(), [&overlap](const Box &a, const Box &b) {
            return overlap(a) < overlap(b);
        });
    if (window.width > screen.width) {
        window.width = std::max(screen.width, 0);
        window.x = screen.x;
    }
    if (window.height > screen.height) {
        window.height = std::max(screen.height, 0);
        window.y = screen.y;
    }
    return window;
}

Box WithinArea(Box child, int areaWidth, int areaHeight)
{
    child.width = std::clamp(child.width, 0, std::max(areaWidth, 0));
    child.height = std::clamp(child.height, 0, std::max(areaHeight, 0));
    child.x = std::clamp(child.x, 0, std::max(areaWidth, 0) - child.width);
    child.y = std::clamp(child.y, 0, std::max(areaHeight, 0) - child.height);
    return child;
}

std::vector<Box> TileBoxes(int count, int areaWidth, int areaHeight, Tiling tiling)
{
    std::vector<Box> boxes;
    if (count <= 0)
        return boxes;
    areaWidth = std::max(areaWidth, 0);
    areaHeight = std::max(areaHeight, 0);
    // Lanes are the columns of Tile Horizontal and the rows of Tile Vertical.
    const int lanes = count < 4 ? 1 : static_cast<int>(std::sqrt(static_cast<double>(count)));
    const int base = count / lanes;
    const int extra = count % lanes;
    const bool horizontal = tiling == Tiling::Horizontal;
    const int across = horizontal ? areaWidth : areaHeight;
    const int along = horizontal ? areaHeight : areaWidth;
    boxes.reserve(static_cast<std::size_t>(count));
    for (int lane = 0; lane < lanes; ++lane) {
        // The last lanes take the windows that do not divide evenly.
        const int inLane = base + (lane >= lanes - extra ? 1 : 0);
        const int laneStart = Cut(across, lanes, lane);
        const int laneSize = Cut(across, lanes, lane + 1) - laneStart;
        for (int i = 0; i < inLane; ++i) {
            const int start = Cut(along, inLane, i);
            const int size = Cut(along, inLane, i + 1) - start;
            boxes.push_back(horizontal ? Box{laneStart, start, laneSize, size}
                                       : Box{start, laneStart, size, laneSize});
        }
    }
    return boxes;
}

std::vector<Box> IconBoxes(int count, int iconWidth, int iconHeight, int areaWidth, int areaHeight)
{
    std::vector<Box> boxes;
    if (count <= 0)
        return boxes;
    iconWidth = std::max(iconWidth, 1);
    iconHeight = std::max(iconHeight, 1);
    const int perRow = std::max(areaWidth / iconWidth, 1);
    boxes.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::int64_t row = i / perRow;
        const int column = i % perRow;
        const std::int64_t y = std::int64_t{areaHeight} - (row + 1) * iconHeight;
        boxes.push_back({column * iconWidth, static_cast<int>(std::max<std::int64_t>(y, 0)),
                         iconWidth, iconHeight});
    }
    return boxes;
}

int MsecsToNextClockChange(int msecsOfDay, bool showsSeconds)
{
    const int step = showsSeconds ? 1000 : 60 * 1000;
    msecsOfDay = std::clamp(msecsOfDay, 0, 24 * 60 * 60 * 1000 - 1);
    return step - msecsOfDay % step;
}

} // namespace framelayout
