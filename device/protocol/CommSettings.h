#pragma once
// The serial-line settings text of the control, "baud,data bits,parity,stop bits" as in
// "115200,8,N,1", read strictly: a value the line cannot take is refused with a sentence
// saying which part is wrong, rather than guessed at.

#include "Result.h"

#include <cstdint>
#include <string_view>

namespace protocol {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct CommSettings
{
    std::int32_t baud = 115200;
    int dataBits = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;

    bool operator==(const CommSettings &) const = default;
};

Result<CommSettings> ParseCommSettings(std::string_view text);

} // namespace protocol
