// Encryption of files for correspondents and decryption by the current user.
#include "commands.h"
#include "files.h"
#include "text.h"

namespace tzcli {

namespace {

std::string DecryptedName(const std::string& file) {
  if (file.size() > 4 && EqualsIgnoringCase(file.substr(file.size() - 4), ".enc")) return file.substr(0, file.size() - 4);
  return file + ".dec";
}

// CheckedLength guards against a length outside the buffer the tool owns.
size_t CheckedLength(int32_t len, size_t capacity) {
  if (len < 0 || static_cast<size_t>(len) > capacity) throw TToolError("the library answered an impossible length");
  return static_cast<size_t>(len);
}

}  // namespace

void RunEncrypt(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string& file = args.Operand(0, "FILE");
  const std::optional<std::string> to = args.Value("to");
  const std::string recipients = to ? FromTerminal(*to) : std::string();
  const char* list = to ? recipients.c_str() : nullptr;
  const int32_t room = TSession::Size(s.Lib.GetMaxAdditionEx(s.Engine, list));
  size_t len = 0;
  std::vector<uint8_t> data = ReadInput(file, static_cast<size_t>(room), len);
  int32_t dataLen = static_cast<int32_t>(len);
  TSession::Check(s.Lib.EncodeData(s.Engine, data.data(), &dataLen, list));
  const std::string out = OutputPath(args, file + ".enc");
  WriteOutput(out, data.data(), CheckedLength(dataLen, data.size()));
  r.Add("recipients", to ? *to : ToTerminal(Trim(s.Param(kParamEncryptFor))));
  r.Add("plain_bytes", static_cast<int64_t>(len));
  r.Add("encrypted_bytes", static_cast<int64_t>(dataLen));
  r.Add("output", out);
}

void RunDecrypt(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string& file = args.Operand(0, "FILE");
  size_t len = 0;
  std::vector<uint8_t> data = ReadInput(file, 0, len);
  int32_t dataLen = static_cast<int32_t>(len);
  TSession::Check(s.Lib.DecodeData(s.Engine, data.data(), &dataLen, nullptr));
  const std::string out = OutputPath(args, DecryptedName(file));
  WriteOutput(out, data.data(), CheckedLength(dataLen, data.size()));
  r.Add("plain_bytes", static_cast<int64_t>(dataLen));
  r.Add("output", out);
}

}  // namespace tzcli
