#pragma once
// The device commands the tester offers, in list order, with the number the device
// control receives for each. 18 has no entry, so the numbers are not list positions.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tester {

struct Command
{
    std::int32_t number;
    std::u16string_view name;
};

std::span<const Command> CommandTable();

// The number sent for the list entry at `index` (0-based), if there is one.
std::optional<std::int32_t> CommandNumberAt(int index);

} // namespace tester
