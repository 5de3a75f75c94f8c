#pragma once
// How a device response is written into the log so that it stays on one line.

#include <string>
#include <string_view>

namespace tester {

// Every CR becomes "<Cr>", then every LF "<Lf>"; nothing else changes.
std::u16string EscapeResponse(std::u16string_view response);

} // namespace tester
