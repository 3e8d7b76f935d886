// One run of tzcli against the loaded library: an engine configured from
// the profile, the --set overrides and the root directory, and the helpers
// every command uses to read parameters and turn result codes into messages.
#ifndef TZCLI_SESSION_H
#define TZCLI_SESSION_H

#include <cstdint>
#include <string>
#include <vector>

#include "args.h"
#include "host_library.h"

namespace tzcli {

// The parameters the tool reads by number (the engine's own numbering).
enum : int32_t {
  kParamPublicKey = 1,
  kParamSecretKey = 2,
  kParamAbonentsDir = 3,
  kParamCADir = 4,
  kParamEncryptMethod = 5,
  kParamEncryptFor = 6,
  kParamKeyGenAlgorithm = 9,
  kParamKeyGenUID = 10,
  kParamKeyGenPublicKey = 11,
  kParamKeyGenSecretKey = 12,
  kParamHashMethod = 13,
};

class TSession {
 public:
  // The constructor creates the engine. With useProfile it applies the root
  // directory, the profile (--profile or TZCLI_PROFILE) and the --set
  // overrides, in that order; otherwise the engine keeps its defaults.
  // "Hash method" becomes GOST unless the profile or --set gives it: the
  // engine's default digest (OLD_FORMAT) covers only the first 65535 bytes
  // of the data, so a signature made with it would leave the rest of a
  // larger file unprotected.
  // Raises TToolError when no engine can be made, TUsageError for a bad
  // profile line or --set.
  TSession(THostLibrary& library, const TGlobalSettings& settings, bool useProfile);
  ~TSession();
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  THostLibrary& Lib;
  TZMEngine Engine = nullptr;
  bool Json = false;
  bool HashMethodGiven = false;  // the profile or --set chose "Hash method"
  std::string ProfilePath;  // UTF-8, empty when none was used
  std::string RootGiven;    // UTF-8 as given to SetRootPath, empty when none
  std::string RootPath;     // Windows-1251 with the trailing '\' the engine adds

  // FindParam answers the number of the parameter named |name| (Windows-1251;
  // exact match first, then ignoring case, then a plain number), or 0.
  int32_t FindParam(const std::string& name) const;
  int32_t ParamCount() const { return static_cast<int32_t>(ParamNames.size()); }
  const std::string& ParamName(int32_t index) const { return ParamNames[static_cast<size_t>(index - 1)]; }
  // Param answers the value of parameter |index| (Windows-1251).
  std::string Param(int32_t index) const;
  // SetParam sets parameter |index|; raises TToolError when refused.
  void SetParam(int32_t index, const std::string& value);
  // SetParamByName applies "Name=Value" text (UTF-8) as --set does.
  void SetParamByName(const std::string& name, const std::string& value, const std::string& where);

  // Message answers the library's message for |code| in UTF-8 (for -3 it
  // includes the engine's last failure text).
  std::string Message(int32_t code) const;
  // Check raises TLibraryError for a result other than 0.
  static void Check(int32_t code);
  // Size answers a size query's value, raising TLibraryError(-1) for a failure.
  static int32_t Size(int32_t value);

  // ExpandPath expands a leading %KVLRoot% as the engine does (the root
  // directory followed by the rest, upper-cased), for the tool's own look at
  // files the library will use; other paths are returned unchanged.
  std::string ExpandPath(const std::string& path) const;

 private:
  // ApplySettings applies the root, the profile and the --set overrides.
  void ApplySettings(const TGlobalSettings& settings);

  std::vector<std::string> ParamNames;
};

}  // namespace tzcli

#endif
