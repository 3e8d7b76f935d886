// Key store operations of the GOST engine: a new key pair from the key
// generation parameters, and the correspondents' public keys in the Abonents
// folder (include, remove, refresh) together with the in-memory state of every
// binding. Each operation reads the key set, obtains the shared binding and
// hands the work to it.
#include <string>
#include <string_view>
#include <vector>

#include "TCryptoCEngine.h"
#include "cryptlib.h"
#include "registry.h"
#include "support.h"

namespace tzm {
namespace {

constexpr size_t kPublicKeyFileRoom = 515;  // largest public key file: 254-character UID, 1994 key

// TrimControls drops the characters with codes 0 to 32 from both ends.
std::string_view TrimControls(std::string_view text) {
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

int32_t TCryptoCEngine::GenerateNewSEK() {
  return Guard("GenerateNewSEK", kGuardFailure, [&]() -> int32_t {
    // Generation needs no loaded key, so the time-out parameters are not
    // read: only the four paths choose the binding.
    TKeySet keys;
    (void)GetKeyParams(*this, keys);
    TCryptoC_DLL* binding = nullptr;
    const int32_t result = GetCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;

    const std::string_view gost = TrimControls(ParamValue(kParamKeyGenGost));
    int32_t algorithm = 0;
    if (gost == "2001") {
      algorithm = kAlgorithm2001;
    } else if (gost == "1994") {
      algorithm = kAlgorithm1994;
    } else {
      return kErrSignAlgorithm;
    }
    return binding->GenerateKeyPair(algorithm, TrimControls(ParamValue(kParamKeyGenUID)),
                                    ExpandRootMacro(ParamValue(kParamKeyGenPublicKeyFile)),
                                    ExpandRootMacro(ParamValue(kParamKeyGenSecretKeyFile)));
  });
}

// One key pair serves signing and encryption alike.
int32_t TCryptoCEngine::GenerateNewSSK() { return GenerateNewSEK(); }

int32_t TCryptoCEngine::IncludePublicKey(const char* fileName) {
  TKeySet keys;
  int32_t result = GetKeyParams(*this, keys);
  if (result != kResultOk) return result;
  if (fileName == nullptr) return kErrPublicKey;

  const std::string path = ExpandRootMacro(fileName);
  std::vector<uint8_t> image(kPublicKeyFileRoom);
  size_t imageLen = 0;
  if (!ReadFileToBuffer(path, image, imageLen)) return kErrPublicKey;

  result = Guard("IncludePublicKey", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    const int32_t code = GetCryptoDLL(*this, keys, binding);
    if (code != kResultOk) return code;
    return binding->IncludePublicKey(std::span<const uint8_t>(image).first(imageLen), keys);
  });
  // The key now lives in the Abonents folder; the source file goes. A file
  // that cannot be deleted does not undo the inclusion.
  if (result == kResultOk) (void)platform::RemoveFile(path);
  return result;
}

int32_t TCryptoCEngine::IncludePublicEncodeKey(const char* fileName) { return IncludePublicKey(fileName); }

int32_t TCryptoCEngine::RemoveCertificate(const char* uid) {
  TKeySet keys;
  const int32_t result = GetKeyParams(*this, keys);
  if (result != kResultOk) return result;
  return Guard("RemoveCertificate", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    const int32_t code = GetCryptoDLL(*this, keys, binding);
    if (code != kResultOk) return code;
    return binding->RemovePublicKey(uid != nullptr ? std::string_view(uid) : std::string_view(), keys);
  });
}

int32_t TCryptoCEngine::UpdateCertificateCash(const char* uid) {
  TKeySet keys;
  const int32_t result = GetKeyParams(*this, keys);
  if (result != kResultOk) return result;
  return Guard("UpdateCertificateCash", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    const int32_t code = GetCryptoDLL(*this, keys, binding);
    if (code != kResultOk) return code;
    return binding->UpdatePublicKey(uid != nullptr ? std::string_view(uid) : std::string_view(), keys);
  });
}

void TCryptoCEngine::ClearCash() {
  Guard("ResetAllKeys", 0, [&] { ForEachCryptoDLL([](TCryptoC_DLL& binding) { binding.ClearKeys(); }); });
}

}  // namespace tzm
