#pragma once
// Texts on the wire: printable ASCII, with backslash escapes for everything else.

#include "Result.h"

#include <string>
#include <string_view>

namespace protocol {

// `last` is true for a text that ends its line; any other text also has its spaces
// escaped, since a space there would end it.
std::string EscapeText(std::string_view text, bool last = true);

// The bytes a text stands for, or why it cannot be read.
Result<std::string> UnescapeText(std::string_view wire);

// A raw line as a person can read it in a report: printable bytes as they are, others as
// \xHH, cut to about `limit` characters with "..." after.
std::string Visible(std::string_view raw, std::size_t limit = 60);

// True for a name of the init file and SET: 1 to 32 of A-Z a-z 0-9 _ . -
bool IsSettingName(std::string_view name);

} // namespace protocol
