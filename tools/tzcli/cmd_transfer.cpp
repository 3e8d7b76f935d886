// Public key transfers: signed one-line texts that carry a public key file.
#include "commands.h"
#include "files.h"
#include "text.h"

namespace tzcli {

namespace {

std::vector<char> TransferBuffer(TSession& s) {
  // The text and its terminating zero; a little spare room costs nothing.
  return TextBuffer(TSession::Size(s.Lib.GetMaxPublicKeyTransferSize(s.Engine)) + 16);
}

// CarriedUID answers the UID of the key a transfer carries, or "" when the
// transfer does not verify.
std::string CarriedUID(TSession& s, const std::string& text) {
  std::vector<char> uid = TextBuffer(TSession::Size(s.Lib.GetMaxUIDLength(s.Engine)) + 1);
  if (s.Lib.GetUIDByPublicKeyTransfer(s.Engine, text.c_str(), uid.data()) != 0) return std::string();
  return ToTerminal(TextOf(uid));
}

}  // namespace

void EmitTransfer(TSession& s, const TParsedArgs& args, TResult& r, const std::string& text, const char* uidKey) {
  if (auto out = args.Value("output")) {
    WriteTransferText(*out, text);
    const std::string uid = CarriedUID(s, text);
    if (!uid.empty()) r.Add(uidKey, uid);
    r.Add("length", static_cast<int64_t>(text.size()));
    r.Add("output", *out);
  } else {
    r.AddBare("transfer", text);
  }
}

void RunTransferExport(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  std::vector<char> text = TransferBuffer(s);
  if (auto file = args.Value("file")) {
    if (!args.Positionals.empty() || args.Has("self")) throw TUsageError("give one of UID, --self or --file");
    TSession::Check(s.Lib.GetPublicKeyTransferByFile(s.Engine, text.data(), FromTerminal(*file).c_str()));
  } else if (!args.Positionals.empty()) {
    if (args.Has("self")) throw TUsageError("give one of UID, --self or --file");
    TSession::Check(s.Lib.GetPublicKeyTransfer(s.Engine, FromTerminal(args.Positionals[0]).c_str(), text.data()));
  } else {
    TSession::Check(s.Lib.ExcludeSelfPublicKeyTransfer(s.Engine, text.data()));
  }
  EmitTransfer(s, args, r, TextOf(text), "uid");
}

void RunTransferImport(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string text = ReadTransferText(args.Operand(0, "FILE (a transfer text, - for standard input)"));
  const std::string uid = CarriedUID(s, text);
  const int32_t code = s.Lib.IncludePublicKeyTransfer(s.Engine, text.c_str());
  if (code == -11) {
    r.Add("hint", "the signer's public key is not known here; include the signer's key file first "
                  "(tzcli abonents include FILE)");
  }
  TSession::Check(code);
  r.Add("included", uid);
}

void RunTransferSave(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string text = ReadTransferText(args.Operand(0, "FILE (a transfer text, - for standard input)"));
  const std::string folder = AbsolutePath(args.Value("dir").value_or("."));
  TSession::Check(s.Lib.SavePublicKeyFromTransfer(s.Engine, FromTerminal(folder).c_str(), text.c_str()));
  const std::string uid = CarriedUID(s, text);
  if (!uid.empty()) r.Add("uid", uid);
  r.Add("saved_into", folder);
}

void RunTransferUid(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string text = ReadTransferText(args.Operand(0, "FILE (a transfer text, - for standard input)"));
  std::vector<char> uid = TextBuffer(TSession::Size(s.Lib.GetMaxUIDLength(s.Engine)) + 1);
  TSession::Check(s.Lib.GetUIDByPublicKeyTransfer(s.Engine, text.c_str(), uid.data()));
  r.AddBare("uid", ToTerminal(TextOf(uid)));
}

void RunTransferContent(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string text = ReadTransferText(args.Operand(0, "FILE (a transfer text, - for standard input)"));
  void* transfer = const_cast<char*>(text.c_str());
  int32_t len = 0;
  TSession::Check(s.Lib.ExportObject(s.Engine, 6, transfer, nullptr, nullptr, nullptr, &len));
  std::vector<uint8_t> key(static_cast<size_t>(std::max(len, 0)));
  TSession::Check(s.Lib.ExportObject(s.Engine, 6, transfer, nullptr, nullptr, key.data(), &len));
  key.resize(static_cast<size_t>(std::max(len, 0)));
  r.Add("key_bytes", static_cast<int64_t>(key.size()));
  if (auto out = args.Value("output")) {
    WriteOutput(*out, key.data(), key.size());
    r.Add("output", *out);
  } else {
    r.Add("hex", HexDump(key.data(), key.size()));
  }
}

}  // namespace tzcli
