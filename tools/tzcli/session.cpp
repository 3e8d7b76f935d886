// Engine set-up from the host's saved settings.
#include "session.h"

#include <vector>

#include "files.h"
#include "host_os.h"
#include "platform.h"
#include "profile.h"
#include "result.h"
#include "text.h"

namespace tzcli {

TSession::TSession(THostLibrary& library, const TGlobalSettings& settings, bool useProfile) : Lib(library) {
  Json = settings.Json;
  Engine = Lib.GetCryptObj(0);
  if (Engine == nullptr) throw TToolError("GetCryptObj did not create an engine");
  const int32_t count = Lib.GetCryptoParamNumber(Engine);
  std::vector<char> name(static_cast<size_t>(std::max(Lib.GetMaxCryptoParamNameLength(Engine), 1)) + 1, 0);
  for (int32_t i = 1; i <= count; ++i) {
    std::fill(name.begin(), name.end(), 0);
    Lib.GetCryptoParamName(Engine, i, name.data());
    ParamNames.emplace_back(name.data());
  }
  if (!useProfile) return;
  try {
    ApplySettings(settings);
  } catch (...) {
    // The destructor does not run for a constructor that throws.
    Lib.DoneEngine(Engine);
    Engine = nullptr;
    throw;
  }
}

void TSession::ApplySettings(const TGlobalSettings& settings) {
  TProfile profile;
  if (settings.ProfilePath.has_value()) {
    profile = LoadProfile(*settings.ProfilePath);
  } else if (const std::string fromEnvironment = EnvironmentUtf8("TZCLI_PROFILE"); !fromEnvironment.empty()) {
    profile = LoadProfile(fromEnvironment);
  }
  ProfilePath = profile.Path;
  std::optional<std::string> root = settings.Root.has_value() ? std::optional(AbsolutePath(*settings.Root)) : profile.Root;
  if (root.has_value() && !root->empty()) {
    RootGiven = *root;
    RootPath = FromTerminal(*root);
    Lib.SetRootPath(Engine, RootPath.c_str());
    if (RootPath.back() != '\\') RootPath += '\\';
  }
  if (profile.RemoteGeneratePath.has_value()) {
    Lib.SetRemoteGeneratePath(Engine, FromTerminal(*profile.RemoteGeneratePath).c_str());
  }
  for (const TProfileEntry& entry : profile.Params) {
    SetParamByName(entry.Name, entry.Value, profile.Path + ":" + std::to_string(entry.Line));
  }
  for (const std::string& set : settings.Sets) {
    const size_t eq = set.find('=');
    if (eq == std::string::npos) throw TUsageError("--set needs \"Name=Value\", got \"" + set + "\"");
    SetParamByName(Trim(set.substr(0, eq)), set.substr(eq + 1), "--set");
  }
  if (!HashMethodGiven) SetParam(kParamHashMethod, "GOST");
}

TSession::~TSession() {
  if (Engine != nullptr) Lib.DoneEngine(Engine);
}

int32_t TSession::FindParam(const std::string& name) const {
  for (size_t i = 0; i < ParamNames.size(); ++i) {
    if (ParamNames[i] == name) return static_cast<int32_t>(i + 1);
  }
  for (size_t i = 0; i < ParamNames.size(); ++i) {
    if (EqualsIgnoringCase(ParamNames[i], name)) return static_cast<int32_t>(i + 1);
  }
  int32_t index = 0;
  if (ParseInt32(name, index) && index >= 1 && index <= ParamCount()) return index;
  return 0;
}

std::string TSession::Param(int32_t index) const {
  std::vector<char> value(static_cast<size_t>(std::max(Lib.GetMaxCryptoParamValueLength(Engine), 1)) + 1, 0);
  Lib.GetCryptoParamValue(Engine, index, value.data());
  return std::string(value.data());
}

void TSession::SetParam(int32_t index, const std::string& value) {
  const int32_t result = Lib.SetCryptoParamValue(Engine, index, value.c_str());
  if (result != 0) throw TToolError("parameter " + std::to_string(index) + " was refused (" + std::to_string(result) + ")");
}

void TSession::SetParamByName(const std::string& name, const std::string& value, const std::string& where) {
  const int32_t index = FindParam(FromTerminal(name));
  if (index == 0) {
    throw TUsageError(where + ": no parameter named \"" + name + "\" (see 'tzcli params')");
  }
  SetParam(index, FromTerminal(value));
  if (index == kParamHashMethod) HashMethodGiven = true;
}

std::string TSession::Message(int32_t code) const {
  std::vector<char> text(static_cast<size_t>(std::max(Lib.GetMaxErrorStringLength(Engine), 1)) + 1, 0);
  Lib.GetCryptoErrorString(Engine, code, text.data());
  return ToTerminal(text.data());
}

void TSession::Check(int32_t code) {
  if (code != 0) throw TLibraryError(code);
}

int32_t TSession::Size(int32_t value) {
  if (value < 0) throw TLibraryError(-1);
  return value;
}

std::string TSession::ExpandPath(const std::string& path) const {
  static const std::string kMacro = "%KVLRoot%";
  if (path.size() < kMacro.size() || !EqualsIgnoringCase(path.substr(0, kMacro.size()), kMacro)) return path;
  std::string rest = path.substr(kMacro.size());
  if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
  std::string expanded = RootPath + rest;
  for (char& c : expanded) c = tzm::platform::Cp1251Upper(c);
  return expanded;
}

}  // namespace tzcli
