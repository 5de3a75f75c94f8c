#pragma once
// Probator's one option of its own: the serial port of the unit, "--port PATH" or
// "--port=PATH". The design's window and menus have no place to choose it.

#include <string>
#include <vector>

namespace tester {

struct PortOption
{
    std::string port;  // empty: none given, the control takes the only port present
    std::string error; // for a --port without a port
};

// The last --port among `arguments` (the program's name not included) counts; nothing
// after "--" is an option.
PortOption FindPortOption(const std::vector<std::string> &arguments);

} // namespace tester
