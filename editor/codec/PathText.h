#pragma once
// UTF-16 paths to and from the UTF-8 bytes that POSIX systems name files by, and to
// UTF-8 for messages on every system.

#include <string>
#include <string_view>

// `text` as UTF-8. An unpaired surrogate becomes the three bytes its code would take when
// `keepUnpaired` (so that every name round-trips through Utf16), else U+FFFD.
std::string Utf8(std::u16string_view text, bool keepUnpaired);

// UTF-8 bytes back to UTF-16. What does not decode is still a name: each stray byte
// becomes one unit of its own rather than failing, and the three-byte form of a surrogate
// comes back as that surrogate.
std::u16string Utf16(std::string_view bytes);
