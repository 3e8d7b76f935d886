// tzcli: command-line host of tz_morka. "tzcli <command> [arguments]".
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace {

struct TCommand {
  const char* Name;
  int (*Run)(tzcli::THostLibrary&, const tzcli::TArgs&);
  const char* Help;
};

const TCommand kCommands[] = {
    {"demo", tzcli::RunDemo, "create an engine and show its limits, parameters and messages"},
};

int Usage() {
  std::fprintf(stderr, "usage: tzcli <command> [arguments]\ncommands:\n");
  for (const TCommand& c : kCommands) std::fprintf(stderr, "  %-8s %s\n", c.Name, c.Help);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  for (const TCommand& command : kCommands) {
    if (std::strcmp(argv[1], command.Name) != 0) continue;
    tzcli::THostLibrary library;
    if (!library.Load()) {
      std::fprintf(stderr, "tzcli: cannot load %s: %s\n", library.Path().c_str(), library.Error().c_str());
      return 1;
    }
    return command.Run(library, tzcli::TArgs(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "tzcli: unknown command '%s'\n", argv[1]);
  return Usage();
}
