// The command line of kelvane, the simulated host's front: `startup` and `run`.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args: the words after the program name. Returns the exit status.
int KelvaneMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
