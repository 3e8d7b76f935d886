// Remote key generation in two steps that may lie days apart: the start step
// leaves the new public key and the new secret key, encrypted for the
// current user, in a per-user directory and hands out the signed transfer of
// the new public key; the finish step decrypts the secret key with the
// current key and installs the new pair. Between the steps all state is on
// disk. The plain new secret key exists on disk only for the moment between
// key generation and its encryption, and is overwritten before removal.
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "TCryptoCEngine.h"
#include "remote_gen.h"
#include "transfer.h"

namespace tzm {
namespace {

constexpr std::string_view kGostYear2001 = "2001";
constexpr std::string_view kGostYear1994 = "1994";

std::string_view TrimControls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

// KeyFilesMissing is the existence check of the Ex operations.
bool KeyFilesMissing(const TCryptoCEngine& engine) {
  return !platform::FileExists(engine.ExpandRootMacro(engine.ParamValue(kParamUserPublicKey))) ||
         !platform::FileExists(engine.ExpandRootMacro(engine.ParamValue(kParamUserSecretKey)));
}

int32_t OwnUID(TCryptoCEngine& engine, std::string& uid) {
  char buffer[kMaxUIDLen + 2] = {};
  const int32_t result = engine.GetCurrentUserUID(buffer);
  if (result != kResultOk) return result;
  buffer[kMaxUIDLen] = '\0';
  uid = buffer;
  return kResultOk;
}

bool UsableDir(const std::string& dir) { return !dir.empty() && IsDirectory(dir); }

// TPlainSecretFile discards the plain secret key file at the latest when it
// goes out of scope.
class TPlainSecretFile {
 public:
  explicit TPlainSecretFile(const std::string& path) : Path(path) {}
  TPlainSecretFile(const TPlainSecretFile&) = delete;
  TPlainSecretFile& operator=(const TPlainSecretFile&) = delete;
  ~TPlainSecretFile() {
    if (!Discarded) (void)Discard();
  }

  // Discard overwrites and removes the file now; true when it is gone.
  bool Discard() noexcept {
    Discarded = true;
    try {
      return DiscardPlainSecret(Path);
    } catch (...) {
      return false;
    }
  }

 private:
  const std::string& Path;
  bool Discarded = false;
};

}  // namespace

bool DiscardPlainSecret(const std::string& path) {
  if (!platform::FileExists(path)) return true;
  (void)platform::OverwriteFileWithZeros(path);  // the removal below decides the outcome
  return platform::RemoveFile(path) && !platform::FileExists(path);
}

std::string DatedUID(std::string_view uid, const platform::TLocalDateTime& when) {
  return StripDateSuffix(uid) + FormatText(" (%02d-%02d-%04d %02d-%02d-%02d)", when.Day, when.Month, when.Year,
                                           when.Hour, when.Minute, when.Second);
}

std::string RemoteGenBaseDir(const TCryptoCEngine& engine) {
  return ExtractFilePath(engine.ExpandRootMacro(engine.ParamValue(kParamUserSecretKey)));
}

int32_t InternalRemoteGenerateStart(TCryptoCEngine& engine, char* outText, const std::string& newUID) {
  if (outText == nullptr) return kErrBadPointer;
  const std::string dir = engine.ForceRemoteGenDir(RemoteGenBaseDir(engine));
  if (!UsableDir(dir)) return kErrRemoteGenDirAccess;

  std::string ownUID;
  int32_t result = OwnUID(engine, ownUID);
  if (result != kResultOk) return result;
  TKeySet keys;
  result = GetKeyParams(engine, keys);
  if (result != kResultOk) return result;

  const std::string_view gost = TrimControls(engine.ParamValue(kParamKeyGenGost));
  int32_t algorithm = 0;
  if (gost == kGostYear2001) {
    algorithm = kAlgorithm2001;
  } else if (gost == kGostYear1994) {
    algorithm = kAlgorithm1994;
  } else {
    return kErrSignAlgorithm;
  }

  const std::string newPublic = dir + std::string(kRemoteGenNewPublic);
  const std::string newSecret = dir + std::string(kRemoteGenNewSecret);
  // From here on, every way out (an exception included) removes the plain
  // secret key file: a half-finished start must not leave it behind.
  TPlainSecretFile plainSecret(newSecret);
  result = GuardStep(engine, "InternalRemoteGenerateStart", [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    const int32_t found = GetCryptoDLL(engine, keys, binding);
    if (found != kResultOk) return found;
    return binding->GenerateKeyPair(algorithm, newUID, newPublic, newSecret);
  });
  if (result != kResultOk) return result;

  // The plain secret key is sealed for the current user; the working buffer
  // and the file that held it are wiped on every path.
  result = [&]() -> int32_t {
    const int32_t addition = engine.GetMaxEncodeAddition();
    if (addition < 0) return kErrOutOfMemory;
    SecureVector<uint8_t> sealed(static_cast<size_t>(addition) + kSecretKeyFileLen, 0);
    size_t plainLen = 0;
    if (!ReadFileToBuffer(newSecret, std::span<uint8_t>(sealed.data(), kSecretKeyFileLen), plainLen)) {
      return kErrReadSecretKeyFile;
    }
    int32_t sealedLen = static_cast<int32_t>(plainLen);
    const int32_t encoded = engine.EncodeData(sealed.data(), &sealedLen, ownUID.c_str());
    if (encoded != kResultOk) return encoded;
    if (sealedLen < 0 || static_cast<size_t>(sealedLen) > sealed.size()) return kErrCritical;
    const auto sealedBytes = std::span<const uint8_t>(sealed.data(), static_cast<size_t>(sealedLen));
    if (!WriteBufferToFile(dir + std::string(kRemoteGenSealedSecret), sealedBytes)) return kErrWritePublicKeyToDir;
    return kResultOk;
  }();
  const bool discarded = plainSecret.Discard();
  if (result != kResultOk) return result;
  if (!discarded) return kErrReadSecretKeyFile;

  return engine.GetPublicKeyTransferByFile(outText, newPublic.c_str());
}

int32_t TCryptoCEngine::GetRemoteGenType() { return 0; }

int32_t TCryptoCEngine::RemoteGenerateStart(char* outText) {
  std::string ownUID;
  const int32_t result = OwnUID(*this, ownUID);
  if (result != kResultOk) return result;
  return InternalRemoteGenerateStart(*this, outText, ownUID);
}

int32_t TCryptoCEngine::RemoteGenerateStartEx(const char* uid, char* outText, int32_t* keyGenState) {
  if (keyGenState == nullptr) return kErrBadPointer;
  if (*keyGenState == kKeyGenCheckFiles && KeyFilesMissing(*this)) {
    *keyGenState = kKeyGenNoKeyFiles;
    return kResultOk;
  }
  std::string newUID;
  if (uid != nullptr && uid[0] != '\0') {
    newUID = uid;
  } else {
    std::string ownUID;
    const int32_t result = OwnUID(*this, ownUID);
    if (result != kResultOk) return result;
    newUID = DatedUID(ownUID, platform::LocalDateTime());
  }
  const int32_t result = InternalRemoteGenerateStart(*this, outText, newUID);
  if (result == kResultOk) *keyGenState = kKeyGenDone;
  return result;
}

int32_t TCryptoCEngine::RemoteGenerateFinish(TArg) {
  std::string ownUID;
  int32_t result = OwnUID(*this, ownUID);
  if (result != kResultOk) return result;

  TKeySet keys;
  TCryptoC_DLL* binding = nullptr;
  std::array<uint8_t, kMaxPublicKeyFileLen> oldKey{};
  int32_t oldKeyLen = 0;
  result = Guard("RemoteGenerateFinish", kGuardFailure, [&]() -> int32_t {
    const int32_t step = GetKeysAndCryptoDLL(*this, keys, binding);
    if (step != kResultOk) return step;
    return binding->GetPublicKeyBlob(ownUID, oldKey, oldKeyLen, keys);
  });
  if (result != kResultOk) return result;
  if (oldKeyLen < 0 || static_cast<size_t>(oldKeyLen) > oldKey.size()) return kErrPublicKey;

  const std::string dir = GetRemoteGenDir(RemoteGenBaseDir(*this));
  if (!UsableDir(dir)) return kErrRemoteGenDirAccess;
  const std::string newPublic = dir + std::string(kRemoteGenNewPublic);
  const std::string sealedPath = dir + std::string(kRemoteGenSealedSecret);
  if (!platform::FileExists(newPublic) || !platform::FileExists(sealedPath)) return kErrRemoteGenNewKeys;

  const int32_t addition = GetMaxEncodeAddition();
  if (addition < 0) return kErrOutOfMemory;
  SecureVector<uint8_t> secret(static_cast<size_t>(addition) + kSecretKeyFileLen, 0);
  size_t sealedLen = 0;
  if (!ReadFileToBuffer(sealedPath, secret, sealedLen)) return kErrReadSecretKeyFile;
  int32_t secretLen = static_cast<int32_t>(sealedLen);
  result = DecodeData(secret.data(), &secretLen, nullptr);
  if (result != kResultOk) return result;
  if (secretLen != static_cast<int32_t>(kSecretKeyFileLen)) return kErrSecretKeyUnusable;

  return Guard("RemoteGenerateFinish", kGuardFailure, [&]() -> int32_t {
    const int32_t replaced = binding->ReplaceKeyFiles(
        keys.PublicKeyPath, keys.SecretKeyPath, std::span<const uint8_t>(secret.data(), kSecretKeyFileLen), newPublic);
    if (replaced != kResultOk) return replaced;
    (void)ClearDirectory(dir, false);
    // The previous own key joins the correspondents' keys; the binding
    // refuses it when the new key kept the same UID, which is fine.
    (void)binding->IncludePublicKey(std::span<const uint8_t>(oldKey.data(), static_cast<size_t>(oldKeyLen)), keys);
    return kResultOk;
  });
}

int32_t TCryptoCEngine::RemoteGenerateFinishEx(const char* transfer, int32_t* keyGenState) {
  if (keyGenState == nullptr) return kErrBadPointer;
  if (*keyGenState == kKeyGenCheckFiles && KeyFilesMissing(*this)) {
    *keyGenState = kKeyGenNoKeyFiles;
    return kResultOk;
  }
  TPublicKeyBlock block;
  int32_t result = GetPublicKeyBlockByTransfer(*this, transfer, block);
  if (result != kResultOk) return result;

  const std::string dir = GetRemoteGenDir(RemoteGenBaseDir(*this));
  if (!UsableDir(dir)) return kErrRemoteGenDirAccess;
  const std::string newPublic = dir + std::string(kRemoteGenNewPublic);
  if (!platform::FileExists(newPublic)) return kErrRemoteGenNewKeys;
  std::array<uint8_t, kMaxPublicKeyFileLen> pending{};
  size_t pendingLen = 0;
  if (!ReadFileToBuffer(newPublic, pending, pendingLen)) return kErrReadPublicKeyFile;
  const auto pendingKey = std::span<const uint8_t>(pending.data(), pendingLen);
  if (pendingLen != block.Key().size() || !std::equal(pendingKey.begin(), pendingKey.end(), block.Key().begin())) {
    return kErrRemoteGenKeyMismatch;
  }

  result = RemoteGenerateFinish(nullptr);
  if (result == kResultOk) *keyGenState = kKeyGenDone;
  return result;
}

}  // namespace tzm
