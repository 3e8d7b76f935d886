// GetCurrentUserUID: the UID of the key in use, or the one heading the
// user's public key file.
#include <cstring>

#include "registry.h"

namespace tzm {

int32_t TCryptoCEngine::GetCurrentUserUID(char* buffer) {
  TKeySet keys;
  const int32_t params = GetKeyParams(*this, keys);
  if (params != kResultOk) return params;
  return Guard("GetCurrentUID", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    int32_t result = GetCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;
    std::string uid;
    result = binding->GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid);
    if (result != kResultOk) return result;
    if (buffer == nullptr) return kErrBadPointer;
    std::memcpy(buffer, uid.c_str(), uid.size() + 1);  // at most 254 characters and the zero
    return kResultOk;
  });
}

}  // namespace tzm
