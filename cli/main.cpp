// kelvane: loads the plug-in into the simulated host and works with it as a user would.
#include <iostream>
#include <string>
#include <vector>

#include "kelvane_cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return KelvaneMain(args, std::cin, std::cout, std::cerr);
}
