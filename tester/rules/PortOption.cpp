#include "PortOption.h"

namespace tester {

PortOption FindPortOption(const std::vector<std::string> &arguments)
{
    static const std::string Name = "--port";
    PortOption found;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--")
            break;
        std::string value;
        if (argument == Name) {
            if (i + 1 < arguments.size())
                value = arguments[++i];
        } else if (argument.rfind(Name + "=", 0) == 0) {
            value = argument.substr(Name.size() + 1);
        } else {
            continue;
        }
        if (value.empty() || value.rfind("--", 0) == 0)
            return {{}, "--port needs the unit's serial port, for example --port /dev/ttyUSB0"};
        found.port = value;
    }
    return found;
}

} // namespace tester
