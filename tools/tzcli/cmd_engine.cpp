// Commands about the engine itself: its parameters, the current user, the
// message of a result code, the key cache and the self tests.
#include <cstdio>

#include "commands.h"
#include "crypc_table.h"
#include "host_os.h"
#include "text.h"

namespace tzcli {

namespace {

const char* KindName(int32_t kind) {
  switch (kind) {
    case 1:
    case 2: return "range";
    case 4: return "length";
    case 7: return "choice";
    case 10: return "file";
    case 11: return "folder";
    default: return "other";
  }
}

// AllowedValues reads GetParamInfo's text; CR LF between values becomes " | ".
std::string AllowedValues(const std::string& cp1251) {
  std::string out;
  for (size_t i = 0; i < cp1251.size(); ++i) {
    if (cp1251[i] == '\r' && i + 1 < cp1251.size() && cp1251[i + 1] == '\n') {
      out += " | ";
      ++i;
    } else {
      out += cp1251[i];
    }
  }
  return ToTerminal(out);
}

// RunProviderSelfTest runs one self test of the outside GOST library; -30
// (an entry point is missing) when the library lacks it.
template <typename TFunction>
int32_t RunProviderSelfTest(void* module, const char* name) {
  auto test = reinterpret_cast<TFunction>(FindSymbol(module, name));
  return test == nullptr ? -30 : test();
}

}  // namespace

void RunParams(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(0);
  if (!s.ProfilePath.empty()) r.Add("profile", s.ProfilePath);
  if (!s.RootGiven.empty()) r.Add("root", s.RootGiven);
  TTable& table = r.AddTable("parameters", {"#no", "name", "value", "#kind", "kind_name", "allowed"});
  for (int32_t i = 1; i <= s.ParamCount(); ++i) {
    int32_t kind = 0;
    int32_t len = 0;
    std::string allowed;
    if (s.Lib.GetParamInfo(s.Engine, i, &kind, nullptr, &len) == 0 && len > 0) {
      std::vector<char> text = TextBuffer(len);
      if (s.Lib.GetParamInfo(s.Engine, i, &kind, text.data(), &len) == 0) allowed = AllowedValues(TextOf(text));
    }
    table.Rows.push_back({std::to_string(i), ToTerminal(s.ParamName(i)), ToTerminal(s.Param(i)), std::to_string(kind),
                          KindName(kind), allowed});
  }
  if (!s.HashMethodGiven) {
    r.Add("note", "\"Hash method\" is GOST because neither the profile nor --set gives it (see 'tzcli help sign')");
  }
}

void RunWhoami(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(0);
  std::vector<char> uid = TextBuffer(TSession::Size(s.Lib.GetMaxUIDLength(s.Engine)) + 1);
  TSession::Check(s.Lib.GetCurrentUserUID(s.Engine, uid.data()));
  r.AddBare("uid", ToTerminal(TextOf(uid)));
}

void RunError(TSession& s, const TParsedArgs& args, TResult& r) {
  if (args.Has("all")) {
    args.AtMost(0);
    TTable& table = r.AddTable("codes", {"#code", "message"});
    for (int32_t code = -32; code <= 15; ++code) table.Rows.push_back({std::to_string(code), s.Message(code)});
    return;
  }
  args.AtMost(1);
  int32_t code = 0;
  const std::string& text = args.Operand(0, "CODE (or --all)");
  if (!ParseInt32(text, code)) throw TUsageError("CODE must be an integer, got '" + text + "'");
  const std::string message = s.Message(code);
  r.Add("code", static_cast<int64_t>(code));
  r.AddBare("message", message.empty() ? "(no message for this code)" : message);
}

void RunReset(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(0);
  s.Lib.ClearCash(s.Engine);
  r.Add("cache", "cleared");
}

void RunSelftest(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(0);
  int32_t firstFailure = 0;
  auto note = [&](int32_t code) {
    if (code != 0 && firstFailure == 0) firstFailure = code;
  };

  // The outside library's known-answer tests, loaded the way the library
  // looks for it first: beside the host program.
  const std::string providerPath = ProgramDirectory() + kProviderFileName;
  std::string loadError;
  void* provider = OpenModule(providerPath, loadError);
  r.Add("provider", providerPath);
  if (provider == nullptr) {
    r.Add("provider_tests", "not run: " + loadError);
    note(-29);
  } else {
    const int32_t cipher = RunProviderSelfTest<CrypC_TestCryptoFunctions__fn>(provider, "CrypC_TestCryptoFunctions_");
    const int32_t signatures = RunProviderSelfTest<CrypC_TestSignFunctions__fn>(provider, "CrypC_TestSignFunctions_");
    CloseModule(provider);
    r.Add("cipher_and_hash_test", cipher == 0 ? std::string("passed") : "failed: " + std::to_string(cipher) + " " + s.Message(cipher));
    r.Add("signature_test", signatures == 0 ? std::string("passed") : "failed: " + std::to_string(signatures) + " " + s.Message(signatures));
    note(cipher);
    note(signatures);
  }

  // The key-readiness check signs a fixed text with the current secret key
  // and verifies it (export object kind 20).
  std::vector<char> signer = TextBuffer(511);
  int32_t signerLen = 511;
  const int32_t ready = s.Lib.ExportObject(s.Engine, 20, nullptr, nullptr, nullptr,
                                           reinterpret_cast<unsigned char*>(signer.data()), &signerLen);
  if (ready == 0) {
    r.Add("secret_key", "ready, signs as " + ToTerminal(TextOf(signer)));
  } else {
    r.Add("secret_key", "not ready: " + std::to_string(ready) + " " + s.Message(ready));
  }
  note(ready);

  // Whether the Abonents folder exists (export object kind 17: 0 = yes).
  int32_t state = 2;
  int32_t stateLen = sizeof state;
  if (s.Lib.ExportObject(s.Engine, 17, nullptr, nullptr, nullptr, reinterpret_cast<unsigned char*>(&state), &stateLen) == 0) {
    r.Add("abonents_folder", state == 0 ? "exists" : "missing");
  }
  if (firstFailure != 0) throw TLibraryError(firstFailure);
}

}  // namespace tzcli
