// Any sizes, counts and positions: the arrangements keep every window inside the area,
// tiles never overlap and cover it, and nothing overflows.

#include "FrameLayout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Input
{
    const std::uint8_t *data;
    std::size_t size;

    int Next()
    {
        int value = 0;
        const std::size_t n = size < sizeof value ? size : sizeof value;
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace framelayout;
    Input in{data, size};
    const int count = static_cast<int>(static_cast<unsigned>(in.Next()) % 64);
    const int width = in.Next();
    const int height = in.Next();

    for (const Tiling tiling : {Tiling::Horizontal, Tiling::Vertical}) {
        const auto boxes = TileBoxes(count, width, height, tiling);
        Check(boxes.size() == static_cast<std::size_t>(count));
        const std::int64_t w = width > 0 ? width : 0;
        const std::int64_t h = height > 0 ? height : 0;
        std::int64_t covered = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const Box &a = boxes[i];
            Check(a.x >= 0 && a.y >= 0 && a.width >= 0 && a.height >= 0);
            Check(std::int64_t{a.x} + a.width <= w && std::int64_t{a.y} + a.height <= h);
            covered += std::int64_t{a.width} * a.height;
            for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                const Box &b = boxes[j];
                const bool empty = a.width == 0 || a.height == 0 || b.width == 0 || b.height == 0;
                Check(empty || std::int64_t{a.x} + a.width <= b.x ||
                      std::int64_t{b.x} + b.width <= a.x || std::int64_t{a.y} + a.height <= b.y ||
                      std::int64_t{b.y} + b.height <= a.y);
            }
        }
        Check(count == 0 || covered == w * h);
    }

    const int iconWidth = in.Next();
    const int iconHeight = in.Next();
    for (const Box &icon : IconBoxes(count, iconWidth, iconHeight, width, height))
        Check(icon.y >= 0 && icon.x >= 0 && icon.width >= 1 && icon.height >= 1);

    const Box window{in.Next(), in.Next(), in.Next(), in.Next()};
    const Box screen{in.Next(), in.Next(), in.Next(), in.Next()};
    (void)OnSomeScreen(window, {screen});
    const Box child = WithinArea(window, width, height);
    Check(child.x >= 0 && child.y >= 0 && child.width >= 0 && child.height >= 0 &&
          std::int64_t{child.x} + child.width <= std::max(width, 0) &&
          std::int64_t{child.y} + child.height <= std::max(height, 0));

    const int msecs = in.Next();
    for (const bool seconds : {false, true}) {
        const int wait = MsecsToNextClockChange(msecs, seconds);
        Check(wait >= 1 && wait <= (seconds ? 1000 : 60000));
    }
    return 0;
}
