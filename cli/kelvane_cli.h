// The command line of kelvane, the simulated host's front: `startup`, `run` and `help`.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args: the words after the program name; in is read for a file named "-". Returns the exit status.
int KelvaneMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
