// The command line of tzcli: global settings, the command (and its
// sub-command), and the command's own options and operands.
#ifndef TZCLI_ARGS_H
#define TZCLI_ARGS_H

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tzcli {

// TUsageError is a command line the tool cannot follow (exit code 2).
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// TOptionDef declares one option of a command: "--Name", optionally "-Short".
struct TOptionDef {
  const char* Name;
  char Short;  // 0 when there is no one-letter form
  bool TakesValue;
};

// TGlobalSettings are the options every command accepts (all text UTF-8).
struct TGlobalSettings {
  std::optional<std::string> ProfilePath;        // --profile
  std::vector<std::string> Sets;                 // --set "Name=Value", in order
  std::optional<std::string> Root;               // --root
  bool Json = false;                             // --json
  bool Help = false;                             // --help, -h
};

// SplitGlobalOptions takes the global options out of args, wherever they
// stand before a "--", and returns the rest in order.
std::vector<std::string> SplitGlobalOptions(const std::vector<std::string>& args, TGlobalSettings& settings);

// TParsedArgs holds a command's operands and options.
class TParsedArgs {
 public:
  std::vector<std::string> Positionals;

  bool Has(const std::string& name) const { return Flags.count(name) != 0 || Values.count(name) != 0; }
  // Value answers the last value given for the option, if any.
  std::optional<std::string> Value(const std::string& name) const;
  // Operand answers operand |index| or raises a usage error naming |what|.
  const std::string& Operand(size_t index, const char* what) const;
  // AtMost raises a usage error when more than |count| operands were given.
  void AtMost(size_t count) const;

  std::set<std::string> Flags;
  std::map<std::string, std::vector<std::string>> Values;
};

// ParseCommandArgs reads args against the command's option list. "--name
// value", "--name=value", "-x value" and "--" (end of options) are accepted;
// anything else that starts with "-" (except "-" itself) is a usage error.
TParsedArgs ParseCommandArgs(const std::vector<std::string>& args, const std::vector<TOptionDef>& defs);

}  // namespace tzcli

#endif
