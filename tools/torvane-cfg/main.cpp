#include "CfgTool.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char **argv)
{
#ifdef _WIN32
    // The config text goes through untouched: no CR LF translation on the way in or out.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        return cfgtool::Run(arguments, std::cin, std::cout, std::cerr);
    } catch (const std::exception &error) {
        std::cerr << "torvane-cfg: " << error.what() << '\n';
        return cfgtool::Failure;
    }
}
