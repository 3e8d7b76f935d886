// Public key transfers: a public key file wrapped in a fixed block, signed
// with the current user's key as an attached signature and written as one
// line of Base64. The receiving operations verify the signature before they
// use a single byte of the block, and then trust none of its lengths.
#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "TCryptoCEngine.h"
#include "key_report.h"
#include "transfer.h"

namespace tzm {
namespace {

// The UID a receiver reads out of a transfer is cut to this many characters.
constexpr size_t kTransferUIDOutLen = 253;

}  // namespace

void RecordStepFailure(TCryptoCEngine& engine, std::string_view label, const std::exception& e) noexcept {
  try {
    std::string text = "TCryptoCEngine.";
    text.append(label);
    text.append(": ");
    text.append(DescribeException(&e));
    engine.LastErrorText->WriteText(text);
  } catch (...) {
    // Recording is best effort; the step still answers -3.
  }
}

int32_t PrepareTransferByBuffer(TCryptoCEngine& engine, std::span<const uint8_t> key, char* outText,
                                std::string_view name) {
  if (outText == nullptr) return kErrBadPointer;
  return GuardStep(engine, "PrepareTransferByBuffer", [&]() -> int32_t {
    TPublicKeyBlock block;
    if (!block.Fill(name, key)) return kErrBadPointer;

    const int32_t room = engine.GetMaxSignAddition();
    if (room < 0) return kErrOutOfMemory;
    std::vector<uint8_t> payload(kPublicKeyBlockLen + static_cast<size_t>(room), 0);
    block.Encode(std::span<uint8_t, kPublicKeyBlockLen>(payload.data(), kPublicKeyBlockLen));

    int32_t payloadLen = kTransferSignedLen;
    const int32_t signResult = engine.AddSign(payload.data(), &payloadLen, nullptr);
    if (signResult != kResultOk) return signResult;
    if (payloadLen < kTransferSignedLen || static_cast<size_t>(payloadLen) > payload.size()) {
      throw EAssertionFailed("AddSign reported a length outside its buffer");
    }

    const std::string text = Base64Encode(std::span<const uint8_t>(payload.data(), static_cast<size_t>(payloadLen)));
    if (text.empty()) {
      engine.LastErrorText->WriteText("TCryptoCEngine.PrepareTransferByBuffer: Unable to encode transfer to BASE64!");
      return kErrCritical;
    }
    const int32_t maxLen = engine.GetMaxPublicKeyTransferSize();
    if (maxLen < 0 || text.size() > static_cast<size_t>(maxLen)) return kErrOutOfMemory;
    std::memcpy(outText, text.c_str(), text.size() + 1);
    return kResultOk;
  });
}

int32_t GetPublicKeyBlockByTransfer(TCryptoCEngine& engine, const char* text, TPublicKeyBlock& block) {
  if (text == nullptr || text[0] == '\0') return kErrBadPointer;
  // A payload longer than 2 GiB cannot be described by the 32-bit length;
  // nothing that long is a transfer.
  const size_t textLen = strnlen(text, static_cast<size_t>(INT_MAX));
  std::vector<uint8_t> payload = Base64Decode(std::string_view(text, textLen));
  if (payload.empty()) return kErrBadPointer;

  return GuardStep(engine, "GetPublicKeyBlockByTransfer", [&]() -> int32_t {
    char signerUID[kMaxUIDLen + 2] = {};
    int32_t payloadLen = static_cast<int32_t>(payload.size());
    const int32_t verifyResult = engine.RemoveSign(payload.data(), &payloadLen, signerUID);
    if (verifyResult != kResultOk) return verifyResult;
    // The verified payload is still the other party's data: it must hold a
    // whole block with a key length the block can carry.
    if (payloadLen < 0 || static_cast<size_t>(payloadLen) > payload.size()) return kErrBadPointer;
    const auto signedPart = std::span<const uint8_t>(payload.data(), static_cast<size_t>(payloadLen));
    return block.Decode(signedPart) ? kResultOk : kErrBadPointer;
  });
}

// ---- Size limits. ----

int32_t TCryptoCEngine::GetMaxSignAddition() { return GetMaxSignatureLength() + 4; }

int32_t TCryptoCEngine::GetMaxPublicKeyTransferSize() {
  return 2 * (GetMaxSignAddition() + kTransferSignedLen);
}

// ---- Building transfers. ----

int32_t TCryptoCEngine::GetPublicKeyTransfer(const char* uid, char* buffer) {
  if (uid == nullptr || uid[0] == '\0' || strnlen(uid, kMaxUIDLen + 1) > kMaxUIDLen) return kErrEmptyUID;
  return Guard("GetPublicKeyTransfer", kGuardFailure, [&]() -> int32_t {
    TKeySet keys;
    TCryptoC_DLL* binding = nullptr;
    int32_t result = GetKeysAndCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;

    std::array<uint8_t, kMaxTransferKeyLen> key{};
    int32_t keyLen = 0;
    result = binding->GetPublicKeyBlob(uid, key, keyLen, keys);
    if (result != kResultOk) return result;
    if (keyLen < 0 || static_cast<size_t>(keyLen) > key.size()) return kErrPublicKey;
    return PrepareTransferByBuffer(*this, std::span<const uint8_t>(key.data(), static_cast<size_t>(keyLen)), buffer,
                                   kTransferFileName);
  });
}

int32_t TCryptoCEngine::ExcludeSelfPublicKeyTransfer(char* buffer) {
  char ownUID[kMaxUIDLen + 2] = {};
  const int32_t result = GetCurrentUserUID(ownUID);
  if (result != kResultOk) return result;
  ownUID[kMaxUIDLen] = '\0';
  return GetPublicKeyTransfer(ownUID, buffer);
}

int32_t TCryptoCEngine::GetPublicKeyTransferByFile(char* buffer, const char* fileName) {
  if (fileName == nullptr) return kErrReadPublicKeyFile;
  std::array<uint8_t, kMaxTransferKeyLen> key{};
  size_t keyLen = 0;
  if (!ReadFileToBuffer(ExpandRootMacro(fileName), key, keyLen)) return kErrReadPublicKeyFile;
  return PrepareTransferByBuffer(*this, std::span<const uint8_t>(key.data(), keyLen), buffer, kTransferFileName);
}

// ---- Receiving transfers. ----

int32_t TCryptoCEngine::IncludePublicKeyTransfer(const char* transfer) {
  TPublicKeyBlock block;
  const int32_t blockResult = GetPublicKeyBlockByTransfer(*this, transfer, block);
  if (blockResult != kResultOk) return blockResult;
  return Guard("IncludePublicKeyTransfer", kGuardFailure, [&]() -> int32_t {
    TKeySet keys;
    TCryptoC_DLL* binding = nullptr;
    int32_t result = GetKeysAndCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;
    return binding->IncludePublicKey(block.Key(), keys);
  });
}

int32_t TCryptoCEngine::SavePublicKeyFromTransfer(const char* directory, const char* transfer) {
  if (directory == nullptr) return kErrBadPointer;
  return Guard("SavePublicKeyFromTransfer", kGuardFailure, [&]() -> int32_t {
    const std::string dir = AddBackslash(ExpandRootMacroDir(directory));
    if (!IsDirectory(dir)) return kErrDirAccess;
    TPublicKeyBlock block;
    const int32_t result = GetPublicKeyBlockByTransfer(*this, transfer, block);
    if (result != kResultOk) return result;
    // Only the name part is taken, so the sender cannot steer the file out of
    // the chosen directory.
    const std::string target = dir + ExtractFileName(block.FileNameText());
    return WriteBufferToFile(target, block.Key()) ? kResultOk : kErrWritePublicKeyToDir;
  });
}

int32_t TCryptoCEngine::GetUIDByPublicKeyTransfer(const char* transfer, char* buffer) {
  if (buffer == nullptr) return kErrBadPointer;
  TPublicKeyBlock block;
  const int32_t result = GetPublicKeyBlockByTransfer(*this, transfer, block);
  if (result != kResultOk) return result;
  std::string_view uid = block.KeyUID();
  if (uid.size() > kTransferUIDOutLen) uid = uid.substr(0, kTransferUIDOutLen);
  std::memcpy(buffer, uid.data(), uid.size());
  buffer[uid.size()] = '\0';
  return kResultOk;
}

int32_t TCryptoCEngine::GetPublicKeyPropertiesByTransfer(const char* transfer, char* buffer) {
  if (buffer == nullptr) return kErrBadPointer;
  TPublicKeyBlock block;
  const int32_t result = GetPublicKeyBlockByTransfer(*this, transfer, block);
  if (result != kResultOk) return result;
  return FGetReportByBuffer(*this, block.Key(), buffer);
}

int32_t TCryptoCEngine::ExportTransferContent(TArg, TArg arg2, uint8_t* buffer, int32_t* bufferLen) {
  TPublicKeyBlock block;
  const int32_t result = GetPublicKeyBlockByTransfer(*this, static_cast<const char*>(arg2), block);
  if (result != kResultOk) return result;
  return CopyOutBytes(block.Key(), buffer, bufferLen);
}

}  // namespace tzm
