// Hybrid encryption of a buffer for one or more correspondents: the data is
// encrypted under a fresh random block key, and the block key once per
// recipient under the pairwise key the two parties share (the GOST R 34.11-94
// hash of their LDH_PKA agreement). Every encrypted part carries its own
// synchro and the MAC of its plain text. Keys live in self-wiping holders;
// nothing reaches the caller's buffer before the whole operation succeeded.
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "crypc_context.h"
#include "cryptoc_dll.h"
#include "encrypted_format.h"

namespace tzm {
namespace R = crypt_result;

namespace {

// Cipher operations of GostCrypt.
constexpr int32_t kEncryptGamma = 0;
constexpr int32_t kEncryptGammaFeedback = 1;
constexpr int32_t kDecryptGamma = 2;
constexpr int32_t kDecryptGammaFeedback = 3;

// RunGamma runs one gamma or gamma-with-feedback pass from |in| to |out|
// under |key| starting at |synchro|. The context is cleared on every path.
template <class TContext, class TInit, class TCrypt>
int32_t RunGamma(TCryptoC_DLL& dll, TInit init, TCrypt crypt, std::span<const uint8_t> in,
                 std::span<uint8_t> out, std::span<const uint8_t, kSynchroLen> synchro,
                 std::span<const uint8_t, kBlockKeyLen> key, TRandomRecord& random) {
  TGostParamBlock params;
  TContext ctx(dll);
  // The library may advance the synchro it was given; it gets a copy.
  std::array<uint8_t, kSynchroLen> start{};
  std::memcpy(start.data(), synchro.data(), start.size());
  int32_t result = (dll.*init)(ctx.Get(), params.Get(), static_cast<void*>(random.data()), key.data(), start.data());
  if (result != R::kOk) return result;
  result = (dll.*crypt)(ctx.Get(), in.data(), out.data(), static_cast<int>(in.size()));
  if (result != R::kOk) return result;
  return ctx.Clear();
}

int32_t RunCipher(TCryptoC_DLL& dll, bool feedback, bool decrypt, std::span<const uint8_t> in,
                  std::span<uint8_t> out, std::span<const uint8_t, kSynchroLen> synchro,
                  std::span<const uint8_t, kBlockKeyLen> key, TRandomRecord& random) {
  if (!feedback) {
    return RunGamma<TGammaContext>(
        dll, &TCryptoC_DLL::CrypC_G28147_1989_gamma_init<void*, void*, void*, const uint8_t*, uint8_t*>,
        &TCryptoC_DLL::CrypC_G28147_1989_gamma_crypt<void*, const uint8_t*, uint8_t*, int>, in, out,
        synchro, key, random);
  }
  if (decrypt) {
    return RunGamma<TGammaOfbContext>(
        dll, &TCryptoC_DLL::CrypC_G28147_1989_gamma_ofb_init<void*, void*, void*, const uint8_t*, uint8_t*>,
        &TCryptoC_DLL::CrypC_G28147_1989_gamma_ofb_decrypt<void*, const uint8_t*, uint8_t*, int>, in, out,
        synchro, key, random);
  }
  return RunGamma<TGammaOfbContext>(
      dll, &TCryptoC_DLL::CrypC_G28147_1989_gamma_ofb_init<void*, void*, void*, const uint8_t*, uint8_t*>,
      &TCryptoC_DLL::CrypC_G28147_1989_gamma_ofb_encrypt<void*, const uint8_t*, uint8_t*, int>, in, out,
      synchro, key, random);
}

// TWorkArea is a per-call buffer for data of any size. It is not zeroed on
// allocation (data buffers may be large and are overwritten whole); a work
// area that holds plain text is wiped before it is released.
class TWorkArea {
 public:
  TWorkArea(size_t len, bool secret) : Len(len), Secret(secret), Area(std::make_unique_for_overwrite<uint8_t[]>(len)) {}
  ~TWorkArea() {
    if (Secret) SecureWipe(Area.get(), Len);
  }
  TWorkArea(const TWorkArea&) = delete;
  TWorkArea& operator=(const TWorkArea&) = delete;

  std::span<uint8_t> Bytes() { return std::span<uint8_t>(Area.get(), Len); }

 private:
  size_t Len;
  bool Secret;
  std::unique_ptr<uint8_t[]> Area;
};

}  // namespace

size_t EncryptedBlockLen(std::string_view senderUID, const std::vector<std::string>& recipients, size_t dataLen) {
  size_t len = kEncryptedFixedLen + senderUID.size() + 1 + dataLen;
  for (const std::string& uid : recipients) len += uid.size() + kRecipientEntryFixedLen;
  return len;
}

int32_t TCryptoC_DLL::GostMac(std::span<const uint8_t> data, std::span<const uint8_t, kBlockKeyLen> key,
                              std::span<uint8_t, kMacLen> mac) {
  if (data.size() > static_cast<size_t>(INT_MAX)) return R::kBadArgument;
  TGostParamBlock params;
  TRandomRecord random;
  TakeRandomState(random);
  TMacContext ctx(*this);
  int32_t result =
      CrypC_G28147_1989_mac_init(ctx.Get(), params.Get(), static_cast<void*>(random.data()), key.data(), mac.data());
  if (result != R::kOk) return result;
  result = CrypC_G28147_1989_mac_update(ctx.Get(), data.data(), static_cast<int>(data.size()));
  if (result != R::kOk) return result;
  result = CrypC_G28147_1989_mac_final(ctx.Get(), mac.data());
  if (result != R::kOk) return result;
  result = ctx.Clear();
  PutRandomState(random);
  return result;
}

int32_t TCryptoC_DLL::GostCrypt(std::span<const uint8_t> in, std::span<uint8_t> out, int32_t operation,
                                std::span<uint8_t, kMacLen> mac, std::span<uint8_t, kSynchroLen> synchro,
                                std::span<const uint8_t, kBlockKeyLen> key) {
  if (operation < kEncryptGamma || operation > kDecryptGammaFeedback) return R::kBadCipherOperation;
  if (in.size() != out.size() || in.size() > static_cast<size_t>(INT_MAX)) return R::kBadArgument;
  const bool feedback = operation == kEncryptGammaFeedback || operation == kDecryptGammaFeedback;
  int32_t result = R::kOk;

  if (operation == kEncryptGamma || operation == kEncryptGammaFeedback) {
    std::fill(mac.begin(), mac.end(), uint8_t{0});
    result = RandomFill(synchro);
    if (result != R::kOk) return result;
    result = GostMac(in, key, mac);
    if (result != R::kOk) return result;
    TRandomRecord random;
    TakeRandomState(random);
    result = RunCipher(*this, feedback, false, in, out, synchro, key, random);
    if (result != R::kOk) return result;
    PutRandomState(random);
    return R::kOk;
  }

  TRandomRecord random;
  TakeRandomState(random);
  result = RunCipher(*this, feedback, true, in, out, synchro, key, random);
  if (result != R::kOk) return result;
  TSecureArray<kMacLen> check;
  result = GostMac(out, key, check.Span());
  if (result != R::kOk) return result;
  if (!ConstantTimeEqual(check.Span(), mac)) return R::kMacMismatch;
  PutRandomState(random);
  return R::kOk;
}

int32_t TCryptoC_DLL::DerivePairKey(std::span<const uint8_t, kCrypCExchangeKeyLen> ownSecret,
                                    std::span<const uint8_t, kCrypCExchangeKeyLen> peerPublic,
                                    std::span<uint8_t, kPairKeyLen> out) {
  TRandomRecord random;
  TakeRandomState(random);
  TSecureArray<kCrypCExchangeKeyLen> shared;
  {
    TExchangeContext ctx(*this);
    const uint8_t* none = nullptr;
    int32_t result = CrypC_LDH_PKA_set_parms(ctx.Get(), static_cast<void*>(random.data()), none, 128, none);
    if (result != R::kOk) return result;
    result = CrypC_LDH_PKA_set_secret_key(ctx.Get(), ownSecret.data());
    if (result != R::kOk) return result;
    result = CrypC_LDH_PKA_gen_mutual_key(ctx.Get(), peerPublic.data(), shared.data());
    if (result != R::kOk) return result;
    result = ctx.Clear();
    if (result != R::kOk) return result;
  }
  // The state goes back before the hash takes its own copy, so neither
  // call's update of it is lost.
  PutRandomState(random);
  return HashGost(shared.Span(), out);
}

int32_t TCryptoC_DLL::GetPairKey(std::string_view peerUID, std::span<uint8_t, kPairKeyLen> out,
                                 const TKeySet& keys) {
  if (FindCachedPairKey(peerUID, out)) return R::kOk;
  try {
    TSecureArray<kCrypCExchangeKeyLen> peerPublic;
    TSecureArray<kCrypCExchangeKeyLen> ownSecret;
    int32_t algorithm = -1;
    int32_t result = GetPublicKey(peerUID, true, peerPublic.Span(), algorithm, keys);
    if (result != R::kOk) return result;
    result = GetExchangeKey(keys, ownSecret.Span());
    if (result != R::kOk) return result;
    result = DerivePairKey(ownSecret.Span(), peerPublic.Span(), out);
    if (result != R::kOk) return result;
    StoreCachedPairKey(peerUID, out);
    return R::kOk;
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

int32_t TCryptoC_DLL::EncryptBuffer(std::span<uint8_t> buffer, int32_t& dataLen, const TKeySet& keys,
                                    std::string_view recipientList, int32_t mode) {
  try {
    std::string sender;
    int32_t result = GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, sender);
    if (result != R::kOk) return result;

    std::vector<std::string> recipients;
    if (SplitBySemicolon(recipientList, recipients) == 0) return R::kEmptyUID;
    if (buffer.data() == nullptr || dataLen < 0 || static_cast<size_t>(dataLen) > buffer.size()) {
      return R::kBadArgument;
    }
    const std::span<const uint8_t> plain = buffer.first(static_cast<size_t>(dataLen));

    // The work area is exactly the block, however many recipients there
    // are; the caller's buffer must hold it (GetMaxAdditionEx sizes it).
    const size_t blockLen = EncryptedBlockLen(sender, recipients, plain.size());
    if (blockLen > static_cast<size_t>(INT32_MAX) || blockLen > buffer.size()) return R::kBadArgument;
    // Every byte of the work area is written below, so it is not zeroed first.
    TWorkArea blockArea(blockLen, false);
    const std::span<uint8_t> block = blockArea.Bytes();

    TSecureArray<kBlockKeyLen> blockKey;
    result = RandomFill(blockKey.Span());
    if (result != R::kOk) return result;

    TByteWriter writer(block);
    if (!writer.WriteU32(static_cast<uint32_t>(recipients.size())) || !writer.WriteU32(static_cast<uint32_t>(mode)) ||
        !writer.WriteZString(sender)) {
      throw EAssertionFailed("Assertion failure");
    }

    TSecureArray<kPairKeyLen> pairKey;
    TSecureArray<kBlockKeyLen> encryptedKey;
    std::array<uint8_t, kMacLen> mac{};
    std::array<uint8_t, kSynchroLen> synchro{};
    for (const std::string& uid : recipients) {
      // No key can exist for a UID longer than any key file holds.
      if (uid.size() > kMaxUIDLen) return R::kPublicKeyBad;
      result = GetPairKey(uid, pairKey.Span(), keys);
      if (result != R::kOk) return result;
      result = GostCrypt(blockKey.Span(), encryptedKey.Span(), mode, mac, synchro, pairKey.Span());
      pairKey.Wipe();
      if (result != R::kOk) return result;
      if (!writer.WriteZString(uid) || !writer.WriteBytes(synchro) || !writer.WriteBytes(mac) ||
          !writer.WriteBytes(encryptedKey.Span())) {
        throw EAssertionFailed("Assertion failure");
      }
    }

    // The data part: synchro and MAC, then the cipher text written straight
    // into the work area.
    const size_t dataPartAt = writer.Position();
    std::span<uint8_t> cipher = block.subspan(dataPartAt + kSynchroLen + kMacLen);
    result = GostCrypt(plain, cipher, mode, mac, synchro, blockKey.Span());
    if (result != R::kOk) return result;
    if (!writer.WriteBytes(synchro) || !writer.WriteBytes(mac) || writer.Remaining() != cipher.size()) {
      throw EAssertionFailed("Assertion failure");
    }

    std::memcpy(buffer.data(), block.data(), block.size());
    dataLen = static_cast<int32_t>(block.size());
    return R::kOk;
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

int32_t TCryptoC_DLL::DecryptBuffer(std::span<uint8_t> buffer, int32_t& dataLen, const TKeySet& keys) {
  try {
    if (buffer.data() == nullptr) return R::kBadArgument;
    std::string own;
    int32_t result = GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, own);
    if (result != R::kOk) return result;
    if (dataLen < 0 || static_cast<size_t>(dataLen) > buffer.size()) return R::kBadArgument;

    // Layout in encrypted_format.h. Every read is bounded by dataLen: a
    // block that ends early is refused with -4 before anything past it is
    // touched.
    TByteReader reader(buffer.first(static_cast<size_t>(dataLen)));
    uint32_t count = 0;
    uint32_t mode = 0;
    std::string sender;
    if (!reader.ReadU32(count) || !reader.ReadU32(mode) || !reader.ReadZString(kMaxUIDLen, sender)) {
      return R::kBadArgument;
    }

    // Recipient entries: UID, zero, synchro (8), MAC (8), block key (32).
    // Entries of others are stepped over; their UIDs are only compared.
    auto readEntry = [&reader](std::string& uid, TEncryptedPart& part) -> bool {
      return reader.ReadZString(reader.Remaining(), uid) && reader.ReadBytes(kSynchroLen, part.Synchro) &&
             reader.ReadBytes(kMacLen, part.Mac) && reader.ReadBytes(kBlockKeyLen, part.Body);
    };
    TEncryptedPart keyPart;
    std::string uid;
    bool found = false;
    uint32_t index = 0;
    while (index < count && !found) {
      if (!readEntry(uid, keyPart)) return R::kBadArgument;
      found = uid == own;
      ++index;
    }
    if (!found) return R::kNotARecipient;

    TSecureArray<kPairKeyLen> pairKey;
    result = GetPairKey(sender, pairKey.Span(), keys);
    if (result != R::kOk) return result;
    // Only modes 0 and 1 exist; any other word (also one that would wrap
    // round to an encrypting operation) is refused.
    if (mode > 1) return R::kBadCipherOperation;
    const auto operation = static_cast<int32_t>(mode) + kDecryptGamma;

    TSecureArray<kBlockKeyLen> blockKey;
    std::array<uint8_t, kMacLen> mac{};
    std::array<uint8_t, kSynchroLen> synchro{};
    std::memcpy(mac.data(), keyPart.Mac.data(), mac.size());
    std::memcpy(synchro.data(), keyPart.Synchro.data(), synchro.size());
    result = GostCrypt(keyPart.Body, blockKey.Span(), operation, mac, synchro, pairKey.Span());
    pairKey.Wipe();
    if (result != R::kOk) return result;

    TEncryptedPart skipped;
    for (; index < count; ++index) {
      if (!readEntry(uid, skipped)) return R::kBadArgument;
    }
    TEncryptedPart dataPart;
    if (!reader.ReadBytes(kSynchroLen, dataPart.Synchro) || !reader.ReadBytes(kMacLen, dataPart.Mac)) {
      return R::kBadArgument;
    }
    dataPart.Body = reader.Rest();

    // The plain text is checked before it reaches the caller's buffer.
    TWorkArea plainArea(dataPart.Body.size(), true);
    const std::span<uint8_t> plain = plainArea.Bytes();
    std::memcpy(mac.data(), dataPart.Mac.data(), mac.size());
    std::memcpy(synchro.data(), dataPart.Synchro.data(), synchro.size());
    result = GostCrypt(dataPart.Body, plain, operation, mac, synchro, blockKey.Span());
    if (result != R::kOk) return result;
    if (!plain.empty()) std::memcpy(buffer.data(), plain.data(), plain.size());
    dataLen = static_cast<int32_t>(plain.size());
    return R::kOk;
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

}  // namespace tzm
