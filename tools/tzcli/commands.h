// The command groups of tzcli. Each takes the loaded library and the
// arguments after the command name, and returns the process exit code.
#ifndef TZCLI_COMMANDS_H
#define TZCLI_COMMANDS_H

#include <string>
#include <vector>

#include "host_library.h"

namespace tzcli {

using TArgs = std::vector<std::string>;

// RunDemo creates an engine and prints its limits, its parameters and a few
// result-code messages (converted to UTF-8 for the terminal).
int RunDemo(THostLibrary& library, const TArgs& args);

// ToTerminal converts Windows-1251 text from the library to UTF-8.
std::string ToTerminal(const std::string& cp1251);

}  // namespace tzcli

#endif
