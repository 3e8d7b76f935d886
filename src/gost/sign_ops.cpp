// SignData and VerifyData: detached signatures of host buffers. The engine
// reads the key set and the hash choice and hands the buffers, unchanged and
// uncopied, to the binding of its key set.
#include <cstring>
#include <span>
#include <string>

#include "registry.h"

namespace tzm {
namespace {

// HostBytes views a host buffer; a nil pointer or a length of 0 or less
// gives an empty view, which the binding refuses with its own code.
std::span<const uint8_t> HostBytes(const uint8_t* data, int32_t len) {
  if (data == nullptr) return {};
  return std::span<const uint8_t>(data, len > 0 ? static_cast<size_t>(len) : 0);
}

}  // namespace

int32_t TCryptoCEngine::SignData(const uint8_t* data, int32_t dataLen, uint8_t* signature, int32_t* signatureLen,
                                 const char* /*signerUID: the block always names the current user*/) {
  // The length is written on success; a nil pointer must not be written through.
  if (signatureLen == nullptr) return kErrBadPointer;
  TKeySet keys;
  const int32_t params = GetKeyParams(*this, keys);
  if (params != kResultOk) return params;
  return Guard("SignData", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    const int32_t result = GetCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;
    // "GOST" in any letter case selects the GOST digest over the whole
    // buffer; any other value keeps the OLD_FORMAT digest.
    const bool useGostHash = AnsiUpperCase(ParamValue(kParamHashMethod)) == "GOST";
    std::span<uint8_t> out;
    if (signature != nullptr) out = std::span<uint8_t>(signature, static_cast<size_t>(GetMaxSignatureLength()));
    int32_t len = 0;
    const int32_t signResult = binding->SignBuffer(HostBytes(data, dataLen), out, len, keys, useGostHash);
    if (signResult == kResultOk) *signatureLen = len;
    return signResult;
  });
}

int32_t TCryptoCEngine::VerifyData(const uint8_t* data, int32_t dataLen, const uint8_t* signature,
                                   int32_t signatureLen, char* signerUID) {
  if (signerUID == nullptr) return kErrBadPointer;
  TKeySet keys;
  const int32_t params = GetKeyParams(*this, keys);
  if (params != kResultOk) return params;
  return Guard("VerifyData", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    const int32_t result = GetCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;
    std::string uid;  // stays empty when the block is refused before its UID
    const int32_t verifyResult =
        binding->VerifyBuffer(HostBytes(data, dataLen), HostBytes(signature, signatureLen), uid, keys);
    std::memcpy(signerUID, uid.c_str(), uid.size() + 1);  // at most 254 characters and the zero
    return verifyResult;
  });
}

}  // namespace tzm
