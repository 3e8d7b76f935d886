// Remote key regeneration: a new key pair waits in the user's regeneration
// folder (its secret key encrypted for the current key) until the other side
// has accepted the new public key; then it replaces the current pair.
#include "commands.h"
#include "files.h"
#include "text.h"

namespace tzcli {

namespace {

// kKeyFilesMissing is the KeyGenState answer "the current key files do not exist".
constexpr int32_t kKeyFilesMissing = 2;

std::string CurrentUID(TSession& s) {
  std::vector<char> uid = TextBuffer(TSession::Size(s.Lib.GetMaxUIDLength(s.Engine)) + 1);
  return s.Lib.GetCurrentUserUID(s.Engine, uid.data()) == 0 ? ToTerminal(TextOf(uid)) : std::string();
}

}  // namespace

void RunRegenStart(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(0);
  std::vector<char> text = TextBuffer(TSession::Size(s.Lib.GetMaxPublicKeyTransferSize(s.Engine)) + 16);
  if (args.Has("ex") || args.Has("uid")) {
    const std::optional<std::string> uid = args.Value("uid");
    const std::string newUID = uid ? FromTerminal(*uid) : std::string();
    int32_t state = 0;
    TSession::Check(s.Lib.RemoteGenerateStartEx(s.Engine, uid ? newUID.c_str() : nullptr, text.data(), &state));
    if (state == kKeyFilesMissing) throw TToolError("the current key files do not exist; nothing was started");
  } else {
    TSession::Check(s.Lib.RemoteGenerateStart(s.Engine, text.data()));
  }
  EmitTransfer(s, args, r, TextOf(text), "new_uid");
}

void RunRegenFinish(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(0);
  if (auto file = args.Value("ex")) {
    const std::string text = ReadTransferText(*file);
    int32_t state = 0;
    TSession::Check(s.Lib.RemoteGenerateFinishEx(s.Engine, text.c_str(), &state));
    if (state == kKeyFilesMissing) throw TToolError("the current key files do not exist; nothing was finished");
  } else {
    TSession::Check(s.Lib.RemoteGenerateFinish(s.Engine, nullptr));
  }
  r.Add("installed", "the new key pair is now the current one");
  r.Add("uid", CurrentUID(s));
}

void RunRegenStatus(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(0);
  std::vector<char> report = TextBuffer(TSession::Size(s.Lib.GetMaxReportSize(s.Engine)));
  const int32_t code = s.Lib.GetReport(s.Engine, "", report.data());
  if (code == -22 || code == -23) {
    r.AddFlag("pending", false);
    r.Add("reason", s.Message(code));
    return;
  }
  TSession::Check(code);
  const TReportFields fields = ParseReport(TextOf(report));
  r.AddFlag("pending", true);
  r.Add("new_uid", fields.UID);
  r.Add("algorithm", fields.Algorithm);
}

}  // namespace tzcli
