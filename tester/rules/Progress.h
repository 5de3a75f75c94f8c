#pragma once
// The percentage a device progress report shows on the bar and in the status panel.

#include <cstdint>
#include <optional>

namespace tester {

// current / total * 100 in double precision, rounded half to even, as a 16-bit value.
// A current count of 0 or below gives 0. Nothing (the report changes nothing) when the
// percentage is above 100, does not fit 16 bits, or the total is 0 or below while the
// current count is positive.
std::optional<std::int16_t> ProgressPercent(std::int32_t current, std::int32_t total);

// Rounds to the nearest integer, halves to the even neighbour, whatever the
// floating-point environment's rounding mode is.
double RoundHalfEven(double value);

} // namespace tester
