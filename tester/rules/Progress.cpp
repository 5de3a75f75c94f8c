#include "Progress.h"

#include <cmath>
#include <limits>

namespace tester {

double RoundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<std::int16_t> ProgressPercent(std::int32_t current, std::int32_t total)
{
    if (current <= 0)
        return std::int16_t{0};
    // A positive count of nothing has no percentage; dividing would give infinity or a
    // negative value that the bar cannot show.
    if (total <= 0)
        return std::nullopt;
    const double percent =
        RoundHalfEven(static_cast<double>(current) / static_cast<double>(total) * 100.0);
    if (percent > std::numeric_limits<std::int16_t>::max() || percent > 100.0)
        return std::nullopt;
    return static_cast<std::int16_t>(percent);
}

} // namespace tester
