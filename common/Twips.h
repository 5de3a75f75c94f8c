#pragma once
// Window geometry is held in twips (1/1440 inch) and turned into pixels only here,
// at a given number of logical dots per inch.

#include <cmath>

namespace twips {

inline constexpr double PerInch = 1440.0;

inline int ToPixels(double twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / PerInch));
}

inline double FromPixels(int pixels, double dpi)
{
    return pixels * PerInch / dpi;
}

} // namespace twips
