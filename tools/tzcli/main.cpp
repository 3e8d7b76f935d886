// tzcli: command-line host of tz_morka. "tzcli [global options] COMMAND ...".
// It loads the library from its own folder, makes one engine, applies the
// saved settings and runs one command; see 'tzcli --help'.
#include <cstdio>
#include <memory>
#include <new>

#include "commands.h"
#include "host_os.h"

namespace tzcli {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int UsageFailure(const std::string& commandName, const std::string& message, const TCommand* command, bool json) {
  const std::string where = commandName.empty() ? "tzcli" : "tzcli " + commandName;
  if (json) {
    TResult result(commandName);
    result.FailText(message);
    result.Print(true);
  } else {
    std::fprintf(stderr, "%s: %s\n", where.c_str(), message.c_str());
  }
  if (command != nullptr) {
    std::fprintf(stderr, "usage: tzcli %s%s%s\n", command->Name, command->Synopsis[0] != '\0' ? " " : "",
                 command->Synopsis);
  } else {
    std::fprintf(stderr, "see 'tzcli --help'\n");
  }
  return kExitUsage;
}

const TCommand* FindCommand(const std::vector<std::string>& words, size_t& used) {
  for (const TCommand& command : Commands()) {
    if (words.size() >= 2 && command.Name == words[0] + " " + words[1]) {
      used = 2;
      return &command;
    }
  }
  for (const TCommand& command : Commands()) {
    if (!words.empty() && command.Name == words[0]) {
      used = 1;
      return &command;
    }
  }
  return nullptr;
}

int Run(const std::vector<std::string>& raw) {
  TGlobalSettings settings;
  std::vector<std::string> words;
  try {
    words = SplitGlobalOptions(raw, settings);
  } catch (const TUsageError& error) {
    return UsageFailure("", error.what(), nullptr, settings.Json);
  }
  if (words.empty()) {
    if (settings.Help) {
      PrintManual();
      return 0;
    }
    return UsageFailure("", "no command given", nullptr, settings.Json);
  }
  if (words[0] == "help") {
    if (words.size() == 1) {
      PrintManual();
      return 0;
    }
    size_t used = 0;
    const std::vector<std::string> topic(words.begin() + 1, words.end());
    if (const TCommand* command = FindCommand(topic, used)) {
      PrintCommandHelp(*command);
      return 0;
    }
    if (PrintGroupHelp(topic[0])) return 0;
    return UsageFailure("", "no command '" + topic[0] + "'", nullptr, settings.Json);
  }

  size_t used = 0;
  const TCommand* command = FindCommand(words, used);
  if (command == nullptr) {
    if (settings.Help && PrintGroupHelp(words[0])) return 0;
    const std::string shown = words.size() >= 2 && words[1][0] != '-' ? words[0] + " " + words[1] : words[0];
    if (PrintGroupHelp(words[0])) std::fprintf(stderr, "\n");
    return UsageFailure("", "no command '" + shown + "'", nullptr, settings.Json);
  }
  if (settings.Help) {
    PrintCommandHelp(*command);
    return 0;
  }

  TParsedArgs args;
  try {
    args = ParseCommandArgs(std::vector<std::string>(words.begin() + static_cast<std::ptrdiff_t>(used), words.end()),
                            command->Options);
  } catch (const TUsageError& error) {
    return UsageFailure(command->Name, error.what(), command, settings.Json);
  }

  TResult result(command->Name);
  THostLibrary library;
  if (!library.Load()) {
    result.FailText("cannot load " + library.Path() + ": " + library.Error());
    result.Print(settings.Json);
    return kExitFailure;
  }
  try {
    TSession session(library, settings, command->UsesProfile);
    try {
      command->Run(session, args, result);
    } catch (const TLibraryError& error) {
      result.Fail(error.Code, session.Message(error.Code));
    }
  } catch (const TUsageError& error) {
    return UsageFailure(command->Name, error.what(), command, settings.Json);
  } catch (const TToolError& error) {
    result.FailText(error.what());
  } catch (const std::bad_alloc&) {
    result.FailText("out of memory");
  } catch (const std::exception& error) {
    result.FailText(error.what());
  }
  result.Print(settings.Json);
  return result.Ok() ? 0 : kExitFailure;
}

}  // namespace
}  // namespace tzcli

int main(int argc, char** argv) {
  tzcli::PrepareTerminal();
  return tzcli::Run(tzcli::CommandLineUtf8(argc, argv));
}
