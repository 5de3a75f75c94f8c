#pragma once
// The figures both sides of the line keep to (docs/protocol.md, "Limits at a glance").

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace protocol {

inline constexpr std::int32_t Version = 1;
inline constexpr std::size_t MaxLine = 1024;       // bytes before CR LF
inline constexpr std::size_t MaxFields = 64;       // FIELD lines of one command
inline constexpr std::size_t MaxNameLength = 32;   // a setting's name
inline constexpr std::size_t MaxValueLength = 200; // a setting's value
inline constexpr std::size_t MaxSettings = 100;    // settings in the init file
inline constexpr std::size_t MaxInitFile = 64 * 1024;
inline constexpr std::chrono::milliseconds SilenceLimit{5000};
inline constexpr std::chrono::milliseconds AbortWait{1000};

} // namespace protocol
