#pragma once
// Adjustments to the regional date and time formats the log's time stamp is built from.
// Formats use the locale pattern letters; text between single quotes is literal.

#include <string>
#include <string_view>

namespace tester {

// The format without its time-zone field ("t" letters), with the blank, comma or
// brackets that set it off, so "h:mm:ss AP t" and "HH:mm:ss (t)" give "h:mm:ss AP"
// and "HH:mm:ss".
std::u16string WithoutTimeZone(std::u16string_view format);

// A two-digit year ("yy") widened to four digits, so "M/d/yy" gives "M/d/yyyy" and the
// stamp never leaves the century to guess.
std::u16string WithFullYear(std::u16string_view format);

} // namespace tester
