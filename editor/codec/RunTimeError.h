#pragma once
// The editor's one error type. Procedures raise it and either report it, re-raise it
// under their own name, skip the failing step, or let it reach their caller.

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

struct RunTimeError : std::exception
{
    RunTimeError(std::int32_t number, std::string description, std::string source)
        : Number(number), Description(std::move(description)), Source(std::move(source))
    {}

    const char *what() const noexcept override { return Description.c_str(); }

    std::int32_t Number;
    std::string Description; // UTF-8
    std::string Source;      // the procedure that raised it
};

// Error numbers the editor raises or looks for.
namespace ErrorNumber {
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t DiskFull = 61;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t PathFileAccess = 75;
inline constexpr std::int32_t PathNotFound = 76;
inline constexpr std::int32_t DialogCancelled = 32755;
} // namespace ErrorNumber
