#pragma once

#include <cstddef>
#include <string_view>

namespace tester {

struct Utf8Char
{
    char32_t code = 0;
    std::size_t length = 0; // in bytes; 0 when the bytes start no valid sequence
};

// The character that `text` (not empty) starts with. Overlong forms, surrogates, code
// points beyond U+10FFFF and sequences cut short are not valid.
Utf8Char FirstUtf8Char(std::string_view text);

} // namespace tester
