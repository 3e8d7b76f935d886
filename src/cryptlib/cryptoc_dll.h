// The binding classes TCrypto_DLL and TCryptoC_DLL: one binding serves one key
// set and owns the loaded secret key, the public-key cache and the random
// state shared by every libcrypt.dll call made for that key set.
#ifndef TZM_CRYPTLIB_CRYPTOC_DLL_H
#define TZM_CRYPTLIB_CRYPTOC_DLL_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crypc_table.h"
#include "cryptlib_results.h"
#include "support.h"

namespace tzm {

// Sizes of the key files and of the key material held in memory.
inline constexpr size_t kSecretKeyFileLen = 164;      // algorithm word + 32 + 128
inline constexpr size_t kSecretKeyBufferLen = 164;    // masked 32 + plain 128 + 4 spare
inline constexpr size_t kKeyMaskLen = 32;
inline constexpr size_t kMaxUIDLen = 254;
inline constexpr size_t kUIDBufferLen = kMaxUIDLen + 1;
inline constexpr size_t kMaxPublicKeyFileLen = 515;   // 254 + 1 + 4 + 128 + 128
inline constexpr size_t kPublicKeyImageLen = 516;
inline constexpr size_t kPairKeyLen = 32;
inline constexpr size_t kBlockKeyLen = 32;
inline constexpr size_t kMacLen = 8;
inline constexpr size_t kSynchroLen = 8;
inline constexpr size_t kMaxSignatureBlockLen = kMaxUIDLen + 1 + kCrypCSignatureLen;  // 319
inline constexpr int32_t kMaxEncodeAddition = 303 * 100 + 279;                        // 30579

// Algorithm codes recorded in both key files.
inline constexpr int32_t kAlgorithm1994 = 0;
inline constexpr int32_t kAlgorithm2001 = 1;

// One second of a key time-out, as a fraction of a day. This is the constant
// the stored time-outs have always been measured with (slightly less than
// 1/86400), so keys expire exactly when callers expect.
inline constexpr double kSecondAsDayFraction = 1.1574E-5;

// TKeySet is the key set every binding operation receives: the four expanded
// paths (folders end in a backslash) and the two time-outs in seconds.
struct TKeySet {
  std::string PublicKeyPath;
  std::string SecretKeyPath;
  std::string AbonentsDir;
  std::string CADir;  // handed along, never used by the binding
  int32_t KeyRequestTimeout = 60;
  int32_t LastOperationTimeout = 5;
};

// TRandomRecord is a private copy of a binding's 76-byte random state. The
// bytes belong to libcrypt.dll; they are wiped on release because they decide
// future keys.
using TRandomRecord = TSecureArray<kCrypCRandomStateLen>;

// TGostParamBlock is the 4228-byte parameter block the hash, MAC and gamma
// calls receive: the 128-byte S-box table, K8 first, then 4100 zero bytes that
// the library may use. A fresh block is built for every operation. Not secret:
// the table is public and the library keeps nothing key-dependent in it.
class TGostParamBlock {
 public:
  TGostParamBlock();
  // Get hands the block to an init call; the library keeps its expanded tables
  // in the spare bytes, so the block must stay writable and untouched until clear.
  void* Get() { return Bytes.data(); }
  std::span<const uint8_t> View() const { return Bytes; }

 private:
  alignas(8) std::array<uint8_t, kCrypCParamBlockLen> Bytes;
};

// TCryptoC_CashNode is one cached public key file.
struct TCryptoC_CashNode {
  std::string Path;                                // file the entry was read from or written to
  int32_t Size = 0;                                // bytes of the file held in Image
  int32_t Algorithm = 0;                           // word after the UID's terminating zero
  std::array<uint8_t, kPublicKeyImageLen> Image{}; // the file exactly as stored (public data)
  bool PairKeyValid = false;
  TSecureArray<kPairKeyLen> PairKey;               // pairwise key with this correspondent
};

// TCrypto_DLL is the base of a run-time-loaded crypto library binding.
class TCrypto_DLL {
 public:
  TCrypto_DLL() = default;
  virtual ~TCrypto_DLL() = default;
  TCrypto_DLL(const TCrypto_DLL&) = delete;
  TCrypto_DLL& operator=(const TCrypto_DLL&) = delete;

  bool LibraryLoaded = false;    // the module handle was obtained
  bool EntriesResolved = false;  // every entry point was found
};

// TCrypCEntryPoints holds one pointer per entry point, in resolution order.
struct TCrypCEntryPoints {
#define TZM_CRYPC_POINTER_FIELD(name, args) name##_fn name = nullptr;
  CRYPC_ENTRY_POINTS(TZM_CRYPC_POINTER_FIELD)
#undef TZM_CRYPC_POINTER_FIELD
};

// TranslateCrypCResult is the one translator of entry-point result codes:
// 0 and the library's codes 1 to 15 pass unchanged; any other value would
// collide with the system's own codes, so it raises ECryptLibError naming the
// entry point.
int32_t TranslateCrypCResult(const char* entryName, int code);

// ECryptLibError reports a misbehaving libcrypt.dll or a call into a binding
// that has no such entry point.
class ECryptLibError : public EException {
 public:
  using EException::EException;
  const char* ClassName() const noexcept override { return "ECryptLibError"; }
};

// TCryptoC_DLL binds one key set to libcrypt.dll.
//
// Lock order: KeyLock, then RandomLock; the registry's CryptoDLLLock (gost/)
// is always taken before either. Hashing, signing, verification and
// encryption calls run outside both locks on private copies.
class TCryptoC_DLL : public TCrypto_DLL {
 public:
  // TCryptoC_DLL loads libcrypt.dll if no binding has loaded it yet and
  // resolves the 60 entry points. It never raises for a missing library: the
  // outcome is in LibraryLoaded and EntriesResolved.
  TCryptoC_DLL();
  // ~TCryptoC_DLL clears the cache and forgets the secret key (wiping it).
  // The library stays loaded.
  ~TCryptoC_DLL() override;

  // ---- Process-wide module (the library is loaded once per process). ----

  // StartLibraryModule creates the process-wide module state (library
  // load). It does not load libcrypt.dll: the first binding does.
  static void StartLibraryModule();
  // UnloadLibrary releases libcrypt.dll if it is loaded. Called once at
  // library unload, after the registry destroyed every binding.
  static void UnloadLibrary();
  // IsLibraryLoaded tells whether the process holds libcrypt.dll.
  static bool IsLibraryLoaded();

  // ---- Entry points: one method per entry point, same name. ----
  // Each calls the resolved pointer and passes its code through
  // TranslateCrypCResult. A missing pointer raises ECryptLibError.
#define TZM_CRYPC_METHOD(name, args)                                    \
  template <typename... TArgs>                                          \
  [[nodiscard]] int32_t name(TArgs... callArgs) const {                 \
    if (Entries.name == nullptr) ThrowMissingEntry(#name);              \
    return TranslateCrypCResult(#name, Entries.name(callArgs...));      \
  }
  CRYPC_ENTRY_POINTS(TZM_CRYPC_METHOD)
#undef TZM_CRYPC_METHOD

  // ---- Random state (Part of every call sequence). ----

  // TakeRandomState copies RandomState into `record` under RandomLock.
  void TakeRandomState(TRandomRecord& record);
  // PutRandomState copies `record` back into RandomState under RandomLock.
  void PutRandomState(const TRandomRecord& record);
  // RandomFill fills `out` with random bytes from a private copy of the
  // state, which is written back whatever the result. Returns the library's
  // code.
  [[nodiscard]] int32_t RandomFill(std::span<uint8_t> out);

  // ---- Key files and key material. ----

  // GenerateKeyPair writes a new key pair for `uid` to the two files.
  // Algorithm 0 = GOST R 34.10-94, 1 = GOST R 34.10-2001, other → -5; empty
  // UID → -7; a file that cannot be written → -9; out of memory → -8;
  // library failures pass unchanged.
  [[nodiscard]] int32_t GenerateKeyPair(int32_t algorithm, std::string_view uid,
                                        const std::string& publicKeyPath,
                                        const std::string& secretKeyPath);
  // GenerateExchangeKeyPair makes an LDH_PKA pair into the two 128-byte
  // outputs; a reported length other than 128 → -6.
  [[nodiscard]] int32_t GenerateExchangeKeyPair(std::span<uint8_t, kCrypCExchangeKeyLen> secretOut,
                                                std::span<uint8_t, kCrypCExchangeKeyLen> publicOut);
  // GetSigningKey hands out the plain 32-byte signing secret key and its
  // algorithm, loading the key files when no key is loaded or the loaded one
  // has timed out. The caller wipes `keyOut` after use.
  [[nodiscard]] int32_t GetSigningKey(const TKeySet& keys, int32_t& algorithm,
                                      std::span<uint8_t, kCrypCSigningSecretKeyLen> keyOut);
  // GetExchangeKey hands out the 128-byte exchange secret key under the same
  // rules. The caller wipes `keyOut` after use.
  [[nodiscard]] int32_t GetExchangeKey(const TKeySet& keys,
                                       std::span<uint8_t, kCrypCExchangeKeyLen> keyOut);
  // GetUserUID answers the UID of the loaded key, or the text at the start
  // of the public key file when none is loaded (without loading anything).
  // Empty, longer than 254 or unreadable → -11.
  [[nodiscard]] int32_t GetUserUID(const std::string& publicKeyPath,
                                   const std::string& secretKeyPath, std::string& uidOut);
  // ReplaceKeyFiles installs a remotely generated pair: the old files become
  // "old.sec" and "old.pub" in the secret key file's folder, `newSecret` is
  // written as the secret key file and `newPublicKeyPath` renamed to the
  // public key file. -10/-11 for missing current files, -18 for the secret
  // side, -31 for the public side. On success the cache and key are forgotten.
  [[nodiscard]] int32_t ReplaceKeyFiles(const std::string& publicKeyPath,
                                        const std::string& secretKeyPath,
                                        std::span<const uint8_t> newSecret,
                                        const std::string& newPublicKeyPath);

  // ---- Public-key cache. ----

  // GetPublicKey copies the signing public key (128 or 100 bytes) or, with
  // `wantExchangeKey`, the 128-byte exchange public key of `uid` into `out`
  // and sets `algorithm`. Loads the cache on first use; unknown UID or an
  // entry of the wrong size → -11.
  [[nodiscard]] int32_t GetPublicKey(std::string_view uid, bool wantExchangeKey,
                                     std::span<uint8_t, kCrypCExchangeKeyLen> out,
                                     int32_t& algorithm, const TKeySet& keys);
  // FindCachedPairKey copies the stored pairwise key of `uid`, if any.
  [[nodiscard]] bool FindCachedPairKey(std::string_view uid, std::span<uint8_t, kPairKeyLen> out);
  // StoreCachedPairKey keeps `key` for `uid` unless one is already stored.
  void StoreCachedPairKey(std::string_view uid, std::span<const uint8_t, kPairKeyLen> key);
  // IncludePublicKey stores a public key file image in the Abonents folder
  // (as UID.pub, or pkN.pub when that name is taken) and in the cache.
  // Own UID → -20; write failure → -31.
  [[nodiscard]] int32_t IncludePublicKey(std::span<const uint8_t> keyFile, const TKeySet& keys);
  // RemovePublicKey deletes every file and entry of `uid`. Own UID → -21.
  [[nodiscard]] int32_t RemovePublicKey(std::string_view uid, const TKeySet& keys);
  // UpdatePublicKey refreshes the entry of `uid` from disk.
  [[nodiscard]] int32_t UpdatePublicKey(std::string_view uid, const TKeySet& keys);
  // GetPublicKeyBlob copies the cached public key file of `uid` into `out`
  // (which should hold 515 bytes) and sets `outLen`; a smaller `out` than
  // the file → -4.
  [[nodiscard]] int32_t GetPublicKeyBlob(std::string_view uid, std::span<uint8_t> out,
                                         int32_t& outLen, const TKeySet& keys);
  // ClearKeys empties the cache and forgets the secret key.
  void ClearKeys();

  // ---- Signed data (signing.cpp). ----

  // HashGost hashes `data` with GOST R 34.11-94, piece after piece. Empty
  // data → -4.
  [[nodiscard]] int32_t HashGost(std::span<const uint8_t> data,
                                 std::span<uint8_t, kCrypCHashLen> out);
  // HashOldFormat is the OLD_FORMAT variant: every 65535-byte piece is taken
  // from the start of `data`. Equal to HashGost below 65536 bytes.
  [[nodiscard]] int32_t HashOldFormat(std::span<const uint8_t> data,
                                      std::span<uint8_t, kCrypCHashLen> out);
  // HashBuffer hashes `data` and renders it: form 1 Base64, form 2 uppercase
  // hex, otherwise the raw 32 bytes. `out` null asks for the size; `outLen`
  // holds the room on entry and the result length on return; too small → -3.
  [[nodiscard]] int32_t HashBuffer(std::span<const uint8_t> data, int32_t form, uint8_t* out,
                                   bool useGostHash, int32_t& outLen);
  // SignBuffer writes the signature block (UID, zero, 64 bytes) into
  // `signature` (at least 319 bytes) and its length into `signatureLen`.
  [[nodiscard]] int32_t SignBuffer(std::span<const uint8_t> data, std::span<uint8_t> signature,
                                   int32_t& signatureLen, const TKeySet& keys, bool useGostHash);
  // VerifyBuffer checks a signature block against `data`: 0 valid, 5 not
  // valid, -14 a block of the wrong shape, -11 an unknown signer.
  // `signerUID` receives the UID named by the block once its shape passes.
  [[nodiscard]] int32_t VerifyBuffer(std::span<const uint8_t> data,
                                     std::span<const uint8_t> signature, std::string& signerUID,
                                     const TKeySet& keys);

  // ---- Encrypted data (encryption.cpp). ----

  // GetMaxEncodeAddition is the largest header of a block for `count`
  // recipients: count × 303 + 279.
  static int32_t GetMaxEncodeAddition(int32_t count) { return count * 303 + 279; }
  // GostMac computes the 8-byte GOST 28147-89 MAC of `data` under `key`
  // into `mac` (zero on entry).
  [[nodiscard]] int32_t GostMac(std::span<const uint8_t> data,
                                std::span<const uint8_t, kBlockKeyLen> key,
                                std::span<uint8_t, kMacLen> mac);
  // GostCrypt runs operation 0/1 (encrypt, gamma / gamma with feedback:
  // `mac` and `synchro` are outputs) or 2/3 (decrypt: inputs; MAC mismatch
  // → -15) from `in` to `out` (same length); other operations → -16.
  [[nodiscard]] int32_t GostCrypt(std::span<const uint8_t> in, std::span<uint8_t> out,
                                  int32_t operation, std::span<uint8_t, kMacLen> mac,
                                  std::span<uint8_t, kSynchroLen> synchro,
                                  std::span<const uint8_t, kBlockKeyLen> key);
  // DerivePairKey hashes the LDH_PKA shared value of the two keys into `out`.
  [[nodiscard]] int32_t DerivePairKey(std::span<const uint8_t, kCrypCExchangeKeyLen> ownSecret,
                                      std::span<const uint8_t, kCrypCExchangeKeyLen> peerPublic,
                                      std::span<uint8_t, kPairKeyLen> out);
  // GetPairKey answers the pairwise key of the user and `peerUID`, derived
  // once and then kept in the cache.
  [[nodiscard]] int32_t GetPairKey(std::string_view peerUID, std::span<uint8_t, kPairKeyLen> out,
                                   const TKeySet& keys);
  // EncryptBuffer replaces the `dataLen` plain bytes at the start of
  // `buffer` (whose size is the room, at least dataLen + 30579) by an
  // encrypted block for the ";"-separated `recipientList`; `mode` 0 gamma,
  // 1 gamma with feedback. A failure leaves buffer and dataLen untouched.
  [[nodiscard]] int32_t EncryptBuffer(std::span<uint8_t> buffer, int32_t& dataLen,
                                      const TKeySet& keys, std::string_view recipientList,
                                      int32_t mode);
  // DecryptBuffer replaces the block of `dataLen` bytes at the start of
  // `buffer` by its plain text and sets `dataLen`.
  [[nodiscard]] int32_t DecryptBuffer(std::span<uint8_t> buffer, int32_t& dataLen,
                                      const TKeySet& keys);

  // ---- Fields. ----

  TCrypCEntryPoints Entries;
  void* PasswordRequestFunc = nullptr;  // stored for the host; never called

  // TimeOfDay answers the local time of day as a fraction of a day; tests
  // may replace it to move the clock.
  double (*TimeOfDay)() = &CurrentTimeOfDay;
  static double CurrentTimeOfDay();

  // Observable state for callers and tests (read under KeyLock when it matters).
  int32_t LoadedKeyAlgorithm();
  bool HasLoadedKey();
  bool HasKeyCache();
  size_t CachedEntryCount();
  std::array<uint8_t, kCrypCRandomStateLen> RandomStateSnapshot();

 private:
  struct TCacheItem {
    std::string UID;
    std::unique_ptr<TCryptoC_CashNode> Node;
  };
  using TKeyCache = std::vector<TCacheItem>;

  [[noreturn]] static void ThrowMissingEntry(const char* name);
  void ResolveEntries(const platform::TModule& module);

  // Key material (key_material.cpp); all with KeyLock held.
  int32_t LoadSecretKey(const std::string& publicKeyPath, const std::string& secretKeyPath)
      TZM_REQUIRES(KeyLock);
  int32_t ReadKeyFiles(const std::string& publicKeyPath, const std::string& secretKeyPath)
      TZM_REQUIRES(KeyLock);
  void ForgetSecretKey() TZM_REQUIRES(KeyLock);
  bool KeyStillValid(const TKeySet& keys, double now) const TZM_REQUIRES(KeyLock);
  int32_t EnsureKeyLoaded(const TKeySet& keys, double now) TZM_REQUIRES(KeyLock);
  int32_t OwnUID(const std::string& publicKeyPath, std::string& uidOut) TZM_REQUIRES(KeyLock);
  int32_t GenerateSigningPair(int32_t algorithm, std::string_view uid,
                              const std::string& publicKeyPath, const std::string& secretKeyPath);

  // Cache (key_cache.cpp); all with KeyLock held.
  int32_t LoadKeyCache(const std::string& publicKeyPath, const std::string& abonentsDir)
      TZM_REQUIRES(KeyLock);
  int32_t EnsureKeyCache(const TKeySet& keys) TZM_REQUIRES(KeyLock);
  TCryptoC_CashNode* FindNode(std::string_view uid) TZM_REQUIRES(KeyLock);
  // FindCachedNode loads the cache if needed and finds uid in it; an unknown
  // UID answers kPublicKeyBad.
  int32_t FindCachedNode(std::string_view uid, const TKeySet& keys, const TCryptoC_CashNode*& node)
      TZM_REQUIRES(KeyLock);
  int32_t DeleteCachedKey(std::string_view uid) TZM_REQUIRES(KeyLock);
  void ClearKeyCache() TZM_REQUIRES(KeyLock);

  // KeyLock is re-entrant for its owner; RandomLock may be taken while it is
  // held, never the other way round.
  platform::TCriticalSection KeyLock TZM_ACQUIRED_BEFORE(RandomLock);
  int32_t KeyAlgorithm TZM_GUARDED_BY(KeyLock) = -1;
  std::unique_ptr<TSecureArray<kSecretKeyBufferLen>> SecretKey TZM_GUARDED_BY(KeyLock);
  std::unique_ptr<TSecureArray<kKeyMaskLen>> KeyMask TZM_GUARDED_BY(KeyLock);
  TSecureArray<kCrypCRandomStateLen> RandomState TZM_GUARDED_BY(RandomLock);
  platform::TCriticalSection RandomLock;
  std::string UserUID TZM_GUARDED_BY(KeyLock);
  std::unique_ptr<TKeyCache> KeyCache TZM_GUARDED_BY(KeyLock);
  double LastOperationTime TZM_GUARDED_BY(KeyLock) = 0;
  double KeyLoadTime TZM_GUARDED_BY(KeyLock) = 0;
  int32_t LastOperationTimeout TZM_GUARDED_BY(KeyLock) = 0;
  int32_t KeyRequestTimeout TZM_GUARDED_BY(KeyLock) = 0;
};

// ReadPublicKeyFile reads the public key file at `path` into `node` (at most
// 515 bytes) and answers the UID found at its head. Missing or larger files
// → -11. Only the UID's terminating zero is required; the size rule is
// applied on lookup.
[[nodiscard]] int32_t ReadPublicKeyFile(const std::string& path, TCryptoC_CashNode& node,
                                        std::string& uidOut);

}  // namespace tzm

#endif  // TZM_CRYPTLIB_CRYPTOC_DLL_H
