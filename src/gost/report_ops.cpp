// Reports and text forms: the key report of a cached key, of a key file or of
// the key pair waiting in the remote-regeneration folder, the hash of a buffer
// in raw, Base64 or hex form, and the bare signature value of a signature
// block as hex text.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "TCryptoCEngine.h"
#include "cryptlib.h"
#include "key_report.h"
#include "registry.h"
#include "support.h"

namespace tzm {
namespace {

constexpr size_t kPublicKeyFileRoom = 515;  // largest public key file: 254-character UID, 1994 key
constexpr std::string_view kPendingPublicKeyName = "new.pub";

// Signature block: signer UID (1 to 254 characters), 0, 64 signature bytes.
constexpr size_t kSignatureValueLen = 64;
constexpr int32_t kPureSignTextLen = 2 * kSignatureValueLen + 1;  // hex digits and their zero
// A group and line size this large means no separators in a 64-byte dump.
constexpr size_t kNoSeparators = 255;

}  // namespace

int32_t TCryptoCEngine::GetMaxReportSize() { return kMaxReportSize; }

int32_t TCryptoCEngine::SaveSignedDataToFile(const uint8_t*, int32_t, const uint8_t*, int32_t, const char*) {
  return kErrNotSupported;
}

int32_t TCryptoCEngine::GetReport(const char* uid, char* buffer) {
  if (uid == nullptr || uid[0] == '\0') {
    // The key pair made by remote regeneration waits as "new.pub" in the
    // regeneration folder next to the secret key file.
    const std::string secretKeyDir = ExtractFilePath(ExpandRootMacro(ParamValue(kParamUserSecretKey)));
    const std::string genDir = GetRemoteGenDir(secretKeyDir);
    if (genDir.empty() || !platform::DirectoryExists(genDir)) return kErrNoRemoteGenDir;
    const std::string pendingKey = AddBackslash(genDir) + std::string(kPendingPublicKeyName);
    if (!platform::FileExists(pendingKey)) return kErrRemoteGenNewKeys;
    return GetPublicKeyPropertiesByFile(pendingKey.c_str(), buffer);
  }

  std::vector<uint8_t> image(kPublicKeyFileRoom);
  TKeySet keys;
  int32_t result = GetKeyParams(*this, keys);
  if (result != kResultOk) return result;

  return Guard("GetReport", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    int32_t code = GetCryptoDLL(*this, keys, binding);
    if (code != kResultOk) return code;
    int32_t imageLen = 0;
    code = binding->GetPublicKeyBlob(uid, image, imageLen, keys);
    if (code != kResultOk) return code;
    if (imageLen < 0 || static_cast<size_t>(imageLen) > image.size()) return kErrPublicKey;
    return FGetReportByBuffer(*this, std::span<const uint8_t>(image).first(static_cast<size_t>(imageLen)), buffer);
  });
}

int32_t TCryptoCEngine::GetPublicKeyPropertiesByFile(const char* fileName, char* buffer) {
  if (fileName == nullptr) return kErrReadPublicKeyFile;
  std::vector<uint8_t> image(kPublicKeyFileRoom);
  size_t imageLen = 0;
  if (!ReadFileToBuffer(ExpandRootMacro(fileName), image, imageLen)) return kErrReadPublicKeyFile;
  return FGetReportByBuffer(*this, std::span<const uint8_t>(image).first(imageLen), buffer);
}

int32_t TCryptoCEngine::HashData(const uint8_t* data, int32_t dataLen, int32_t format, uint8_t* out,
                                 int32_t* outLen) {
  return Guard("HashData", kGuardFailure, [&]() -> int32_t {
    if (outLen == nullptr) return kErrBadPointer;
    // Hashing needs no key: only the four paths pick the binding, so the
    // time-out parameters are not checked here.
    TKeySet keys;
    (void)GetKeyParams(*this, keys);
    TCryptoC_DLL* binding = nullptr;
    int32_t result = GetCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;
    if (data == nullptr || dataLen <= 0) return kErrBadPointer;
    const bool useGostHash = AnsiUpperCase(ParamValue(kParamHashMethod)) == "GOST";
    return binding->HashBuffer(std::span<const uint8_t>(data, static_cast<size_t>(dataLen)), format, out,
                               useGostHash, *outLen);
  });
}

int32_t TCryptoCEngine::GetPureSign(const uint8_t* block, int32_t blockLen, TArg, char* buffer,
                                    int32_t* bufferLen) {
  return Guard("GetPureSign", kGuardFailure, [&]() -> int32_t {
    if (bufferLen == nullptr) return kErrBadPointer;
    if (block == nullptr || blockLen <= 0) return kErrSignatureFormat;
    // Only a block with the full 64-byte value is shown: a shorter value
    // would have to be padded with bytes that are not in the block.
    TByteReader reader(std::span<const uint8_t>(block, static_cast<size_t>(blockLen)));
    std::string signerUID;
    std::span<const uint8_t> value;
    if (!reader.ReadZString(static_cast<size_t>(kGostMaxUIDLength), signerUID) || signerUID.empty() ||
        reader.Remaining() != kSignatureValueLen || !reader.ReadBytes(kSignatureValueLen, value)) {
      return kErrSignatureFormat;
    }
    const std::string text = BufferToHex(value, kNoSeparators, kNoSeparators);
    const int32_t room = *bufferLen;
    *bufferLen = kPureSignTextLen;
    if (buffer == nullptr) return kResultOk;
    if (room < kPureSignTextLen) return kErrBadPointer;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return kResultOk;
  });
}

}  // namespace tzm
