// Key reports: of a correspondent's key, a key file, a transfer, or the key
// of a pending regeneration.
#include "commands.h"
#include "files.h"
#include "text.h"

namespace tzcli {

void RunReport(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  std::vector<char> report = TextBuffer(TSession::Size(s.Lib.GetMaxReportSize(s.Engine)));
  if (auto file = args.Value("file")) {
    TSession::Check(s.Lib.GetPublicKeyPropertiesByFile(s.Engine, FromTerminal(*file).c_str(), report.data()));
  } else if (auto transfer = args.Value("transfer")) {
    const std::string text = ReadTransferText(*transfer);
    TSession::Check(s.Lib.GetPublicKeyPropertiesByTransfer(s.Engine, text.c_str(), report.data()));
  } else if (args.Has("pending")) {
    TSession::Check(s.Lib.GetReport(s.Engine, "", report.data()));
  } else {
    std::string uid;
    if (!args.Positionals.empty()) {
      uid = FromTerminal(args.Positionals[0]);
      if (uid.empty()) throw TUsageError("UID is empty (use --pending for the key of a started regeneration)");
    } else {
      std::vector<char> own = TextBuffer(TSession::Size(s.Lib.GetMaxUIDLength(s.Engine)) + 1);
      TSession::Check(s.Lib.GetCurrentUserUID(s.Engine, own.data()));
      uid = TextOf(own);
    }
    TSession::Check(s.Lib.GetReport(s.Engine, uid.c_str(), report.data()));
  }
  const TReportFields fields = ParseReport(TextOf(report));
  if (s.Json) {
    r.Add("uid", fields.UID);
    r.Add("algorithm", fields.Algorithm);
  }
  r.AddBlock("report", fields.Report);
}

}  // namespace tzcli
