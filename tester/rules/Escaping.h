#pragma once
// How device texts are written into the log and the panels: a response so that it stays
// on one line, and any text so that no control character reaches them raw.

#include <string>
#include <string_view>

namespace tester {

// Every CR becomes "<Cr>", then every LF "<Lf>"; nothing else changes.
std::u16string EscapeResponse(std::u16string_view response);

// Every control character but CR and LF becomes a visible marker: "<Nul>", "<Tab>", and
// "<0xHH>" for the others (C0, DEL and C1); everything else is left as it is.
std::u16string ShowControls(std::u16string_view text);

} // namespace tester
