#pragma once
// The names of the unit's commands by number, for reports about a command (where an
// error occurred). 18 has none: the unit knows 1 to 17 and 19 to 22.

#include <cstdint>
#include <optional>
#include <string_view>

namespace protocol {

std::optional<std::string_view> CommandName(std::int32_t number);

} // namespace protocol
