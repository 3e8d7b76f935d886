// Detached signatures: hashing a buffer in place, signing the hash with the
// user's key and checking a signature block against a correspondent's public
// key. The data is never copied; the signing key leaves the binding only as a
// wiped-after-use copy, and every library context is cleared on every path.
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <new>

#include "crypc_context.h"
#include "cryptoc_dll.h"
#include "signed_format.h"

namespace tzm {
namespace R = crypt_result;

namespace {

// The library's update call takes at most this many bytes at a time.
constexpr size_t kHashPieceLen = 65535;

// HashInPieces feeds |data| to the GOST R 34.11-94 hash in pieces of at
// most 65535 bytes. With |everyPieceFromStart| each piece is taken from the
// start of the data instead of following on from the previous one: the
// OLD_FORMAT digest that stored signatures were made with, kept as it is.
int32_t HashInPieces(TCryptoC_DLL& dll, std::span<const uint8_t> data, bool everyPieceFromStart,
                     std::span<uint8_t, kCrypCHashLen> out) {
  if (data.data() == nullptr || data.empty() || data.size() > static_cast<size_t>(INT32_MAX)) {
    return R::kBadArgument;
  }
  TGostParamBlock params;
  TRandomRecord random;
  dll.TakeRandomState(random);
  THashContext ctx(dll);
  const std::array<uint8_t, kCrypCHashLen> startVector{};
  int32_t result =
      dll.CrypC_R34_11_1994_init(ctx.Get(), params.Get(), static_cast<void*>(random.data()), startVector.data());
  if (result != R::kOk) return result;
  for (size_t offset = 0; offset < data.size();) {
    const size_t pieceLen = std::min(data.size() - offset, kHashPieceLen);
    const uint8_t* piece = everyPieceFromStart ? data.data() : data.data() + offset;
    result = dll.CrypC_R34_11_1994_update(ctx.Get(), piece, static_cast<int>(pieceLen));
    if (result != R::kOk) return result;
    offset += pieceLen;
  }
  std::array<uint8_t, kCrypCHashLen> digest{};
  result = dll.CrypC_R34_11_1994_final(ctx.Get(), digest.data());
  if (result != R::kOk) return result;
  (void)ctx.Clear();  // the digest is complete; a clear failure changes nothing
  std::memcpy(out.data(), digest.data(), digest.size());
  dll.PutRandomState(random);
  return R::kOk;
}

// TSignatureEntries are the entry points that differ between the two
// signature algorithms.
struct TSignatureEntries {
  int32_t (TCryptoC_DLL::*SetSecretKey)(void*, const uint8_t*) const;
  int32_t (TCryptoC_DLL::*SetPublicKey)(void*, const uint8_t*) const;
  int32_t (TCryptoC_DLL::*Sign)(void*, const uint8_t*, uint8_t*) const;
  int32_t (TCryptoC_DLL::*Verify)(void*, const uint8_t*, const uint8_t*) const;
};

constexpr TSignatureEntries kEntries1994{
    &TCryptoC_DLL::CrypC_LR34_10_1994_set_secret_key<void*, const uint8_t*>,
    &TCryptoC_DLL::CrypC_LR34_10_1994_set_public_key<void*, const uint8_t*>,
    &TCryptoC_DLL::CrypC_LR34_10_1994_sign<void*, const uint8_t*, uint8_t*>,
    &TCryptoC_DLL::CrypC_LR34_10_1994_verify<void*, const uint8_t*, const uint8_t*>,
};

constexpr TSignatureEntries kEntries2001{
    &TCryptoC_DLL::CrypC_LR34_10_2001_set_secret_key<void*, const uint8_t*>,
    &TCryptoC_DLL::CrypC_LR34_10_2001_set_public_key<void*, const uint8_t*>,
    &TCryptoC_DLL::CrypC_LR34_10_2001_sign<void*, const uint8_t*, uint8_t*>,
    &TCryptoC_DLL::CrypC_LR34_10_2001_verify<void*, const uint8_t*, const uint8_t*>,
};

// SetParms sets the built-in parameters of the algorithm's context.
int32_t SetParms(const TCryptoC_DLL& dll, int32_t algorithm, void* ctx, TRandomRecord& random) {
  const uint8_t* none = nullptr;
  if (algorithm == kAlgorithm1994) {
    return dll.CrypC_LR34_10_1994_set_parms(ctx, static_cast<void*>(random.data()), none, 128, none, 32, none);
  }
  return dll.CrypC_LR34_10_2001_set_parms(ctx, static_cast<void*>(random.data()), none, 32, none, 32, none, none,
                                          none);
}

// SignWith signs |hash| into |value| in a context of the algorithm. The key
// copy is wiped right after the library took it, whatever the outcome.
// |parmsAndKeyOk| tells whether the context was set up (the random state is
// written back only then).
template <class TContext>
int32_t SignWith(const TCryptoC_DLL& dll, int32_t algorithm, const TSignatureEntries& entries,
                 TRandomRecord& random, TSecureArray<kCrypCSigningSecretKeyLen>& key,
                 std::span<const uint8_t, kCrypCHashLen> hash, uint8_t* value, bool& parmsAndKeyOk) {
  TContext ctx(dll);
  parmsAndKeyOk = false;
  int32_t result = SetParms(dll, algorithm, ctx.Get(), random);
  if (result != R::kOk) {
    key.Wipe();
    return result;
  }
  try {
    result = (dll.*entries.SetSecretKey)(ctx.Get(), key.data());
  } catch (...) {
    key.Wipe();
    throw;
  }
  key.Wipe();
  if (result != R::kOk) return result;
  parmsAndKeyOk = true;
  return (dll.*entries.Sign)(ctx.Get(), hash.data(), value);
}

}  // namespace

bool ParseSignatureBlock(std::span<const uint8_t> block, TSignatureBlockView& view) {
  if (block.data() == nullptr) return false;
  TByteReader reader(block);
  std::string uid;
  if (!reader.ReadZString(kMaxUIDLen, uid) || uid.empty()) return false;
  // The verify entry point always reads 64 bytes: a shorter value part
  // would make it read past the caller's buffer.
  if (reader.Remaining() != kCrypCSignatureLen) return false;
  std::span<const uint8_t> value;
  if (!reader.ReadBytes(kCrypCSignatureLen, value)) return false;
  view.SignerUID = std::move(uid);
  view.Value = value;
  return true;
}

int32_t TCryptoC_DLL::HashGost(std::span<const uint8_t> data, std::span<uint8_t, kCrypCHashLen> out) {
  return HashInPieces(*this, data, false, out);
}

int32_t TCryptoC_DLL::HashOldFormat(std::span<const uint8_t> data, std::span<uint8_t, kCrypCHashLen> out) {
  return HashInPieces(*this, data, true, out);
}

int32_t TCryptoC_DLL::HashBuffer(std::span<const uint8_t> data, int32_t form, uint8_t* out, bool useGostHash,
                                 int32_t& outLen) {
  std::array<uint8_t, kCrypCHashLen> digest{};
  const int32_t result = useGostHash ? HashGost(data, digest) : HashOldFormat(data, digest);
  if (result != R::kOk) return result;
  std::string text;
  std::span<const uint8_t> rendered = digest;
  if (form == 1) {
    text = Base64Encode(digest);
    if (text.empty()) return R::kOutOfMemory;
  } else if (form == 2) {
    text = BufferToHex(digest, 255, 255);  // 64 digits, no separators
  }
  if (form == 1 || form == 2) {
    rendered = std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  }
  const auto renderedLen = static_cast<int32_t>(rendered.size());
  if (out == nullptr) {
    outLen = renderedLen;
    return R::kOk;
  }
  if (renderedLen > outLen) {
    outLen = renderedLen;
    return R::kCriticalFailure;
  }
  std::memcpy(out, rendered.data(), rendered.size());  // no terminating zero
  outLen = renderedLen;
  return R::kOk;
}

int32_t TCryptoC_DLL::SignBuffer(std::span<const uint8_t> data, std::span<uint8_t> signature,
                                 int32_t& signatureLen, const TKeySet& keys, bool useGostHash) {
  try {
    std::string uid;
    int32_t result = GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid);
    if (result != R::kOk) return result;
    if (data.data() == nullptr || signature.data() == nullptr) return R::kBadArgument;
    // Signature block: UID, its zero, the 64-byte value (see signed_format.h).
    const size_t blockLen = uid.size() + 1 + kCrypCSignatureLen;
    if (signature.size() < blockLen) return R::kBadArgument;

    std::array<uint8_t, kCrypCHashLen> hash{};
    result = useGostHash ? HashGost(data, hash) : HashOldFormat(data, hash);
    if (result != R::kOk) return result;

    TByteWriter writer(signature);
    if (!writer.WriteZString(uid)) return R::kBadArgument;

    int32_t algorithm = -1;
    TSecureArray<kCrypCSigningSecretKeyLen> key;
    result = GetSigningKey(keys, algorithm, key.Span());
    if (result != R::kOk) return result;
    if (algorithm != kAlgorithm1994 && algorithm != kAlgorithm2001) return R::kUnsupportedAlgorithm;

    TRandomRecord random;
    TakeRandomState(random);
    uint8_t* value = signature.data() + writer.Position();
    bool contextReady = false;
    if (algorithm == kAlgorithm1994) {
      result = SignWith<TSign1994Context>(*this, algorithm, kEntries1994, random, key, hash, value, contextReady);
    } else {
      result = SignWith<TSign2001Context>(*this, algorithm, kEntries2001, random, key, hash, value, contextReady);
    }
    if (!contextReady) return result;
    PutRandomState(random);
    signatureLen = static_cast<int32_t>(blockLen);
    return result;
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

int32_t TCryptoC_DLL::VerifyBuffer(std::span<const uint8_t> data, std::span<const uint8_t> signature,
                                   std::string& signerUID, const TKeySet& keys) {
  try {
    if (data.data() == nullptr) return R::kBadArgument;
    TSignatureBlockView block;
    if (!ParseSignatureBlock(signature, block)) return R::kBadSignatureFormat;
    signerUID = block.SignerUID;

    std::array<uint8_t, kCrypCHashLen> hash{};
    int32_t result = HashGost(data, hash);
    if (result != R::kOk) return result;

    int32_t algorithm = -1;
    std::array<uint8_t, kCrypCExchangeKeyLen> publicKey{};
    result = GetPublicKey(block.SignerUID, false, publicKey, algorithm, keys);
    if (result != R::kOk) return result;
    // A record with another algorithm word has no signing key to check with.
    if (algorithm != kAlgorithm1994 && algorithm != kAlgorithm2001) return R::kUnsupportedAlgorithm;

    TRandomRecord random;  // verification does not write the state back
    TakeRandomState(random);
    auto verify = [&](auto& ctx, const TSignatureEntries& entries) -> int32_t {
      int32_t code = SetParms(*this, algorithm, ctx.Get(), random);
      if (code != R::kOk) return code;
      code = (this->*entries.SetPublicKey)(ctx.Get(), publicKey.data());
      if (code != R::kOk) return code;
      code = (this->*entries.Verify)(ctx.Get(), hash.data(), block.Value.data());
      // Signatures made with the OLD_FORMAT digest differ from the GOST one
      // only from 65536 bytes on; that digest is computed only when needed.
      if (code != R::kVerifyNegative || data.size() <= kHashPieceLen) return code;
      std::array<uint8_t, kCrypCHashLen> oldFormatHash{};
      code = HashOldFormat(data, oldFormatHash);
      if (code != R::kOk) return code;
      code = (this->*entries.Verify)(ctx.Get(), oldFormatHash.data(), block.Value.data());
      return code == R::kOk ? R::kOk : R::kVerifyNegative;
    };
    if (algorithm == kAlgorithm1994) {
      TSign1994Context ctx(*this);
      return verify(ctx, kEntries1994);
    }
    TSign2001Context ctx(*this);
    return verify(ctx, kEntries2001);
  } catch (const std::bad_alloc&) {
    return R::kOutOfMemory;
  }
}

}  // namespace tzm
