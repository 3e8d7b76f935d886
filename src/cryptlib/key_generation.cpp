// Making key pairs and installing replacement key files. Every image and
// buffer that holds key bytes is a self-wiping holder, so it is zeroed on
// every path, success or failure.
#include <cstring>
#include <new>

#include "crypc_context.h"
#include "cryptoc_dll.h"
#include "key_file_format.h"

namespace tzm {
namespace R = crypt_result;

namespace {

// TSigningKeyGen gathers the entry points that differ between the two
// signature algorithms, so the generation steps are written once.
struct TSigningKeyGen {
  int32_t (TCryptoC_DLL::*GenSecret)(void*) const;
  int32_t (TCryptoC_DLL::*GenPublic)(void*) const;
  int32_t (TCryptoC_DLL::*GetSecret)(void*, uint8_t*, int*) const;
  int32_t (TCryptoC_DLL::*GetPublic)(void*, uint8_t*, int*) const;
};

constexpr TSigningKeyGen kGen1994{
    &TCryptoC_DLL::CrypC_LR34_10_1994_gen_secret_key<void*>,
    &TCryptoC_DLL::CrypC_LR34_10_1994_gen_public_key<void*>,
    &TCryptoC_DLL::CrypC_LR34_10_1994_get_secret_key<void*, uint8_t*, int*>,
    &TCryptoC_DLL::CrypC_LR34_10_1994_get_public_key<void*, uint8_t*, int*>,
};

constexpr TSigningKeyGen kGen2001{
    &TCryptoC_DLL::CrypC_LR34_10_2001_gen_secret_key<void*>,
    &TCryptoC_DLL::CrypC_LR34_10_2001_gen_public_key<void*>,
    &TCryptoC_DLL::CrypC_LR34_10_2001_get_secret_key<void*, uint8_t*, int*>,
    &TCryptoC_DLL::CrypC_LR34_10_2001_get_public_key<void*, uint8_t*, int*>,
};

// RunKeySteps generates the signing pair in an initialised context: the
// secret file image gets the algorithm word and the secret key, |publicKey|
// the signing public key.
int32_t RunKeySteps(const TCryptoC_DLL& dll, const TSigningKeyGen& gen, void* ctx, int32_t algorithm,
                    SecureVector<uint8_t>& secretImage, SecureVector<uint8_t>& publicKey) {
  int32_t result = (dll.*gen.GenSecret)(ctx);
  if (result != R::kOk) return result;
  int keyLen = 0;
  result = (dll.*gen.GetSecret)(ctx, nullptr, &keyLen);
  if (result != R::kOk) return result;
  // The secret key file has a fixed size: a library with another key length
  // cannot be stored.
  if (keyLen != static_cast<int>(kCrypCSigningSecretKeyLen)) {
    throw ECryptLibError(FormatText("libcrypt.dll: signing secret key of %d bytes", keyLen));
  }
  secretImage.assign(kSecretKeyFileLen, 0);
  EncodeFixed32(secretImage.data(), static_cast<uint32_t>(algorithm));
  result = (dll.*gen.GetSecret)(ctx, secretImage.data() + kSecretFileSigningKeyOffset, &keyLen);
  if (result != R::kOk) return result;

  result = (dll.*gen.GenPublic)(ctx);
  if (result != R::kOk) return result;
  const size_t publicLen = SigningPublicKeyLen(algorithm);
  int reportedLen = 0;
  if (algorithm == kAlgorithm1994) {
    result = (dll.*gen.GetPublic)(ctx, nullptr, &reportedLen);
    if (result != R::kOk) return result;
    if (reportedLen != static_cast<int>(publicLen)) {
      throw ECryptLibError(FormatText("libcrypt.dll: signing public key of %d bytes", reportedLen));
    }
  }
  // The 2001 blob is always stored as exactly 100 bytes, whatever length
  // the library reports.
  publicKey.assign(publicLen, 0);
  reportedLen = static_cast<int>(publicLen);
  return (dll.*gen.GetPublic)(ctx, publicKey.data(), &reportedLen);
}

}  // namespace

int32_t TCryptoC_DLL::GenerateKeyPair(int32_t algorithm, std::string_view uid, const std::string& publicKeyPath,
                                      const std::string& secretKeyPath) {
  if (algorithm != kAlgorithm1994 && algorithm != kAlgorithm2001) return R::kUnsupportedAlgorithm;
  // A UID longer than 254 characters would give a public key file that no
  // operation can read back; refuse it like an empty one.
  if (uid.empty() || uid.size() > kMaxUIDLen) return R::kEmptyUID;
  try {
    return GenerateSigningPair(algorithm, uid, publicKeyPath, secretKeyPath);
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

int32_t TCryptoC_DLL::GenerateSigningPair(int32_t algorithm, std::string_view uid,
                                          const std::string& publicKeyPath, const std::string& secretKeyPath) {
  TRandomRecord random;
  TakeRandomState(random);
  SecureVector<uint8_t> secretImage;
  SecureVector<uint8_t> signingPublic;
  int32_t result = R::kOk;
  if (algorithm == kAlgorithm1994) {
    TSign1994Context ctx(*this);
    result = CrypC_LR34_10_1994_set_parms(ctx.Get(), static_cast<void*>(random.data()),
                                          static_cast<const uint8_t*>(nullptr), 128,
                                          static_cast<const uint8_t*>(nullptr), 32,
                                          static_cast<const uint8_t*>(nullptr));
    if (result != R::kOk) return result;
    result = RunKeySteps(*this, kGen1994, ctx.Get(), algorithm, secretImage, signingPublic);
  } else {
    TSign2001Context ctx(*this);
    const uint8_t* none = nullptr;
    result = CrypC_LR34_10_2001_set_parms(ctx.Get(), static_cast<void*>(random.data()), none, 32, none, 32,
                                          none, none, none);
    if (result != R::kOk) return result;
    result = RunKeySteps(*this, kGen2001, ctx.Get(), algorithm, secretImage, signingPublic);
  }
  if (result != R::kOk) return result;

  // The exchange pair: kept in wiping holders (the plain exchange secret key
  // must not linger in freed memory).
  TSecureArray<kCrypCExchangeKeyLen> exchangeSecret;
  TSecureArray<kCrypCExchangeKeyLen> exchangePublic;
  result = GenerateExchangeKeyPair(exchangeSecret.Span(), exchangePublic.Span());
  if (result != R::kOk) return result;
  std::memcpy(secretImage.data() + kSecretFileExchangeKeyOffset, exchangeSecret.data(), exchangeSecret.size());

  SecureVector<uint8_t> publicImage(PublicKeyFileLen(uid.size(), algorithm), 0);
  TByteWriter writer(publicImage);
  if (!writer.WriteZString(uid) || !writer.WriteU32(static_cast<uint32_t>(algorithm)) ||
      !writer.WriteBytes(signingPublic) || !writer.WriteBytes(exchangePublic.Span()) ||
      writer.Remaining() != 0) {
    throw EAssertionFailed("Assertion failure");
  }

  if (!WriteBufferToFile(publicKeyPath, publicImage) || !WriteBufferToFile(secretKeyPath, secretImage)) {
    return R::kKeyFileNotWritten;
  }
  PutRandomState(random);
  return R::kOk;
}

int32_t TCryptoC_DLL::GenerateExchangeKeyPair(std::span<uint8_t, kCrypCExchangeKeyLen> secretOut,
                                              std::span<uint8_t, kCrypCExchangeKeyLen> publicOut) {
  TRandomRecord random;
  TakeRandomState(random);
  TExchangeContext ctx(*this);
  const uint8_t* none = nullptr;
  int32_t result = CrypC_LDH_PKA_set_parms(ctx.Get(), static_cast<void*>(random.data()), none, 128, none);
  if (result != R::kOk) return result;
  result = CrypC_LDH_PKA_gen_secret_key(ctx.Get());
  if (result != R::kOk) return result;

  // A key read out with any length but 128, or a read-out that blows up,
  // is a failed exchange key.
  auto readOut = [&](auto getEntry, std::span<uint8_t, kCrypCExchangeKeyLen> out) -> int32_t {
    int len = static_cast<int>(out.size());
    int32_t code = R::kOk;
    try {
      code = (this->*getEntry)(ctx.Get(), out.data(), &len);
    } catch (const EException&) {
      return R::kExchangeKeyFailure;
    }
    if (code != R::kOk) return code;
    return len == static_cast<int>(kCrypCExchangeKeyLen) ? R::kOk : R::kExchangeKeyFailure;
  };
  result = readOut(&TCryptoC_DLL::CrypC_LDH_PKA_get_secret_key<void*, uint8_t*, int*>, secretOut);
  if (result != R::kOk) return result;
  result = CrypC_LDH_PKA_gen_public_key(ctx.Get());
  if (result != R::kOk) return result;
  result = readOut(&TCryptoC_DLL::CrypC_LDH_PKA_get_public_key<void*, uint8_t*, int*>, publicOut);
  if (result != R::kOk) return result;
  result = ctx.Clear();
  if (result != R::kOk) return result;
  PutRandomState(random);
  return R::kOk;
}

int32_t TCryptoC_DLL::ReplaceKeyFiles(const std::string& publicKeyPath, const std::string& secretKeyPath,
                                      std::span<const uint8_t> newSecret, const std::string& newPublicKeyPath) {
  platform::TCriticalSectionGuard guard(KeyLock);
  if (!platform::FileExists(publicKeyPath)) return R::kPublicKeyBad;
  if (!platform::FileExists(secretKeyPath)) return R::kSecretKeyBad;

  // The backups always go to the secret key file's folder, also when the
  // public key file lies elsewhere.
  const std::string folder = ExtractFilePath(secretKeyPath);
  const std::string oldSecret = folder + "old.sec";
  const std::string oldPublic = folder + "old.pub";

  // Without the new public key file the pair cannot be completed: refuse
  // before anything is moved.
  if (!platform::FileExists(newPublicKeyPath)) return R::kPublicKeyFileWrite;

  if (platform::FileExists(oldSecret) && (!platform::RemoveFile(oldSecret) || platform::FileExists(oldSecret))) {
    return R::kSecretKeyFileMove;
  }
  if (!platform::RenameFile(secretKeyPath, oldSecret)) return R::kSecretKeyFileMove;

  // From here on a failure puts the current secret key file back, so that a
  // failed replacement never leaves the user without a secret key file, or
  // with a new secret key beside the old public key (a pair that matches
  // nothing). The backup stays in old.sec if even that fails.
  const auto restoreSecret = [&] {
    if (platform::FileExists(secretKeyPath)) platform::RemoveFile(secretKeyPath);
    platform::RenameFile(oldSecret, secretKeyPath);
  };
  if (!WriteBufferToFile(secretKeyPath, newSecret)) {
    restoreSecret();
    return R::kSecretKeyFileMove;
  }

  if (platform::FileExists(oldPublic) && (!platform::RemoveFile(oldPublic) || platform::FileExists(oldPublic))) {
    restoreSecret();
    return R::kPublicKeyFileWrite;
  }
  if (!platform::RenameFile(publicKeyPath, oldPublic)) {
    restoreSecret();
    return R::kPublicKeyFileWrite;
  }
  if (!platform::RenameFile(newPublicKeyPath, publicKeyPath)) {
    platform::RenameFile(oldPublic, publicKeyPath);
    restoreSecret();
    return R::kPublicKeyFileWrite;
  }

  ClearKeyCache();
  ForgetSecretKey();
  return R::kOk;
}

}  // namespace tzm
