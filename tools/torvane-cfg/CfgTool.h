#pragma once
// torvane-cfg: the config file format on the command line, for scripts and for git.
// Everything but the process itself, so that tests can run it with streams of their own.

#include <iosfwd>
#include <string>
#include <vector>

namespace cfgtool {

// Exit statuses.
inline constexpr int Success = 0;
inline constexpr int Failure = 1; // a bad input, a refused text, or a file that loses text
inline constexpr int Usage = 2;   // the command line itself is wrong

// Runs the command in `arguments` (those after the program's name). Standard input is
// read, and standard output written, as bytes. Returns the exit status.
int Run(const std::vector<std::string> &arguments, std::istream &in, std::ostream &out,
        std::ostream &err);

} // namespace cfgtool
