// The base engine's defaults. Most operations answer -1 (not available); the
// parameter table, the two dispatchers, the key-readiness check and a few
// derived sizes do real work. Defaults never raise, except where a caller
// pointer that must be written is nil: that is a fault, raised as ENilPointer
// so that the operation guard or the export frame answers its failure value.
#include "TCryptoEngine.h"

#include <algorithm>
#include <cstring>

#include "EngineErrors.h"
#include "support.h"

namespace tzm {

TCryptoEngine::TCryptoEngine() : LastErrorText(std::make_unique<TSyncExceptStr>()) {}

TCryptoEngine::~TCryptoEngine() {
  ParamValues.clear();
  ParamNames.clear();
  LastErrorText.reset();
}

int32_t TCryptoEngine::ReservedOperation() { return kNotAvailable; }

// ---- Import sub-operations: no working version in the base. ----
int32_t TCryptoEngine::ImportKind9(TArg, TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::ImportKind1(TArg, TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::ImportKind3(TArg a, TArg b, TArg c) { return ImportKind1(a, b, c); }
int32_t TCryptoEngine::ImportKind5(TArg, TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::ImportKind6(TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::ImportKind11(TArg, TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::ImportKind13(TArg, TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::ImportKind12(TArg, TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::ImportKind14() { return kNotAvailable; }
int32_t TCryptoEngine::ImportKind15(TArg, TArg) { return kNotAvailable; }

// ---- Export sub-operations. ----
int32_t TCryptoEngine::ExportKind4(TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind5(TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind12(TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind13(TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind1(TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportTransferContent(TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind7(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind18(int32_t, TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportRG_WO_dir_support(TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind9(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind15(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind10(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind101(int32_t, TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind11(TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind14(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind16(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportParamCheckRes(TArg, uint8_t*, int32_t*) { return kNotAvailable; }

int32_t TCryptoEngine::CheckSecretKeyReady(TArg, uint8_t* buffer, int32_t* bufferLen) {
  RequirePointer(bufferLen, "CheckSecretKeyReady");
  // A UID buffer holds the longest UID and its terminator.
  const int32_t uidBufferLen = std::max(GetMaxUIDLength(), 0) + 1;
  if (buffer == nullptr) {
    *bufferLen = uidBufferLen;
    return 0;
  }
  int32_t signatureLen = std::max(GetMaxSignatureLength(), 0);
  std::vector<uint8_t> signature(static_cast<size_t>(signatureLen) + 1);
  const auto* sample = reinterpret_cast<const uint8_t*>(kCheckKeySampleText.data());
  const auto sampleLen = static_cast<int32_t>(kCheckKeySampleText.size());
  char* uid = reinterpret_cast<char*>(buffer);
  int32_t result = SignData(sample, sampleLen, signature.data(), &signatureLen, uid);
  if (result != 0) return result;
  uid[0] = '\0';
  result = VerifyData(sample, sampleLen, signature.data(), signatureLen, uid);
  if (result == 0) *bufferLen = static_cast<int32_t>(strnlen(uid, static_cast<size_t>(uidBufferLen)));
  return result;
}

int32_t TCryptoEngine::ExportKind21(TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind201(int32_t, TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind19(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind22(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind24(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind26(uint8_t*, int32_t) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind31(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind32(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind35(int32_t, TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind28(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind29(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind30(TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ExportKind40(int32_t, TArg, TArg, TArg, uint8_t*, int32_t*) { return kNotAvailable; }

// ---- Callbacks and the remote generation directory. ----
void TCryptoEngine::SetPasswordRequestFunc(void* callback) { PasswordRequestFunc = callback; }
void TCryptoEngine::SetReservedFunc(void* value) { ReservedFunc = value; }

void TCryptoEngine::SetRemoteGeneratePath(const std::string& path) {
  std::string expanded = ExpandRootMacro(path);
  if (!expanded.empty() && expanded.back() != '\\') expanded += '\\';
  RemoteGeneratePath = std::move(expanded);
}

// ---- Abstract operations: a concrete engine must provide them. ----
void TCryptoEngine::GetCryptoEngineType(char*) { RaiseAbstractError(); }
int32_t TCryptoEngine::GetEncodeUIDBySignUID(const char*, char*) { RaiseAbstractError(); }
int32_t TCryptoEngine::GetCurrentUserUID(char*) { RaiseAbstractError(); }
int32_t TCryptoEngine::EncodeData(uint8_t*, int32_t*, const char*) { RaiseAbstractError(); }
int32_t TCryptoEngine::DecodeData(uint8_t*, int32_t*, TArg) { RaiseAbstractError(); }
int32_t TCryptoEngine::SignData(const uint8_t*, int32_t, uint8_t*, int32_t*, const char*) {
  RaiseAbstractError();
}
int32_t TCryptoEngine::VerifyData(const uint8_t*, int32_t, const uint8_t*, int32_t, char*) {
  RaiseAbstractError();
}

// ---- Size limits. ----
int32_t TCryptoEngine::GetMaxEncodeAddition() { return kBaseMaxLength; }
int32_t TCryptoEngine::GetMaxSignatureLength() { return kBaseMaxLength; }
int32_t TCryptoEngine::GetMaxUIDLength() { return kBaseMaxLength; }
int32_t TCryptoEngine::GetMaxCryptoParamNameLength() { return kBaseMaxLength; }
int32_t TCryptoEngine::GetMaxCryptoParamValueLength() { return kBaseMaxParamValueLength; }
int32_t TCryptoEngine::GetMaxErrorStringLength() { return kBaseMaxLength; }
int32_t TCryptoEngine::GetMaxPasswordLength() { return kBaseMaxLength; }

// ---- Parameters. ----
int32_t TCryptoEngine::GetCryptoParamNumber() { return static_cast<int32_t>(ParamNames.size()); }

namespace {

// Copies at most size - 1 characters of text and a terminator; a size below 1
// writes only the terminator, so the caller's first byte is always defined.
void CopyBounded(const std::string& text, char* buffer, int32_t size) {
  if (!TCryptoEngine::CopyTextToBuffer(text.c_str(), buffer, size)) buffer[0] = '\0';
}

}  // namespace

void TCryptoEngine::GetCryptoParamName(int32_t index, char* buffer) {
  if (buffer == nullptr) return;
  if (index < 1 || static_cast<size_t>(index) > ParamNames.size()) {
    buffer[0] = '\0';
    return;
  }
  CopyBounded(ParamNames[static_cast<size_t>(index) - 1], buffer, GetMaxCryptoParamNameLength());
}

void TCryptoEngine::GetCryptoParamValue(int32_t index, char* buffer) {
  if (buffer == nullptr) return;
  if (index < 1 || static_cast<size_t>(index) > ParamValues.size()) {
    buffer[0] = '\0';
    return;
  }
  CopyBounded(ParamValues[static_cast<size_t>(index) - 1], buffer, GetMaxCryptoParamValueLength());
}

int32_t TCryptoEngine::SetCryptoParamValue(int32_t index, const char* value) {
  std::string text = value != nullptr ? std::string(value) : std::string();
  if (index < 1 || static_cast<size_t>(index) > ParamValues.size()) return kNotAvailable;
  ParamValues[static_cast<size_t>(index) - 1] = std::move(text);
  ParamsChanged = true;
  return 0;
}

// ---- Error reporting. ----
void TCryptoEngine::GetCryptoErrorString(int32_t code, char* buffer) {
  if (buffer == nullptr) return;
  try {
    const int32_t size = GetMaxErrorStringLength();
    if (size <= 0) return;
    std::memset(buffer, 0, static_cast<size_t>(size));
    const std::string text = "CRYPTO ENGINE ERROR : " + std::to_string(code);
    std::memcpy(buffer, text.data(), std::min(text.size(), static_cast<size_t>(size) - 1));
  } catch (...) {
    // The message query never fails visibly.
  }
}

void TCryptoEngine::GetLastErrorMessage(char* buffer) {
  if (buffer != nullptr) buffer[0] = '\0';
}

// ---- Operations the base does not provide. ----
int32_t TCryptoEngine::IncludePublicKey(const char*) { return kNotAvailable; }
void TCryptoEngine::ClearCash() {}
int32_t TCryptoEngine::UpdateCertificateCash(const char*) { return kNotAvailable; }
int32_t TCryptoEngine::RemoveCertificate(const char*) { return kNotAvailable; }
int32_t TCryptoEngine::IncludeCRL(TArg) { return kNotAvailable; }
int32_t TCryptoEngine::GenerateNewSSK() { return kNotAvailable; }
int32_t TCryptoEngine::GenerateNewSEK() { return kNotAvailable; }
bool TCryptoEngine::IsDifferentKeys() { return false; }
int32_t TCryptoEngine::IncludePublicEncodeKey(const char*) { return kNotAvailable; }
int32_t TCryptoEngine::SignFile(TArg) { return kNotAvailable; }
int32_t TCryptoEngine::VerifyFile(TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::RemoveSignaturesFromFile(TArg) { return kNotAvailable; }
int32_t TCryptoEngine::TransPrivateKeyFromFileToTM() { return kNotAvailable; }
int32_t TCryptoEngine::TransSignatureFromFileToTM() { return kNotAvailable; }
int32_t TCryptoEngine::GetMaxPublicKeyTransferSize() { return kBaseMaxPublicKeyTransferSize; }
int32_t TCryptoEngine::RemoteGenerateStart(char*) { return kNotAvailable; }
int32_t TCryptoEngine::RemoteGenerateFinish(TArg) { return kNotAvailable; }
int32_t TCryptoEngine::ExcludeSelfPublicKeyTransfer(char*) { return kNotAvailable; }
int32_t TCryptoEngine::IncludePublicKeyTransfer(const char*) { return kNotAvailable; }
int32_t TCryptoEngine::GetPublicKeyTransfer(const char*, char*) { return kNotAvailable; }
int32_t TCryptoEngine::SavePublicKeyFromTransfer(const char*, const char*) { return kNotAvailable; }
int32_t TCryptoEngine::RemoteGenerateStartEx(const char*, char*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::RemoteGenerateFinishEx(const char*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::GetPublicKeyTransferByFile(char*, const char*) { return kNotAvailable; }
int32_t TCryptoEngine::IncludeCACertificateFromTransfer(TArg) { return kNotAvailable; }
int32_t TCryptoEngine::AddSign(uint8_t*, int32_t*, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::RemoveSign(uint8_t*, int32_t*, char*) { return kNotAvailable; }

namespace {

// 32-bit product with wrap-around, as the size arithmetic of the boundary does.
int32_t Mul32(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace

int32_t TCryptoEngine::GetMaxSignAddition() {
  return static_cast<int32_t>(static_cast<uint32_t>(GetMaxSignatureLength()) + 255u);
}

int32_t TCryptoEngine::GetMaxEncodeAdditionFor(int32_t count) {
  return Mul32(GetMaxEncodeAddition(), count);
}

int32_t TCryptoEngine::SaveSignedDataToFile(const uint8_t* data, int32_t dataLen,
                                            const uint8_t* signature, int32_t signatureLen,
                                            const char* fileName) {
  constexpr int32_t kWriteFailed = -106;
  constexpr int32_t kFailed = -102;
  if (fileName == nullptr || data == nullptr || dataLen <= 0 || signatureLen < 0) return 0;
  try {
    // Zero-filled, so a nil signature with a length never writes stray memory.
    std::vector<uint8_t> block(static_cast<size_t>(dataLen) + static_cast<size_t>(signatureLen));
    std::memcpy(block.data(), data, static_cast<size_t>(dataLen));
    if (signatureLen != 0 && signature != nullptr) {
      std::memcpy(block.data() + dataLen, signature, static_cast<size_t>(signatureLen));
    }
    return WriteBufferToFile(ExpandRootMacro(fileName), block) ? 0 : kWriteFailed;
  } catch (...) {
    return kFailed;
  }
}

int32_t TCryptoEngine::GetRemoteGenType() { return kBaseRemoteGenType; }
int32_t TCryptoEngine::GetMaxReportSize() { return kNotAvailable; }
int32_t TCryptoEngine::GetReport(const char*, char*) { return kNotAvailable; }

int32_t TCryptoEngine::GetMaxAdditionEx(const char* uidList) {
  if (uidList == nullptr || uidList[0] == '\0') return GetMaxEncodeAddition();
  std::vector<std::string> items;
  const int32_t numItems = SplitBySemicolon(uidList, items);
  return Mul32(GetMaxEncodeAddition(), numItems);
}

int32_t TCryptoEngine::GetUIDByPublicKeyTransfer(const char*, char*) { return kNotAvailable; }
int32_t TCryptoEngine::GetPublicKeyPropertiesByTransfer(const char*, char*) { return kNotAvailable; }
int32_t TCryptoEngine::GetPublicKeyPropertiesByFile(const char*, char*) { return kNotAvailable; }
int32_t TCryptoEngine::CreateDirStructure(const char*, TArg) { return kNotAvailable; }

int32_t TCryptoEngine::VerifySignWOCheckValidity(const uint8_t* data, int32_t dataLen,
                                                 const uint8_t* signature, int32_t signatureLen,
                                                 char* signerUID) {
  return VerifyData(data, dataLen, signature, signatureLen, signerUID);
}

int32_t TCryptoEngine::CertAndRequestTransferMatch(TArg, TArg, int32_t* match) {
  RequirePointer(match, "CertAndRequestTransferMatch");
  *match = -1;
  return 0;
}

int32_t TCryptoEngine::ConvertTransferToSignedRequest(TArg) { return kNotAvailable; }
int32_t TCryptoEngine::HashData(const uint8_t*, int32_t, int32_t, uint8_t*, int32_t*) { return kNotAvailable; }
int32_t TCryptoEngine::ShowCertificate(TArg) { return kNotAvailable; }

int32_t TCryptoEngine::GetPureSign(const uint8_t* block, int32_t blockLen, TArg, char* buffer,
                                   int32_t* bufferLen) {
  if (block == nullptr || blockLen <= 0) return kNotAvailable;
  RequirePointer(bufferLen, "GetPureSign");
  const std::string text = BufferToHex(std::span<const uint8_t>(block, static_cast<size_t>(blockLen)), 255, 255);
  const int32_t capacity = *bufferLen;
  const auto needed = static_cast<int32_t>(text.size() + 1);
  *bufferLen = needed;
  if (buffer == nullptr) return 0;
  if (capacity < needed) return kNotAvailable;
  std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
  return 0;
}

int32_t TCryptoEngine::GetUIDByCertIdent(TArg, TArg) { return kNotAvailable; }
int32_t TCryptoEngine::InstallCertsInMyStore(TArg) { return kNotAvailable; }
int32_t TCryptoEngine::RegisterOIDInfo(const std::string&, const std::u16string&) { return kNotAvailable; }
int32_t TCryptoEngine::GetParamInfo(int32_t, int32_t*, char*, int32_t*) { return kNotAvailable; }

// ---- Dispatchers. ----
int32_t TCryptoEngine::ImportObject(int32_t kind, TArg a, TArg b, TArg c) {
  const char* bText = static_cast<const char*>(b);
  switch (kind) {
    case 1: return ImportKind1(a, b, c);
    case 2: return IncludePublicKey(bText);
    case 3: return ImportKind3(a, b, c);
    case 4: return IncludePublicEncodeKey(bText);
    case 5: return ImportKind5(a, b, c);
    case 6: return ImportKind6(a, b);
    case 7: return IncludePublicKeyTransfer(bText);
    case 8: return IncludeCACertificateFromTransfer(b);
    case 9: return ImportKind9(a, b, c);
    case 10: return IncludeCRL(b);
    case 11: return ImportKind11(a, b, c);
    case 12: return ImportKind12(a, b, c);
    case 13: return ImportKind13(a, b, c);
    case 14: return ImportKind14();
    case 15: return ImportKind15(a, b);
    default: return kNotAvailable;
  }
}

int32_t TCryptoEngine::ExportObject(int32_t kind, TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer,
                                    int32_t* bufferLen) {
  switch (kind) {
    case 1: return ExportKind1(arg4, arg2, buffer, bufferLen);
    case 4: return ExportKind4(arg4, buffer, bufferLen);
    case 5: return ExportKind5(arg4, arg2, buffer, bufferLen);
    case 6: return ExportTransferContent(arg4, arg2, buffer, bufferLen);
    case 7: return ExportKind7(arg4, arg2, arg3, buffer, bufferLen);
    case 8: return ExportRG_WO_dir_support(arg4, buffer, bufferLen);
    case 9: return ExportKind9(arg4, arg2, arg3, buffer, bufferLen);
    case 10: return ExportKind10(arg4, arg2, arg3, buffer, bufferLen);
    case 11: return ExportKind11(arg4, buffer, bufferLen);
    case 12: return ExportKind12(arg4, buffer, bufferLen);
    case 13: return ExportKind13(arg4, buffer, bufferLen);
    case 14: return ExportKind14(arg4, arg2, arg3, buffer, bufferLen);
    case 15: return ExportKind15(arg4, arg2, arg3, buffer, bufferLen);
    case 16: return ExportKind16(arg4, arg2, arg3, buffer, bufferLen);
    case 17: return ExportParamCheckRes(arg4, buffer, bufferLen);
    case 18: return ExportKind18(kind, arg2, arg3, arg4, buffer, bufferLen);
    case 19: return ExportKind19(arg2, arg3, arg4, buffer, bufferLen);
    case 20: return CheckSecretKeyReady(arg4, buffer, bufferLen);
    case 21: return ExportKind21(arg4, buffer, bufferLen);
    case 22: return ExportKind22(arg2, arg3, arg4, buffer, bufferLen);
    case 24: return ExportKind24(arg2, arg3, arg4, buffer, bufferLen);
    case 26:
      RequirePointer(bufferLen, "ExportObject");
      return ExportKind26(buffer, *bufferLen);
    case 28: return ExportKind28(arg2, arg3, arg4, buffer, bufferLen);
    case 29: return ExportKind29(arg2, arg3, arg4, buffer, bufferLen);
    case 30: return ExportKind30(arg2, arg3, arg4, buffer, bufferLen);
    case 31: return ExportKind31(arg2, arg3, arg4, buffer, bufferLen);
    case 32: return ExportKind32(arg2, arg3, arg4, buffer, bufferLen);
    case 35: return ExportKind35(kind, arg2, arg3, arg4, buffer, bufferLen);
    case 40: return ExportKind40(kind, arg2, arg3, arg4, buffer, bufferLen);
    case 101:
    case 102:
    case 103: return ExportKind101(kind, arg2, arg3, arg4, buffer, bufferLen);
    case 201: return ExportKind201(kind, arg2, arg3, arg4, buffer, bufferLen);
    default: return kNotAvailable;
  }
}

// ---- Root directory and path macro. ----
std::string TCryptoEngine::ExpandRootMacro(const std::string& path) const {
  if (path.size() < kMacroKVLRoot.size() ||
      !SameText(std::string_view(path).substr(0, kMacroKVLRoot.size()), kMacroKVLRoot)) {
    return path;
  }
  std::string_view rest = std::string_view(path).substr(kMacroKVLRoot.size());
  if (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
  return AnsiUpperCase(RootPath + std::string(rest));
}

std::string TCryptoEngine::ExpandRootMacroDir(const std::string& path) const {
  return AddBackslash(ExpandRootMacro(path));
}

void TCryptoEngine::SetEngineRootPath(const std::string& path) {
  RootPath = path;
  if (!RootPath.empty() && RootPath.back() != '\\') RootPath += '\\';
}

bool TCryptoEngine::CopyTextToBuffer(const char* source, char* buffer, int32_t size) {
  if (source == nullptr || buffer == nullptr || size <= 0) return false;
  const size_t capacity = static_cast<size_t>(size);
  const size_t length = strnlen(source, capacity);
  if (length >= capacity) {
    std::memcpy(buffer, source, capacity - 1);
    buffer[capacity - 1] = '\0';
  } else {
    std::memcpy(buffer, source, length + 1);
  }
  return true;
}

std::string TCryptoEngine::RemoteGenDir(const std::string& baseDir, bool create) {
  // Room for the longest UID and its terminator.
  const size_t uidBufferLen = static_cast<size_t>(std::max(GetMaxUIDLength(), kBaseMaxLength)) + 1;
  std::vector<char> uid(uidBufferLen, '\0');
  if (GetCurrentUserUID(uid.data()) != 0) return RemoteGeneratePath;
  uid.back() = '\0';
  const std::string dir = baseDir + "RG" + std::string(uid.data()) + "\\";
  if (create && !IsDirectory(dir)) ForceDirs(dir);
  return IsDirectory(dir) ? dir : RemoteGeneratePath;
}

std::string TCryptoEngine::GetRemoteGenDir(const std::string& baseDir) { return RemoteGenDir(baseDir, false); }
std::string TCryptoEngine::ForceRemoteGenDir(const std::string& baseDir) { return RemoteGenDir(baseDir, true); }

}  // namespace tzm
