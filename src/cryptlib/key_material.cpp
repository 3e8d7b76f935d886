// The user's secret key in memory: loaded from the key files with all their
// checks, held with the signing key masked by random words, and forgotten
// when either time-out runs out. Plain copies leave this file only in the
// caller's buffers.
#include <cmath>
#include <cstring>
#include <new>

#include "cryptoc_dll.h"
#include "key_file_format.h"

namespace tzm {
namespace R = crypt_result;

namespace {

constexpr size_t kSigningKeyWords = kCrypCSigningSecretKeyLen / 4;

// The signing key is kept as eight LE32 words, each (key − mask) mod 2^32.
void MaskSigningKey(uint8_t* key, const uint8_t* mask) {
  for (size_t i = 0; i < kSigningKeyWords; ++i) {
    EncodeFixed32(key + 4 * i, DecodeFixed32(key + 4 * i) - DecodeFixed32(mask + 4 * i));
  }
}

void UnmaskSigningKey(const uint8_t* stored, const uint8_t* mask, uint8_t* out) {
  for (size_t i = 0; i < kSigningKeyWords; ++i) {
    EncodeFixed32(out + 4 * i, DecodeFixed32(stored + 4 * i) + DecodeFixed32(mask + 4 * i));
  }
}

// ReadPublicKeyHead reads the public key file (at most 515 bytes) and its
// head. False when the file cannot be read or its UID is unusable.
bool ReadPublicKeyHead(const std::string& path, TPublicKeyHead& head, size_t& fileLen) {
  std::array<uint8_t, kMaxPublicKeyFileLen> file{};
  fileLen = 0;
  if (!ReadFileToBuffer(path, file, fileLen)) return false;
  return ParsePublicKeyHead(std::span<const uint8_t>(file.data(), fileLen), head);
}

}  // namespace

int32_t TCryptoC_DLL::ReadKeyFiles(const std::string& publicKeyPath, const std::string& secretKeyPath) {
  SecretKey = std::make_unique<TSecureArray<kSecretKeyBufferLen>>();
  KeyMask = std::make_unique<TSecureArray<kKeyMaskLen>>();
  uint8_t* key = SecretKey->data();
  size_t fileLen = 0;
  if (!ReadFileToBuffer(secretKeyPath, SecretKey->Span(), fileLen) || fileLen != kSecretKeyFileLen) {
    return R::kSecretKeyBad;
  }
  KeyAlgorithm = static_cast<int32_t>(DecodeFixed32(key));
  if (KeyAlgorithm != kAlgorithm1994 && KeyAlgorithm != kAlgorithm2001) return R::kSecretKeyBad;
  // Signing key to offset 0, exchange key to 32; the 4 spare bytes at the
  // end would otherwise keep a second copy of the exchange key's tail.
  std::memmove(key, key + kSecretFileSigningKeyOffset, kSecretKeyFileLen - 4);
  SecureWipe(key + kSecretKeyFileLen - 4, 4);

  const int32_t randomResult = RandomFill(KeyMask->Span());
  if (randomResult != R::kOk) return randomResult;
  MaskSigningKey(key, KeyMask->data());

  TPublicKeyHead head;
  size_t publicLen = 0;
  if (!ReadPublicKeyHead(publicKeyPath, head, publicLen)) return R::kPublicKeyBad;
  UserUID = head.UID;
  if (!head.HasAlgorithm) return R::kPublicKeyBad;
  if (head.Algorithm != KeyAlgorithm) return R::kKeyAlgorithmMismatch;
  if (publicLen != PublicKeyFileLen(head.UID.size(), KeyAlgorithm)) return R::kPublicKeyBad;
  return R::kOk;
}

int32_t TCryptoC_DLL::LoadSecretKey(const std::string& publicKeyPath, const std::string& secretKeyPath) {
  int32_t result = R::kOk;
  try {
    result = ReadKeyFiles(publicKeyPath, secretKeyPath);
  } catch (const std::bad_alloc&) {
    result = R::kOutOfMemory;
  } catch (...) {
    ForgetSecretKey();  // a failed load leaves no key in memory
    throw;
  }
  if (result != R::kOk) ForgetSecretKey();
  return result;
}

void TCryptoC_DLL::ForgetSecretKey() {
  KeyAlgorithm = -1;
  SecretKey.reset();  // the holders wipe themselves
  KeyMask.reset();
  UserUID.clear();
}

bool TCryptoC_DLL::KeyStillValid(const TKeySet& keys, double now) const {
  // A time-out of 0 or below never holds: the key is read again.
  auto within = [now](int32_t seconds, double since) {
    return seconds != 0 && seconds * kSecondAsDayFraction >= std::fabs(now - since);
  };
  return within(keys.KeyRequestTimeout, KeyLoadTime) && within(keys.LastOperationTimeout, LastOperationTime) &&
         within(KeyRequestTimeout, KeyLoadTime) && within(LastOperationTimeout, LastOperationTime);
}

int32_t TCryptoC_DLL::EnsureKeyLoaded(const TKeySet& keys, double now) {
  if (SecretKey && !KeyStillValid(keys, now)) ForgetSecretKey();
  if (!SecretKey) {
    const int32_t result = LoadSecretKey(keys.PublicKeyPath, keys.SecretKeyPath);
    if (result != R::kOk) return result;
    KeyRequestTimeout = keys.KeyRequestTimeout;
    KeyLoadTime = now;
  }
  return SecretKey ? R::kOk : R::kSecretKeyBad;
}

int32_t TCryptoC_DLL::GetSigningKey(const TKeySet& keys, int32_t& algorithm,
                                    std::span<uint8_t, kCrypCSigningSecretKeyLen> keyOut) {
  platform::TCriticalSectionGuard guard(KeyLock);
  const double now = TimeOfDay();
  const int32_t result = EnsureKeyLoaded(keys, now);
  if (result != R::kOk) return result;
  UnmaskSigningKey(SecretKey->data(), KeyMask->data(), keyOut.data());
  algorithm = KeyAlgorithm;
  LastOperationTimeout = keys.LastOperationTimeout;
  LastOperationTime = now;
  return R::kOk;
}

int32_t TCryptoC_DLL::GetExchangeKey(const TKeySet& keys, std::span<uint8_t, kCrypCExchangeKeyLen> keyOut) {
  platform::TCriticalSectionGuard guard(KeyLock);
  const double now = TimeOfDay();
  const int32_t result = EnsureKeyLoaded(keys, now);
  if (result != R::kOk) return result;
  std::memcpy(keyOut.data(), SecretKey->data() + kCrypCSigningSecretKeyLen, keyOut.size());
  LastOperationTimeout = keys.LastOperationTimeout;
  LastOperationTime = now;
  return R::kOk;
}

int32_t TCryptoC_DLL::OwnUID(const std::string& publicKeyPath, std::string& uidOut) {
  if (!UserUID.empty()) {
    uidOut = UserUID;
  } else {
    TPublicKeyHead head;
    size_t fileLen = 0;
    if (!ReadPublicKeyHead(publicKeyPath, head, fileLen)) return R::kPublicKeyBad;
    uidOut = head.UID;
  }
  if (uidOut.empty() || uidOut.size() > kMaxUIDLen) return R::kPublicKeyBad;
  return R::kOk;
}

int32_t TCryptoC_DLL::GetUserUID(const std::string& publicKeyPath, const std::string& secretKeyPath,
                                 std::string& uidOut) {
  try {
    platform::TCriticalSectionGuard guard(KeyLock);
    return OwnUID(publicKeyPath, uidOut);
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

int32_t TCryptoC_DLL::LoadedKeyAlgorithm() {
  platform::TCriticalSectionGuard guard(KeyLock);
  return KeyAlgorithm;
}

bool TCryptoC_DLL::HasLoadedKey() {
  platform::TCriticalSectionGuard guard(KeyLock);
  return SecretKey != nullptr;
}

}  // namespace tzm
