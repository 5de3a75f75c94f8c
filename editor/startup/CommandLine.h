#pragma once
// Start-up's handling of the command line, apart from any window: rebuilding the one line
// that Tokenize splits, and reading the switches and file names out of its tokens.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cmdline {

// The arguments the system hands over, already split, as the one line Tokenize expects:
// joined with blanks, with the separators inside an argument quoted, so that every
// argument comes back as one token (without its quote characters). Empty arguments
// vanish, as they would in a typed line.
std::u16string JoinArguments(const std::vector<std::u16string> &arguments);

// On Windows, the process's own command line exactly as it was given, less the program's
// name: the text Tokenize is meant to split. Elsewhere nothing, as the system hands the
// arguments over already split (see JoinArguments).
std::optional<std::u16string> RawCommandLine();

// What follows the program's name in a whole command line, the name found the way
// Windows finds it: up to the next quote when the line begins with one, else up to the
// first blank or tab. The blanks and tabs after the name go with it.
std::u16string AfterProgramName(std::u16string_view line);

struct StartupPlan
{
    bool help = false;                 // a help switch: start-up ends without a window
    std::vector<std::u16string> files; // accepted tokens as typed, in command-line order
};

// Applies the switch table to each token in order ("-s"/"-silent" are ignored, "-?",
// "-h", "-help" stop everything, in any case) and keeps the other tokens for which
// `fileExists` holds. `fileExists` sees every such token, the empty one too.
StartupPlan PlanStartup(const std::vector<std::u16string> &tokens,
                        const std::function<bool(const std::u16string &)> &fileExists);

// The token with A to Z turned into a to z; the switches are plain ASCII, so no other
// letter can make a token equal one of them.
std::u16string LowerAscii(std::u16string text);

} // namespace cmdline
