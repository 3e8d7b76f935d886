// "tzcli demo": the library's whole story with two users in a fresh folder.
// Both users live in this one process, each with an engine of its own, the
// way two hosts would each have theirs; files pass between them as they
// would on a disk or by mail.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "crypc_table.h"
#include "files.h"
#include "host_os.h"
#include "text.h"

namespace tzcli {

namespace {

// The two users (UTF-8).
const char* const kIvanov = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2 \xD0\x98.\xD0\x98.";
const char* const kPetrov = "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2 \xD0\x9F.\xD0\x9F.";
const char* const kContractLine =
    "\xD0\x94\xD0\xBE\xD0\xB3\xD0\xBE\xD0\xB2\xD0\xBE\xD1\x80 \xD0\xBF\xD0\xBE\xD1\x81\xD1\x82\xD0\xB0\xD0\xB2\xD0\xBA"
    "\xD0\xB8 \xE2\x84\x96 17. \xD0\xA1\xD1\x82\xD0\xBE\xD1\x80\xD0\xBE\xD0\xBD\xD1\x8B: \xD0\x98\xD0\xB2\xD0\xB0\xD0"
    "\xBD\xD0\xBE\xD0\xB2 \xD0\x98.\xD0\x98. \xD0\xB8 \xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2 \xD0\x9F.\xD0"
    "\x9F.\n";
const char* const kPaymentText =
    "\xD0\x9F\xD0\xBB\xD0\xB0\xD1\x82\xD1\x91\xD0\xB6\xD0\xBD\xD0\xBE\xD0\xB5 \xD0\xBF\xD0\xBE\xD1\x80\xD1\x83\xD1\x87"
    "\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 \xE2\x84\x96 42: 1000 \xD1\x80\xD1\x83\xD0\xB1.\n";
const char* const kReportLine =
    "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 \xD0\xB7\xD0\xB0 \xD0\xBA\xD0\xB2\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0\xD0\xBB,"
    " \xD1\x82\xD0\xBE\xD0\xBB\xD1\x8C\xD0\xBA\xD0\xBE \xD0\xB4\xD0\xBB\xD1\x8F \xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE"
    "\xD0\xB2\xD0\xB0 \xD0\xB8 \xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB0.\n";

using TBytes = std::vector<uint8_t>;

// TStepFailure stops the demo: a result code with the message of the engine
// that answered it, or (code 0) the demo's own finding.
struct TStepFailure {
  int32_t Code;
  std::string Message;
};

struct TDemoUser {
  std::string UID;     // UTF-8
  std::string Folder;  // UTF-8, absolute
  std::string Algorithm;
  TZMEngine Engine = nullptr;
  std::string PublicKey() const { return JoinPath(Folder, "self.pub"); }
  std::string SecretKey() const { return JoinPath(Folder, "self.sec"); }
};

TBytes BytesOf(const std::string& text) { return TBytes(text.begin(), text.end()); }

class TDemo {
 public:
  TDemo(TSession& session, const std::string& folder) : S(session), Lib(session.Lib), Folder(folder) {}

  ~TDemo() {
    for (TDemoUser* user : {&Ivanov, &Petrov}) {
      if (user->Engine != nullptr) Lib.DoneEngine(user->Engine);
    }
  }

  void Run();

  // What the run produced, for --json.
  std::vector<std::vector<std::string>> StepRows;
  std::string Reports;
  int Number = 0;

 private:
  // Step runs one step: body answers the detail shown after the title.
  void Step(const std::string& title, const std::function<std::string()>& body);

  std::string Message(const TDemoUser& user, int32_t code) const {
    std::vector<char> text(static_cast<size_t>(std::max(Lib.GetMaxErrorStringLength(user.Engine), 1)) + 1, 0);
    Lib.GetCryptoErrorString(user.Engine, code, text.data());
    return ToTerminal(text.data());
  }
  void Must(const TDemoUser& user, int32_t code) const {
    if (code != 0) throw TStepFailure{code, Message(user, code)};
  }
  static void Expect(bool condition, const std::string& what) {
    if (!condition) throw TStepFailure{0, what};
  }

  void SetUp(TDemoUser& user, const char* uid, const char* folderName, const char* algorithm);
  void SetParam(const TDemoUser& user, int32_t index, const std::string& utf8) const {
    Expect(Lib.SetCryptoParamValue(user.Engine, index, FromTerminal(utf8).c_str()) == 0, "parameter refused");
  }
  std::string GenerateKeys(const TDemoUser& user);
  std::string SelfTransfer(const TDemoUser& user);
  std::string TransferUID(const TDemoUser& reader, const std::string& transfer);
  TBytes Sign(const TDemoUser& user, const TBytes& data);
  int32_t Verify(const TDemoUser& user, const TBytes& data, const TBytes& signature, std::string& signer);
  TBytes Encrypt(const TDemoUser& user, const TBytes& data, const std::string& recipients);
  int32_t Decrypt(const TDemoUser& user, TBytes& data);
  std::string Report(const TDemoUser& reader, const std::string& uid);

  TSession& S;
  THostLibrary& Lib;
  std::string Folder;
  TDemoUser Ivanov;
  TDemoUser Petrov;
};

void TDemo::Step(const std::string& title, const std::function<std::string()>& body) {
  ++Number;
  const auto start = std::chrono::steady_clock::now();
  std::string outcome = "ok";
  std::string detail;
  TStepFailure failure{0, std::string()};
  bool failed = false;
  try {
    detail = body();
  } catch (const TStepFailure& caught) {
    failure = caught;
    failed = true;
  } catch (const TToolError& caught) {
    failure = TStepFailure{0, caught.what()};
    failed = true;
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (failed) {
    outcome = "FAIL";
    detail = failure.Code != 0 ? "error " + std::to_string(failure.Code) + ": " + failure.Message : failure.Message;
  }
  char msText[32];
  std::snprintf(msText, sizeof msText, "%.1f", ms);
  StepRows.push_back({std::to_string(Number), outcome, msText, title, detail});
  if (!S.Json) {
    std::printf("%2d  %-4s %9s ms  %s%s%s\n", Number, outcome.c_str(), msText, title.c_str(),
                detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
  }
  if (failed) throw failure;
}

void TDemo::SetUp(TDemoUser& user, const char* uid, const char* folderName, const char* algorithm) {
  user.UID = uid;
  user.Algorithm = algorithm;
  user.Folder = JoinPath(Folder, folderName);
  MakeFolders(JoinPath(user.Folder, "abonents"));
  MakeFolders(JoinPath(user.Folder, "ca"));
  user.Engine = Lib.GetCryptObj(0);
  Expect(user.Engine != nullptr, "GetCryptObj made no engine");
  SetParam(user, kParamPublicKey, user.PublicKey());
  SetParam(user, kParamSecretKey, user.SecretKey());
  SetParam(user, kParamAbonentsDir, JoinPath(user.Folder, "abonents"));
  SetParam(user, kParamCADir, JoinPath(user.Folder, "ca"));
  SetParam(user, kParamKeyGenAlgorithm, algorithm);
  SetParam(user, kParamKeyGenUID, uid);
  SetParam(user, kParamKeyGenPublicKey, user.PublicKey());
  SetParam(user, kParamKeyGenSecretKey, user.SecretKey());
  // The GOST digest covers the whole data (see TSession).
  SetParam(user, kParamHashMethod, "GOST");
}

std::string TDemo::GenerateKeys(const TDemoUser& user) {
  Must(user, Lib.GenerateNewSSK(user.Engine));
  return "keys in " + user.Folder;
}

std::string TDemo::SelfTransfer(const TDemoUser& user) {
  std::vector<char> text = TextBuffer(Lib.GetMaxPublicKeyTransferSize(user.Engine) + 16);
  Must(user, Lib.ExcludeSelfPublicKeyTransfer(user.Engine, text.data()));
  return TextOf(text);
}

std::string TDemo::TransferUID(const TDemoUser& reader, const std::string& transfer) {
  std::vector<char> uid = TextBuffer(Lib.GetMaxUIDLength(reader.Engine) + 1);
  Must(reader, Lib.GetUIDByPublicKeyTransfer(reader.Engine, transfer.c_str(), uid.data()));
  return ToTerminal(TextOf(uid));
}

TBytes TDemo::Sign(const TDemoUser& user, const TBytes& data) {
  TBytes signature(static_cast<size_t>(std::max(Lib.GetMaxSignatureLength(user.Engine), 0)));
  int32_t signatureLen = static_cast<int32_t>(signature.size());
  Must(user, Lib.SignData(user.Engine, data.data(), static_cast<int32_t>(data.size()), signature.data(), &signatureLen,
                          nullptr));
  signature.resize(static_cast<size_t>(signatureLen));
  return signature;
}

int32_t TDemo::Verify(const TDemoUser& user, const TBytes& data, const TBytes& signature, std::string& signer) {
  std::vector<char> uid = TextBuffer(Lib.GetMaxUIDLength(user.Engine) + 1);
  const int32_t code = Lib.VerifyData(user.Engine, data.data(), static_cast<int32_t>(data.size()), signature.data(),
                                      static_cast<int32_t>(signature.size()), uid.data());
  signer = ToTerminal(TextOf(uid));
  return code;
}

TBytes TDemo::Encrypt(const TDemoUser& user, const TBytes& data, const std::string& recipients) {
  const std::string list = FromTerminal(recipients);
  const int32_t room = Lib.GetMaxAdditionEx(user.Engine, list.c_str());
  Must(user, room < 0 ? -1 : 0);
  TBytes buffer(data);
  buffer.resize(data.size() + static_cast<size_t>(room));
  int32_t len = static_cast<int32_t>(data.size());
  Must(user, Lib.EncodeData(user.Engine, buffer.data(), &len, list.c_str()));
  buffer.resize(static_cast<size_t>(len));
  return buffer;
}

int32_t TDemo::Decrypt(const TDemoUser& user, TBytes& data) {
  int32_t len = static_cast<int32_t>(data.size());
  const int32_t code = Lib.DecodeData(user.Engine, data.data(), &len, nullptr);
  if (code == 0) data.resize(static_cast<size_t>(len));
  return code;
}

std::string TDemo::Report(const TDemoUser& reader, const std::string& uid) {
  std::vector<char> report = TextBuffer(Lib.GetMaxReportSize(reader.Engine));
  Must(reader, Lib.GetReport(reader.Engine, FromTerminal(uid).c_str(), report.data()));
  return ParseReport(TextOf(report)).Report;
}

void TDemo::Run() {
  const std::string both = std::string(kIvanov) + ";" + kPetrov;
  const std::string handover = JoinPath(Folder, "handover");
  MakeFolders(handover);
  if (!S.Json) std::printf("tzcli demo in %s\n\n", Folder.c_str());

  Step("self tests of libcrypt.dll", [&] {
    std::string error;
    void* provider = OpenModule(ProgramDirectory() + kProviderFileName, error);
    Expect(provider != nullptr, "cannot load " + ProgramDirectory() + kProviderFileName + ": " + error);
    auto cipher = reinterpret_cast<CrypC_TestCryptoFunctions__fn>(FindSymbol(provider, "CrypC_TestCryptoFunctions_"));
    auto sign = reinterpret_cast<CrypC_TestSignFunctions__fn>(FindSymbol(provider, "CrypC_TestSignFunctions_"));
    const int cipherResult = cipher != nullptr ? cipher() : -30;
    const int signResult = sign != nullptr ? sign() : -30;
    CloseModule(provider);
    Expect(cipherResult == 0 && signResult == 0, "self test failed: " + std::to_string(cipherResult) + ", " +
                                                     std::to_string(signResult));
    return std::string("GOST 28147-89, GOST R 34.11-94, GOST R 34.10-94/2001 passed");
  });
  SetUp(Ivanov, kIvanov, "ivanov", "2001");
  SetUp(Petrov, kPetrov, "petrov", "1994");
  Step(Ivanov.UID + ": GOST R 34.10-2001 key pair", [&] { return GenerateKeys(Ivanov); });
  Step(Petrov.UID + ": GOST R 34.10-94 key pair", [&] { return GenerateKeys(Petrov); });
  Step("key-readiness check of both secret keys", [&] {
    for (const TDemoUser* user : {&Ivanov, &Petrov}) {
      std::vector<char> signer = TextBuffer(511);
      int32_t len = 511;
      Must(*user, Lib.ExportObject(user->Engine, 20, nullptr, nullptr, nullptr,
                                   reinterpret_cast<unsigned char*>(signer.data()), &len));
      Expect(ToTerminal(TextOf(signer)) == user->UID, "the check signed under another UID");
    }
    return std::string("each signs and verifies a test text");
  });
  Step("first contact: public key files handed over and included", [&] {
    // The library deletes a key file it has included: hand over copies.
    const std::string ivanovCopy = JoinPath(handover, "ivanov.pub");
    const std::string petrovCopy = JoinPath(handover, "petrov.pub");
    CopyFile(Ivanov.PublicKey(), ivanovCopy);
    CopyFile(Petrov.PublicKey(), petrovCopy);
    Must(Petrov, Lib.IncludePublicKey(Petrov.Engine, FromTerminal(ivanovCopy).c_str()));
    Must(Ivanov, Lib.IncludePublicKey(Ivanov.Engine, FromTerminal(petrovCopy).c_str()));
    return std::string("each store now holds the other's key");
  });
  for (const auto& [from, to] : {std::pair{&Ivanov, &Petrov}, std::pair{&Petrov, &Ivanov}}) {
    Step(from->UID + " -> " + to->UID + ": key as transfer text", [&, from = from, to = to] {
      const std::string transfer = SelfTransfer(*from);
      WriteTransferText(JoinPath(handover, from == &Ivanov ? "ivanov.transfer" : "petrov.transfer"), transfer);
      const std::string carried = TransferUID(*to, transfer);
      Expect(carried == from->UID, "the transfer carries " + carried);
      Must(*to, Lib.IncludePublicKeyTransfer(to->Engine, transfer.c_str()));
      return std::to_string(transfer.size()) + " characters, signature checked, key of " + carried + " included";
    });
  }

  std::string contractText;
  while (contractText.size() < 200 * 1024) contractText += kContractLine;
  const TBytes contract = BytesOf(contractText);
  WriteOutput(JoinPath(Folder, "contract.txt"), contract.data(), contract.size());
  TBytes contractSignature;
  Step(Ivanov.UID + " signs contract.txt (detached)", [&] {
    contractSignature = Sign(Ivanov, contract);
    WriteOutput(JoinPath(Folder, "contract.txt.sig"), contractSignature.data(), contractSignature.size());
    return std::to_string(contract.size()) + " bytes, signature block " + std::to_string(contractSignature.size()) +
           " bytes";
  });
  Step(Petrov.UID + " verifies the contract", [&] {
    std::string signer;
    Must(Petrov, Verify(Petrov, contract, contractSignature, signer));
    Expect(signer == Ivanov.UID, "signed by " + signer);
    return "valid, signed by " + signer;
  });
  TBytes oldPayment = BytesOf(kPaymentText);
  Step(Petrov.UID + " signs a payment order (attached); " + Ivanov.UID + " checks it", [&] {
    const size_t len = oldPayment.size();
    oldPayment.resize(len + static_cast<size_t>(std::max(Lib.GetMaxSignAddition(Petrov.Engine), 0)));
    int32_t signedLen = static_cast<int32_t>(len);
    Must(Petrov, Lib.AddSign(Petrov.Engine, oldPayment.data(), &signedLen, nullptr));
    oldPayment.resize(static_cast<size_t>(signedLen));
    TBytes received = oldPayment;
    int32_t receivedLen = signedLen;
    std::vector<char> signer = TextBuffer(Lib.GetMaxUIDLength(Ivanov.Engine) + 1);
    Must(Ivanov, Lib.RemoveSign(Ivanov.Engine, received.data(), &receivedLen, signer.data()));
    Expect(receivedLen == static_cast<int32_t>(len) && std::equal(received.begin(), received.begin() + receivedLen,
                                                                  BytesOf(kPaymentText).begin()),
           "the data part differs");
    return std::to_string(signedLen) + " bytes signed, valid, signed by " + ToTerminal(TextOf(signer));
  });

  std::string reportText;
  for (int i = 0; i < 64; ++i) reportText += kReportLine;
  const TBytes report = BytesOf(reportText);
  TBytes encrypted;
  Step(Ivanov.UID + " encrypts a report for both", [&] {
    encrypted = Encrypt(Ivanov, report, both);
    WriteOutput(JoinPath(Folder, "report.txt.enc"), encrypted.data(), encrypted.size());
    return std::to_string(report.size()) + " -> " + std::to_string(encrypted.size()) + " bytes";
  });
  for (const TDemoUser* reader : {&Petrov, &Ivanov}) {
    Step(reader->UID + " decrypts the report", [&, reader = reader] {
      TBytes data = encrypted;
      Must(*reader, Decrypt(*reader, data));
      Expect(data == report, "the decrypted text differs");
      return std::to_string(data.size()) + " bytes, identical to the original";
    });
  }
  Step("a changed byte in the signed contract is refused", [&] {
    TBytes changed = contract;
    changed[changed.size() / 2] ^= 0x01;
    std::string signer;
    const int32_t code = Verify(Petrov, changed, contractSignature, signer);
    Expect(code != 0, "the changed contract was accepted");
    return std::to_string(code) + " " + Message(Petrov, code);
  });
  Step("a changed byte in the encrypted report is refused", [&] {
    TBytes changed = encrypted;
    changed[changed.size() - 10] ^= 0x01;
    const int32_t code = Decrypt(Petrov, changed);
    Expect(code != 0, "the changed block was decrypted");
    return std::to_string(code) + " " + Message(Petrov, code);
  });

  std::string request;
  Step(Petrov.UID + " starts remote regeneration (GOST R 34.10-2001)", [&] {
    SetParam(Petrov, kParamKeyGenAlgorithm, "2001");
    std::vector<char> text = TextBuffer(Lib.GetMaxPublicKeyTransferSize(Petrov.Engine) + 16);
    Must(Petrov, Lib.RemoteGenerateStart(Petrov.Engine, text.data()));
    request = TextOf(text);
    WriteTransferText(JoinPath(handover, "petrov-new-key.transfer"), request);
    return "new key waits in " + JoinPath(Petrov.Folder, "RG" + Petrov.UID) + "; request " +
           std::to_string(request.size()) + " characters, signed with the current key";
  });
  Step(Ivanov.UID + " accepts the new key of " + Petrov.UID, [&] {
    Must(Ivanov, Lib.IncludePublicKeyTransfer(Ivanov.Engine, request.c_str()));
    return std::string("signature checked with the old key; the new key replaces it");
  });
  Step(Petrov.UID + " finishes the regeneration", [&] {
    int32_t state = 0;
    Must(Petrov, Lib.RemoteGenerateFinishEx(Petrov.Engine, request.c_str(), &state));
    Expect(state == 1, "regeneration state " + std::to_string(state));
    return std::string("new key pair installed; the previous one kept as old.pub and old.sec");
  });
  Step(Petrov.UID + " signs with the new key; " + Ivanov.UID + " verifies", [&] {
    const TBytes signature = Sign(Petrov, contract);
    std::string signer;
    Must(Ivanov, Verify(Ivanov, contract, signature, signer));
    Expect(signer == Petrov.UID, "signed by " + signer);
    return "valid, signed by " + signer;
  });
  Step("a signature made with the replaced key is refused", [&] {
    TBytes received = oldPayment;
    int32_t len = static_cast<int32_t>(received.size());
    std::vector<char> signer = TextBuffer(Lib.GetMaxUIDLength(Ivanov.Engine) + 1);
    const int32_t code = Lib.RemoveSign(Ivanov.Engine, received.data(), &len, signer.data());
    Expect(code != 0, "the old signature still verifies");
    return std::to_string(code) + " " + Message(Ivanov, code);
  });

  Step("key reports", [&] {
    Reports = "Key of " + Petrov.UID + " as " + Ivanov.UID + " keeps it:\n" + Report(Ivanov, Petrov.UID) + "\nKey of " +
              Ivanov.UID + " as " + Petrov.UID + " keeps it:\n" + Report(Petrov, Ivanov.UID);
    return std::string("shown below");
  });
  if (!S.Json) std::printf("\n%s\n", Reports.c_str());
  if (!S.Json) std::printf("all %d steps succeeded; the files are in %s\n", Number, Folder.c_str());
}

}  // namespace

void RunDemo(TSession& s, const TParsedArgs& args, TResult& r) {
  args.AtMost(1);
  std::string folder;
  if (!args.Positionals.empty()) {
    folder = AbsolutePath(args.Positionals[0]);
  } else {
    folder = JoinPath(TempFolder(), "tzcli-demo-" + std::to_string(ProcessId()) + "-" +
                                        std::to_string(std::chrono::system_clock::now().time_since_epoch().count() % 1000000));
  }
  if (!FolderIsEmptyOrMissing(folder)) throw TUsageError(folder + " is not empty; the demo needs a fresh folder");
  MakeFolders(folder);
  TDemo demo(s, folder);
  try {
    demo.Run();
  } catch (const TStepFailure& failure) {
    if (failure.Code != 0) {
      r.Fail(failure.Code, failure.Message);
    } else {
      r.FailText(failure.Message);
    }
  }
  // Text mode printed each step as it ran; JSON gets them all at the end.
  if (s.Json) {
    r.Add("folder", folder);
    r.AddTable("steps", {"#step", "outcome", "ms", "title", "detail"}).Rows = demo.StepRows;
    if (!demo.Reports.empty()) r.AddBlock("reports", demo.Reports);
  }
}

}  // namespace tzcli
