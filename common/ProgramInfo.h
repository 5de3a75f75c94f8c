#pragma once
// "--help" and "--version" as command-line programs on this platform answer them: on
// standard output, before any window is opened or any display is needed, ending with
// status 0. Plain C++: it runs before Qt is started.

#include <iosfwd>
#include <string>
#include <vector>

namespace startup {

struct ProgramInfo
{
    const char *name;    // the command's name: "quillon"
    const char *version; // "1.0.0"
    const char *help;    // the whole --help text, from its "Usage:" line on
};

// Answers the first argument that is exactly "--help" or "--version" and returns true;
// false, with nothing written, when there is none. Only these two spellings count: the
// programs' own switches ("-h", "-help", "-?", ...) keep their own meaning, and an
// argument after "--" is never an option.
bool AnswerInfoOption(const std::vector<std::string> &arguments, const ProgramInfo &info,
                      std::ostream &out);

} // namespace startup
