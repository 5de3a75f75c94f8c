#include "ProgramInfo.h"

#include <ostream>

namespace startup {

bool AnswerInfoOption(const std::vector<std::string> &arguments, const ProgramInfo &info,
                      std::ostream &out)
{
    for (const std::string &argument : arguments) {
        if (argument == "--")
            return false;
        if (argument == "--help") {
            out << info.help;
            return true;
        }
        if (argument == "--version") {
            out << info.name << ' ' << info.version << '\n';
            return true;
        }
    }
    return false;
}

} // namespace startup
