// Command-line parsing: a small, strict parser so that a mistyped option is
// reported instead of being taken for a file name.
#include "args.h"

namespace tzcli {

namespace {

bool TakeValue(const std::vector<std::string>& args, size_t& i, const std::string& option, std::string& value) {
  const size_t eq = args[i].find('=');
  if (args[i].rfind("--", 0) == 0 && eq != std::string::npos) {
    value = args[i].substr(eq + 1);
    return true;
  }
  if (i + 1 >= args.size()) throw TUsageError("option " + option + " needs a value");
  value = args[++i];
  return true;
}

std::string OptionName(const std::string& arg) {
  const size_t eq = arg.find('=');
  return arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
}

}  // namespace

std::vector<std::string> SplitGlobalOptions(const std::vector<std::string>& args, TGlobalSettings& settings) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    const std::string name = arg.rfind("--", 0) == 0 ? OptionName(arg) : std::string();
    std::string value;
    if (name == "profile") {
      TakeValue(args, i, "--profile", value);
      settings.ProfilePath = value;
    } else if (name == "set") {
      TakeValue(args, i, "--set", value);
      settings.Sets.push_back(value);
    } else if (name == "root") {
      TakeValue(args, i, "--root", value);
      settings.Root = value;
    } else if (arg == "--json") {
      settings.Json = true;
    } else if (arg == "--help" || arg == "-h") {
      settings.Help = true;
    } else {
      rest.push_back(arg);
    }
  }
  return rest;
}

std::optional<std::string> TParsedArgs::Value(const std::string& name) const {
  auto found = Values.find(name);
  if (found == Values.end() || found->second.empty()) return std::nullopt;
  return found->second.back();
}

const std::string& TParsedArgs::Operand(size_t index, const char* what) const {
  if (index >= Positionals.size()) throw TUsageError(std::string("missing ") + what);
  return Positionals[index];
}

void TParsedArgs::AtMost(size_t count) const {
  if (Positionals.size() > count) throw TUsageError("unexpected argument '" + Positionals[count] + "'");
}

TParsedArgs ParseCommandArgs(const std::vector<std::string>& args, const std::vector<TOptionDef>& defs) {
  TParsedArgs parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      parsed.Positionals.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const TOptionDef* def = nullptr;
    std::string shown;
    if (arg.rfind("--", 0) == 0) {
      const std::string name = OptionName(arg);
      for (const TOptionDef& s : defs) {
        if (name == s.Name) def = &s;
      }
      shown = "--" + name;
    } else if (arg.size() == 2) {
      for (const TOptionDef& s : defs) {
        if (s.Short != 0 && arg[1] == s.Short) def = &s;
      }
      shown = arg;
    }
    if (def == nullptr) {
      // A negative number is an operand (result codes are negative).
      if (arg.size() > 1 && arg[1] >= '0' && arg[1] <= '9') {
        parsed.Positionals.push_back(arg);
        continue;
      }
      throw TUsageError("unknown option '" + arg + "'");
    }
    if (def->TakesValue) {
      std::string value;
      TakeValue(args, i, shown, value);
      parsed.Values[def->Name].push_back(value);
    } else {
      if (arg.find('=') != std::string::npos) throw TUsageError("option " + shown + " takes no value");
      parsed.Flags.insert(def->Name);
    }
  }
  return parsed;
}

}  // namespace tzcli
