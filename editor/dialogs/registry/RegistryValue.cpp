#include "RegistryValue.h"

namespace registry {

std::string HexText(std::uint32_t number)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), Digits[number & 0xFu]);
        number >>= 4;
    } while (number != 0);
    return "&h" + digits;
}

void SetResultFromValue(std::uint32_t type, std::string_view bytes, std::string &result)
{
    if (type == TypeText) {
        result.assign(bytes.substr(0, bytes.find('\0')));
    } else if (type == TypeNumber) {
        // The number is taken from its four bytes, not from text cut at a zero: 256 is
        // stored as 00 01 00 00 and would otherwise read as nothing.
        std::uint32_t number = 0;
        for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
            number |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
        result = HexText(number);
    }
}

} // namespace registry
