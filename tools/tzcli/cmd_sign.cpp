// Signatures (detached and attached) and hashes of files.
#include "commands.h"
#include "files.h"
#include "text.h"

namespace tzcli {

namespace {

// kMaxSignatureFileLen bounds what is read as a detached signature; a real
// one is at most GetMaxSignatureLength (319) bytes.
constexpr uint64_t kMaxSignatureFileLen = 65536;

// kCompatibilityPieceLen is how much of the data the engine's OLD_FORMAT
// digest covers: it hashes the first 65535 bytes again in place of every
// later piece, so a signature made with it says nothing about the rest.
constexpr size_t kCompatibilityPieceLen = 65535;

// CoversWholeData checks a signature that verified over len bytes of data:
// a signature made with the GOST digest no longer verifies when the last
// byte changes; one that does covers only the first 65535 bytes.
bool CoversWholeData(TSession& s, uint8_t* data, size_t len, const uint8_t* signature, size_t signatureLen) {
  if (len <= kCompatibilityPieceLen) return true;
  std::vector<char> signer = TextBuffer(TSession::Size(s.Lib.GetMaxUIDLength(s.Engine)) + 1);
  data[len - 1] ^= 0x01;
  const int32_t code = s.Lib.VerifyData(s.Engine, data, static_cast<int32_t>(len), signature,
                                        static_cast<int32_t>(signatureLen), signer.data());
  data[len - 1] ^= 0x01;
  return code != 0;
}

// ReportCoverage adds the verdict on a partial signature: a failure unless
// the operator allowed it with --allow-partial.
void ReportCoverage(const TParsedArgs& args, TResult& r, bool whole) {
  if (whole) {
    r.Add("signature", "valid");
    return;
  }
  r.Add("signature", "valid for the first 65535 bytes only (OLD_FORMAT digest); the rest is not covered");
  if (!args.Has("allow-partial")) {
    throw TToolError("the signature does not cover the whole data (use --allow-partial to accept it)");
  }
}

std::string HashMethodName(const TSession& s) {
  std::string method = s.Param(kParamHashMethod);
  return EqualsIgnoringCase(method, "GOST") ? "GOST" : "OLD_FORMAT";
}

}  // namespace

void RunSign(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string& file = args.Operand(0, "FILE");
  size_t len = 0;
  if (FileSizeOf(file) > kCompatibilityPieceLen && HashMethodName(s) != "GOST") {
    r.Add("warning", "the OLD_FORMAT digest covers only the first 65535 bytes of " + file);
  }
  if (args.Has("attached")) {
    const int32_t room = TSession::Size(s.Lib.GetMaxSignAddition(s.Engine));
    std::vector<uint8_t> data = ReadInput(file, static_cast<size_t>(room), len);
    int32_t dataLen = static_cast<int32_t>(len);
    TSession::Check(s.Lib.AddSign(s.Engine, data.data(), &dataLen, nullptr));
    const std::string out = OutputPath(args, file + ".signed");
    WriteOutput(out, data.data(), static_cast<size_t>(dataLen));
    r.Add("signer", SignerOfBlock(data.data() + len, static_cast<size_t>(dataLen) - len));
    r.Add("signed_bytes", static_cast<int64_t>(len));
    r.Add("output", out);
    return;
  }
  std::vector<uint8_t> data = ReadInput(file, 0, len);
  std::vector<uint8_t> signature(static_cast<size_t>(TSession::Size(s.Lib.GetMaxSignatureLength(s.Engine))));
  int32_t signatureLen = static_cast<int32_t>(signature.size());
  TSession::Check(s.Lib.SignData(s.Engine, data.data(), static_cast<int32_t>(len), signature.data(), &signatureLen, nullptr));
  const std::string out = OutputPath(args, file + ".sig");
  WriteOutput(out, signature.data(), static_cast<size_t>(signatureLen));
  r.Add("signer", SignerOfBlock(signature.data(), static_cast<size_t>(signatureLen)));
  r.Add("signed_bytes", static_cast<int64_t>(len));
  r.Add("output", out);
}

void RunVerify(TSession& s, const TParsedArgs& args, TResult& r) {
  const std::string& file = args.Operand(0, "FILE");
  std::vector<char> signer = TextBuffer(TSession::Size(s.Lib.GetMaxUIDLength(s.Engine)) + 1);
  size_t len = 0;
  if (args.Has("attached")) {
    args.AtMost(1);
    std::vector<uint8_t> data = ReadInput(file, 0, len);
    int32_t dataLen = static_cast<int32_t>(len);
    const int32_t code = s.Lib.RemoveSign(s.Engine, data.data(), &dataLen, signer.data());
    if (!TextOf(signer).empty()) r.Add("signer", ToTerminal(TextOf(signer)));
    TSession::Check(code);
    const auto n = static_cast<size_t>(dataLen);
    r.Add("data_bytes", static_cast<int64_t>(dataLen));
    ReportCoverage(args, r, CoversWholeData(s, data.data(), n, data.data() + n, len - n - 4));
    if (auto out = args.Value("output")) {
      WriteOutput(*out, data.data(), static_cast<size_t>(dataLen));
      r.Add("output", *out);
    }
    return;
  }
  args.AtMost(2);
  if (args.Has("output")) throw TUsageError("--output goes with --attached only");
  const std::string signaturePath = args.Positionals.size() > 1 ? args.Positionals[1] : file + ".sig";
  if (FileSizeOf(signaturePath) > kMaxSignatureFileLen) throw TToolError(signaturePath + " is not a signature file (too large)");
  size_t signatureLen = 0;
  std::vector<uint8_t> signature = ReadInput(signaturePath, 0, signatureLen);
  std::vector<uint8_t> data = ReadInput(file, 0, len);
  const int32_t code = s.Lib.VerifyData(s.Engine, data.data(), static_cast<int32_t>(len), signature.data(),
                                        static_cast<int32_t>(signatureLen), signer.data());
  if (!TextOf(signer).empty()) r.Add("signer", ToTerminal(TextOf(signer)));
  TSession::Check(code);
  r.Add("data_bytes", static_cast<int64_t>(len));
  ReportCoverage(args, r, CoversWholeData(s, data.data(), len, signature.data(), signatureLen));
}

void RunHash(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  const std::string& file = args.Operand(0, "FILE");
  const std::string form = args.Value("form").value_or("hex");
  int32_t format = 0;
  if (form == "hex") {
    format = 2;
  } else if (form == "base64") {
    format = 1;
  } else if (form != "raw") {
    throw TUsageError("--form is raw, hex or base64, not '" + form + "'");
  }
  size_t len = 0;
  std::vector<uint8_t> data = ReadInput(file, 0, len);
  int32_t outLen = 0;
  TSession::Check(s.Lib.HashData(s.Engine, data.data(), static_cast<int32_t>(len), format, nullptr, &outLen));
  std::vector<uint8_t> out(static_cast<size_t>(std::max(outLen, 0)));
  TSession::Check(s.Lib.HashData(s.Engine, data.data(), static_cast<int32_t>(len), format, out.data(), &outLen));
  out.resize(static_cast<size_t>(outLen));
  if (auto path = args.Value("output")) {
    WriteOutput(*path, out.data(), out.size());
    r.Add("output", *path);
  } else if (format == 0 && !s.Json) {
    WriteOutput("-", out.data(), out.size());
    return;
  } else {
    r.AddBare("hash", format == 0 ? HexDump(out.data(), out.size()) : std::string(out.begin(), out.end()));
  }
  if (s.Json) {
    r.Add("form", form);
    r.Add("method", HashMethodName(s));
  }
}

}  // namespace tzcli
