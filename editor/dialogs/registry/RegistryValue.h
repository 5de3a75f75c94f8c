#pragma once
// What a read registry value becomes as text, the same whichever registry it came from.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace registry {

// Value types as the registry numbers them.
inline constexpr std::uint32_t TypeText = 1;   // text, stored with a closing zero
inline constexpr std::uint32_t TypeNumber = 4; // 32-bit number, low byte first

// A value is read into a buffer of this many bytes; a longer one does not fit and counts
// as not present.
inline constexpr std::size_t ValueBufferSize = 1024;

// Sets `result` from a value that was read: text is cut at its first zero character, a
// number becomes HexText of it, and any other type leaves `result` as it was.
void SetResultFromValue(std::uint32_t type, std::string_view bytes, std::string &result);

// "&h" and the number in upper-case hexadecimal without leading zeros ("&h2A", "&h0").
std::string HexText(std::uint32_t number);

} // namespace registry
