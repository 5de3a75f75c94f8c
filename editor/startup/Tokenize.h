#pragma once
// Splitting the editor's command line into tokens. Plain C++ so that it can be tested
// and fuzzed without a window.

#include <string>
#include <vector>

namespace cmdline {

// Splits at blanks, tabs, ";" and ","; double quotes switch separators off and on and are
// never part of a token; "//" ends the scan (dropping the token it stands in), and a ";"
// that closes a token is kept as a token of its own and ends the scan. Always at least
// one element: a line without tokens gives one empty text.
std::vector<std::u16string> Tokenize(const std::u16string &line);

} // namespace cmdline
