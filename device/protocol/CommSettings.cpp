#include "CommSettings.h"

#include "Escape.h"

#include <string>
#include <vector>

namespace protocol {
namespace {

std::vector<std::string_view> SplitCommas(std::string_view text)
{
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = text.find(',', from);
        parts.push_back(text.substr(from, comma == std::string_view::npos ? comma : comma - from));
        if (comma == std::string_view::npos)
            return parts;
        from = comma + 1;
    }
}

bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

Result<CommSettings> ParseCommSettings(std::string_view text)
{
    const std::string quoted = "\"" + Visible(text) + "\"";
    const auto refuse = [&quoted](const std::string &why) {
        return Result<CommSettings>::Fail("Serial settings " + quoted + ": " + why + ".");
    };
    const std::vector<std::string_view> parts = SplitCommas(text);
    if (parts.size() != 4)
        return refuse("expected four values, baud,data bits,parity,stop bits (as in "
                      "115200,8,N,1), found " +
                      std::to_string(parts.size()));
    const auto part = [&parts](std::size_t i) { return "\"" + Visible(parts[i], 20) + "\""; };

    CommSettings settings;
    // Ten digits reach past any baud rate a port offers; more is a typing slip.
    if (!AllDigits(parts[0]) || parts[0].size() > 9 || std::stol(std::string(parts[0])) <= 0)
        return refuse("the baud rate must be a whole number above 0, not " + part(0));
    settings.baud = static_cast<std::int32_t>(std::stol(std::string(parts[0])));

    if (parts[1].size() != 1 || parts[1][0] < '5' || parts[1][0] > '8')
        return refuse("data bits must be 5, 6, 7 or 8, not " + part(1));
    settings.dataBits = parts[1][0] - '0';

    const std::string_view parity = parts[2];
    if (parity == "N")
        settings.parity = Parity::None;
    else if (parity == "E")
        settings.parity = Parity::Even;
    else if (parity == "O")
        settings.parity = Parity::Odd;
    else if (parity == "M")
        settings.parity = Parity::Mark;
    else if (parity == "S")
        settings.parity = Parity::Space;
    else
        return refuse("parity must be N, E, O, M or S, not " + part(2));

    const std::string_view stop = parts[3];
    if (stop == "1")
        settings.stopBits = StopBits::One;
    else if (stop == "1.5")
        settings.stopBits = StopBits::OneAndHalf;
    else if (stop == "2")
        settings.stopBits = StopBits::Two;
    else
        return refuse("stop bits must be 1, 1.5 or 2, not " + part(3));
    return settings;
}

} // namespace protocol
