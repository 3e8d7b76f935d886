// Attached signatures: the data and its signature kept in one host buffer.
// Both operations are built on the engine's own SignData and VerifyData
// (called through the operation table, so an engine that replaces those
// changes these too) and never touch the binding directly.
#include <cstring>
#include <limits>
#include <vector>

#include "TCryptoCEngine.h"
#include "support.h"

namespace tzm {
namespace {

// Attached-signature layout, at the start of the host buffer:
//   0        n   the signed data
//   n        s   signature block: signer UID, 0, 64 signature bytes
//   n + s    4   n, 32-bit signed little-endian
// so the buffer grows by s + 4 bytes, at most GetMaxSignatureLength() + 4.
constexpr int32_t kTrailerLen = 4;

}  // namespace

int32_t TCryptoCEngine::AddSign(uint8_t* data, int32_t* dataLen, TArg) {
  if (data == nullptr || dataLen == nullptr) return kErrBadPointer;

  const int32_t maxSignatureLen = GetMaxSignatureLength();
  const int32_t maxUIDLen = GetMaxUIDLength();
  if (maxSignatureLen <= 0 || maxUIDLen <= 0) return kErrOutOfMemory;
  // The grown length must still be a 32-bit length.
  if (*dataLen > std::numeric_limits<int32_t>::max() - maxSignatureLen - kTrailerLen) return kErrBadPointer;

  // The signature block is not secret, but it is released as soon as it is
  // copied behind the data.
  std::vector<uint8_t> signature(static_cast<size_t>(maxSignatureLen));
  std::vector<char> uid(static_cast<size_t>(maxUIDLen) + 1, '\0');

  int32_t result = GetCurrentUserUID(uid.data());
  if (result != kResultOk) return result;

  int32_t signatureLen = 0;
  result = SignData(data, *dataLen, signature.data(), &signatureLen, uid.data());
  if (result != kResultOk) return result;

  return Guard("AddSign", kGuardFailure, [&]() -> int32_t {
    if (signatureLen <= 0 || signatureLen > maxSignatureLen) {
      throw EAssertionFailed("Assertion failure");
    }
    const int32_t oldLen = *dataLen;
    std::memcpy(data + oldLen, signature.data(), static_cast<size_t>(signatureLen));
    EncodeFixed32(data + oldLen + signatureLen, static_cast<uint32_t>(oldLen));
    *dataLen = oldLen + signatureLen + kTrailerLen;
    return kResultOk;
  });
}

int32_t TCryptoCEngine::RemoveSign(uint8_t* data, int32_t* dataLen, char* signerUID) {
  // A buffer shorter than its trailer cannot hold one: reading the last four
  // bytes would read before the buffer.
  if (data == nullptr || dataLen == nullptr || *dataLen < kTrailerLen) return kErrBadPointer;

  return Guard("RemoveSignature", kGuardFailure, [&]() -> int32_t {
    const int32_t totalLen = *dataLen;
    const auto dataPartLen = static_cast<int32_t>(DecodeFixed32(data + totalLen - kTrailerLen));
    if (dataPartLen <= 0 || static_cast<int64_t>(dataPartLen) + kTrailerLen >= totalLen) {
      return kErrSignatureFormat;
    }
    const int32_t signatureLen = totalLen - dataPartLen - kTrailerLen;
    const int32_t result = VerifyData(data, dataPartLen, data + dataPartLen, signatureLen, signerUID);
    // The host keeps the data part whatever the verification said.
    *dataLen = dataPartLen;
    return result;
  });
}

}  // namespace tzm
