// Key pairs and the store of correspondents' public keys.
#include <algorithm>

#include "commands.h"
#include "files.h"
#include "host_os.h"
#include "platform.h"
#include "text.h"

namespace tzcli {

namespace {

// KeyFileReport answers the report of the public key file |path| (Windows-1251).
TReportFields KeyFileReport(TSession& s, const std::string& path, int32_t& code) {
  std::vector<char> report = TextBuffer(TSession::Size(s.Lib.GetMaxReportSize(s.Engine)));
  code = s.Lib.GetPublicKeyPropertiesByFile(s.Engine, path.c_str(), report.data());
  return code == 0 ? ParseReport(TextOf(report)) : TReportFields();
}

// CollectKeyFiles gathers, below |folder| (Windows-1251, no trailing
// separator), the files whose names end in "pub" in any letter case: the
// files the library's key store reads.
void CollectKeyFiles(const std::string& folder, std::vector<std::string>& files, int depth) {
  if (depth > 32) return;
  std::vector<std::string> subfolders;
  tzm::platform::TFileFind find;
  for (bool ok = find.First(folder + kPathSeparator + "*"); ok; ok = find.Next()) {
    const tzm::platform::TFindEntry& entry = find.Entry();
    const std::string path = folder + kPathSeparator + entry.Name;
    if ((entry.Attributes & tzm::platform::kAttrDirectory) != 0) {
      if ((entry.Attributes & tzm::platform::kAttrReparsePoint) == 0) subfolders.push_back(path);
    } else if (entry.Name.size() >= 3 && EqualsIgnoringCase(entry.Name.substr(entry.Name.size() - 3), "pub")) {
      files.push_back(path);
    }
  }
  find.Close();
  std::sort(subfolders.begin(), subfolders.end());
  for (const std::string& subfolder : subfolders) CollectKeyFiles(subfolder, files, depth + 1);
}

}  // namespace

void RunKeygen(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(2);
  std::string algorithm = args.Value("alg").value_or(args.Positionals.size() > 0 ? args.Positionals[0] : "");
  std::optional<std::string> uid = args.Value("uid");
  if (!uid && args.Positionals.size() > 1) uid = args.Positionals[1];
  if (!algorithm.empty()) s.SetParam(kParamKeyGenAlgorithm, FromTerminal(algorithm));
  if (uid) s.SetParam(kParamKeyGenUID, FromTerminal(*uid));
  if (auto pub = args.Value("pub")) s.SetParam(kParamKeyGenPublicKey, FromTerminal(*pub));
  if (auto sec = args.Value("sec")) s.SetParam(kParamKeyGenSecretKey, FromTerminal(*sec));
  const std::string pub = s.Param(kParamKeyGenPublicKey);
  const std::string sec = s.Param(kParamKeyGenSecretKey);
  if (!args.Has("force")) {
    // Replacing a secret key file loses the key for good; ask for it plainly.
    for (const std::string& path : {pub, sec}) {
      const std::string shown = ToTerminal(s.ExpandPath(path));
      if (PathExists(shown)) throw TToolError(shown + " exists; use --force to replace it (the key in it is lost)");
    }
  }
  TSession::Check(s.Lib.GenerateNewSEK(s.Engine));
  int32_t code = 0;
  const TReportFields report = KeyFileReport(s, pub, code);
  r.Add("uid", report.UID.empty() ? ToTerminal(Trim(s.Param(kParamKeyGenUID))) : report.UID);
  r.Add("algorithm", report.Algorithm.empty() ? ToTerminal(Trim(s.Param(kParamKeyGenAlgorithm))) : report.Algorithm);
  r.Add("public_key", ToTerminal(pub));
  r.Add("secret_key", ToTerminal(sec));
}

void RunAbonentsList(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(0);
  TTable& table = r.AddTable("keys", {"uid", "algorithm", "file"});
  const std::string own = s.Param(kParamPublicKey);
  int32_t code = 0;
  TReportFields report = KeyFileReport(s, own, code);
  table.Rows.push_back({code == 0 ? report.UID : "(own key unreadable: " + std::to_string(code) + ")",
                        code == 0 ? report.Algorithm : "", ToTerminal(own) + "  (own key)"});

  std::string folder = s.ExpandPath(s.Param(kParamAbonentsDir));
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (folder.empty() || !tzm::platform::DirectoryExists(folder)) {
    r.Add("abonents_folder", ToTerminal(folder) + " (missing)");
    return;
  }
  std::vector<std::string> files;
  CollectKeyFiles(folder, files, 0);
  for (const std::string& file : files) {
    report = KeyFileReport(s, file, code);
    if (code == 0) {
      table.Rows.push_back({report.UID, report.Algorithm, ToTerminal(file)});
    } else {
      table.Rows.push_back({"(unreadable: " + std::to_string(code) + ")", "", ToTerminal(file)});
    }
  }
  r.Add("abonents_folder", ToTerminal(folder));
  r.Add("correspondents", static_cast<int64_t>(files.size()));
}

void RunAbonentsInclude(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string& file = args.Operand(0, "FILE (a public key file)");
  std::string included = file;
  // The library deletes the file it has included, which could be a
  // colleague's only copy of the key: include a copy unless asked to move.
  const bool keep = !args.Has("move");
  if (keep) {
    included = JoinPath(TempFolder(), "tzcli-include-" + std::to_string(ProcessId()) + ".tmp");
    CopyFile(file, included);
  }
  int32_t code = 0;
  const TReportFields report = KeyFileReport(s, FromTerminal(included), code);
  if (code == 0) r.Add("uid", report.UID);
  const int32_t result = s.Lib.IncludePublicKey(s.Engine, FromTerminal(included).c_str());
  if (keep) RemovePath(included);
  TSession::Check(result);
  r.Add("source", keep ? file + " (kept)" : file + " (moved into the store)");
}

void RunAbonentsRemove(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string& uid = args.Operand(0, "UID");
  TSession::Check(s.Lib.RemoveCertificate(s.Engine, FromTerminal(uid).c_str()));
  r.Add("removed", uid);
}

void RunAbonentsUpdate(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string& uid = args.Operand(0, "UID");
  TSession::Check(s.Lib.UpdateCertificateCash(s.Engine, FromTerminal(uid).c_str()));
  r.Add("updated", uid);
}

}  // namespace tzcli
