// Exported entry points of the public-key half: GOST R 34.10-94, GOST R
// 34.10-2001 and the LDH_PKA key agreement, on the built-in parameter sets.
//
// Every family keeps its state in the caller's zero-filled context, read and
// written with memcpy (callers align contexts to 4 bytes only). Layout, all
// families (offsets in bytes):
//    0..3    magic: zero until set_parms ran (a zeroed context is refused)
//    4..7    flags: bit 0 secret key present, bit 1 public key present
//    8..15   the caller's random-state pointer given to set_parms
//   16..47   secret key x or d, 32 bytes little-endian
//   48..175  public key: 34.10-94 and LDH_PKA y as 128 bytes little-endian;
//            34.10-2001 X then Y, 32 bytes little-endian each (bytes 48..111)
// The rest of the area stays zero. clear wipes the whole area.
//
// Encodings at the boundary: secret keys 32 bytes little-endian (LDH_PKA 128,
// zero-padded); 34.10-94 and LDH_PKA public and shared values 128 bytes
// little-endian; the 34.10-2001 public key blob is 100 bytes, X little-endian
// (0..31), Y little-endian (32..63), zeros (64..99); signatures are 64 bytes,
// s big-endian then r big-endian; the hash is 32 bytes read little-endian.
#include <string.h>

#include "crypc_exports.h"
#include "dh.h"
#include "gost3410_2001.h"
#include "gost3410_94.h"
#include "gost3410_common.h"
#include "random_state.h"
#include "wipe.h"

namespace crypc {
namespace {

constexpr uint32_t kMagic94 = 0x34394B50;    // "PK94"
constexpr uint32_t kMagic2001 = 0x31304B50;  // "PK01"
constexpr uint32_t kMagicDh = 0x48444B50;    // "PKDH"
constexpr uint32_t kHasSecret = 1;
constexpr uint32_t kHasPublic = 2;

// TPkState is the context contents while an entry point works on them; it wipes
// itself, since it holds the secret key.
struct TPkState {
  uint32_t Magic;
  uint32_t Flags;
  uint8_t RandomPtr[8];
  uint8_t Secret[32];
  uint8_t Public[128];

  TPkState() { memset(static_cast<void*>(this), 0, sizeof *this); }
  ~TPkState() { Wipe(this, sizeof *this); }
  TPkState(const TPkState&) = delete;
  TPkState& operator=(const TPkState&) = delete;

  void* Random() const {
    void* p = nullptr;
    memcpy(&p, RandomPtr, sizeof p);
    return p;
  }
  void SetRandom(void* p) { memcpy(RandomPtr, &p, sizeof p); }
};

static_assert(sizeof(void*) <= 8);
static_assert(sizeof(TPkState) <= kCrypC2001ContextLen, "state must fit the smallest context");
static_assert(sizeof(TPkState) <= kCrypC1994ContextLen && sizeof(TPkState) <= kCrypCDhContextLen);

// Load copies the context into st; answers 15 for a null context, 1 for one
// that set_parms of this family never initialised.
int Load(void* ctx, uint32_t magic, TPkState& st) {
  if (ctx == nullptr) return kNullPointer;
  memcpy(static_cast<void*>(&st), ctx, sizeof st);
  return st.Magic == magic ? kOk : kBadContext;
}

void Store(void* ctx, const TPkState& st) { memcpy(ctx, &st, sizeof st); }

int SetParms(void* ctx, size_t ctxLen, uint32_t magic, void* random, bool ownParams) {
  if (ctx == nullptr || random == nullptr) return kNullPointer;
  if (ownParams) return kBadArgument;  // only the built-in parameters are supported
  Wipe(ctx, ctxLen);
  TPkState st;
  st.Magic = magic;
  st.SetRandom(random);
  Store(ctx, st);
  return kOk;
}

int Clear(void* ctx, size_t ctxLen) {
  if (ctx == nullptr) return kNullPointer;
  Wipe(ctx, ctxLen);
  return kOk;
}

int ClearPart(void* ctx, uint32_t magic, uint32_t flag) {
  TPkState st;
  if (int rc = Load(ctx, magic, st)) return rc;
  if (flag == kHasSecret) Wipe(st.Secret, sizeof st.Secret);
  else Wipe(st.Public, sizeof st.Public);
  st.Flags &= ~flag;
  Store(ctx, st);
  return kOk;
}

// GetBytes: the get_*_key protocol. A null out only reports the length.
int GetBytes(const uint8_t* value, size_t len, uint8_t* out, int* outLen) {
  if (outLen == nullptr) return kNullPointer;
  if (out != nullptr) memcpy(out, value, len);
  *outLen = int(len);
  return kOk;
}

int GenSecret(void* ctx, uint32_t magic, const TNat256& q) {
  TPkState st;
  if (int rc = Load(ctx, magic, st)) return rc;
  TNat256 x;
  if (int rc = DrawScalar(st.Random(), q, x)) return rc;
  x.ToLe(st.Secret);
  Wipe(st.Public, sizeof st.Public);
  st.Flags = kHasSecret;
  Store(ctx, st);
  return kOk;
}

// DecodeSignature reads s BE || r BE and range-checks both against q.
int DecodeSignature(const uint8_t* sig, const TNat256& q, TNat256& r, TNat256& s) {
  s = TNat256::FromBe(sig);
  r = TNat256::FromBe(sig + 32);
  if (IsZero(r)) return kSignatureRZero;
  if (IsZero(s)) return kSignatureSZero;
  if (!LessMask(r, q)) return kSignatureRBad;
  if (!LessMask(s, q)) return kSignatureSBad;
  return kOk;
}

void EncodeSignature(const TNat256& r, const TNat256& s, uint8_t* sig) {
  s.ToBe(sig);
  r.ToBe(sig + 32);
}

bool AllZero(const uint8_t* p, size_t len) {
  uint8_t acc = 0;
  for (size_t i = 0; i < len; ++i) acc |= p[i];
  return acc == 0;
}

// Decode2001PublicBlob reads the 100-byte blob and checks it names a curve point.
bool Decode2001PublicBlob(const TCurve& c, const uint8_t* blob, TNat256& x, TNat256& y) {
  if (!AllZero(blob + 64, kCrypC2001PublicKeyLen - 64)) return false;
  x = TNat256::FromLe(blob);
  y = TNat256::FromLe(blob + 32);
  return c.IsOnCurve(x, y);
}

}  // namespace

int DrawScalar(void* random, const TNat256& q, TNat256& out) {
  if (random == nullptr) return kNullPointer;
  uint8_t buf[32];
  // Rejection sampling gives a uniform value in 1..q-1; every built-in q has
  // 256 bits, so a draw is kept with probability above one half.
  for (int attempt = 0; attempt < 256; ++attempt) {
    if (int rc = RandomDraw(random, buf, sizeof buf)) {
      Wipe(buf, sizeof buf);
      return rc;
    }
    out = TNat256::FromLe(buf);
    if (!IsZero(out) && LessMask(out, q)) {
      Wipe(buf, sizeof buf);
      return kOk;
    }
  }
  Wipe(buf, sizeof buf);
  out = TNat256();
  return kRandomEntropyFailed;
}

}  // namespace crypc

using namespace crypc;

extern "C" {

// ---- GOST R 34.10-94 ------------------------------------------------------

int CrypC_LR34_10_1994_set_parms(void* ctx, void* random, const uint8_t* p, int pLen, const uint8_t* q, int qLen,
                                 const uint8_t* a) {
  const bool own = p != nullptr || q != nullptr || a != nullptr || pLen != 128 || qLen != 32;
  return SetParms(ctx, kCrypC1994ContextLen, kMagic94, random, own);
}

int CrypC_LR34_10_1994_get_parms(void* ctx, uint8_t* p, int* pLen, uint8_t* q, int* qLen, uint8_t* a) {
  TPkState st;
  if (int rc = Load(ctx, kMagic94, st)) return rc;
  if (pLen == nullptr || qLen == nullptr) return kNullPointer;
  const TGost94Group& g = TGost94Group::CryptoProA();
  if (p != nullptr) g.P.M.ToLe(p);
  if (q != nullptr) g.Q.M.ToLe(q);
  if (a != nullptr) g.A.ToLe(a);
  *pLen = 128;
  *qLen = 32;
  return kOk;
}

int CrypC_LR34_10_1994_gen_secret_key(void* ctx) {
  return GenSecret(ctx, kMagic94, TGost94Group::CryptoProA().Q.M);
}

int CrypC_LR34_10_1994_gen_public_key(void* ctx) {
  TPkState st;
  if (int rc = Load(ctx, kMagic94, st)) return rc;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  const TGost94Group& g = TGost94Group::CryptoProA();
  TNat256 x = TNat256::FromLe(st.Secret);
  g.PowA(x).ToLe(st.Public);
  st.Flags |= kHasPublic;
  Store(ctx, st);
  return kOk;
}

int CrypC_LR34_10_1994_get_secret_key(void* ctx, uint8_t* out, int* outLen) {
  TPkState st;
  if (int rc = Load(ctx, kMagic94, st)) return rc;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  return GetBytes(st.Secret, kCrypCSigningSecretKeyLen, out, outLen);
}

int CrypC_LR34_10_1994_get_public_key(void* ctx, uint8_t* out, int* outLen) {
  TPkState st;
  if (int rc = Load(ctx, kMagic94, st)) return rc;
  if (!(st.Flags & kHasPublic)) return kUnusableKey;
  return GetBytes(st.Public, kCrypC1994PublicKeyLen, out, outLen);
}

int CrypC_LR34_10_1994_set_secret_key(void* ctx, const uint8_t* key) {
  TPkState st;
  if (int rc = Load(ctx, kMagic94, st)) return rc;
  if (key == nullptr) return kNullPointer;
  TNat256 x = TNat256::FromLe(key);
  if (!TGost94Group::CryptoProA().IsScalar(x)) return kUnusableKey;
  memcpy(st.Secret, key, 32);
  st.Flags |= kHasSecret;
  Store(ctx, st);
  return kOk;
}

int CrypC_LR34_10_1994_set_public_key(void* ctx, const uint8_t* key) {
  TPkState st;
  if (int rc = Load(ctx, kMagic94, st)) return rc;
  if (key == nullptr) return kNullPointer;
  if (!TGost94Group::CryptoProA().IsSubgroupElement(TNat1024::FromLe(key))) return kUnusableKey;
  memcpy(st.Public, key, kCrypC1994PublicKeyLen);
  st.Flags |= kHasPublic;
  Store(ctx, st);
  return kOk;
}

int CrypC_LR34_10_1994_sign(void* ctx, const uint8_t* hash, uint8_t* signature) {
  TPkState st;
  if (int rc = Load(ctx, kMagic94, st)) return rc;
  if (hash == nullptr || signature == nullptr) return kNullPointer;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  const TGost94Group& g = TGost94Group::CryptoProA();
  TNat256 x = TNat256::FromLe(st.Secret), e = HashToScalar(g.Q, hash), k, r, s;
  do {
    if (int rc = DrawScalar(st.Random(), g.Q.M, k)) return rc;
  } while (!Gost94Sign(g, x, e, k, r, s));
  EncodeSignature(r, s, signature);
  return kOk;
}

int CrypC_LR34_10_1994_verify(void* ctx, const uint8_t* hash, const uint8_t* signature) {
  TPkState st;
  if (int rc = Load(ctx, kMagic94, st)) return rc;
  if (hash == nullptr || signature == nullptr) return kNullPointer;
  if (!(st.Flags & kHasPublic)) return kUnusableKey;
  const TGost94Group& g = TGost94Group::CryptoProA();
  TNat256 r, s;
  if (int rc = DecodeSignature(signature, g.Q.M, r, s)) return rc;
  return Gost94Verify(g, TNat1024::FromLe(st.Public), HashToScalar(g.Q, hash), r, s) ? kOk : kVerifyNegative;
}

int CrypC_LR34_10_1994_clear_secret_key(void* ctx) { return ClearPart(ctx, kMagic94, kHasSecret); }
int CrypC_LR34_10_1994_clear_public_key(void* ctx) { return ClearPart(ctx, kMagic94, kHasPublic); }
int CrypC_LR34_10_1994_clear(void* ctx) { return Clear(ctx, kCrypC1994ContextLen); }

// ---- GOST R 34.10-2001 ----------------------------------------------------

int CrypC_LR34_10_2001_set_parms(void* ctx, void* random, const uint8_t* p, int pLen, const uint8_t* q, int qLen,
                                 const uint8_t* a, const uint8_t* b, const uint8_t* point) {
  const bool own = p != nullptr || q != nullptr || a != nullptr || b != nullptr || point != nullptr ||
                   pLen != 32 || qLen != 32;
  return SetParms(ctx, kCrypC2001ContextLen, kMagic2001, random, own);
}

int CrypC_LR34_10_2001_gen_secret_key(void* ctx) { return GenSecret(ctx, kMagic2001, TCurve::CryptoProA().Q.M); }

int CrypC_LR34_10_2001_gen_public_key(void* ctx) {
  TPkState st;
  if (int rc = Load(ctx, kMagic2001, st)) return rc;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  const TCurve& c = TCurve::CryptoProA();
  TNat256 d = TNat256::FromLe(st.Secret), blind, x, y;
  if (int rc = DrawScalar(st.Random(), c.P.M, blind)) return rc;
  c.BaseMul(d, x, y, blind);
  x.ToLe(st.Public);
  y.ToLe(st.Public + 32);
  st.Flags |= kHasPublic;
  Store(ctx, st);
  return kOk;
}

int CrypC_LR34_10_2001_get_secret_key(void* ctx, uint8_t* out, int* outLen) {
  TPkState st;
  if (int rc = Load(ctx, kMagic2001, st)) return rc;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  return GetBytes(st.Secret, kCrypCSigningSecretKeyLen, out, outLen);
}

int CrypC_LR34_10_2001_get_public_key(void* ctx, uint8_t* out, int* outLen) {
  TPkState st;
  if (int rc = Load(ctx, kMagic2001, st)) return rc;
  if (!(st.Flags & kHasPublic)) return kUnusableKey;
  uint8_t blob[kCrypC2001PublicKeyLen] = {};
  memcpy(blob, st.Public, 64);
  return GetBytes(blob, sizeof blob, out, outLen);
}

int CrypC_LR34_10_2001_set_secret_key(void* ctx, const uint8_t* key) {
  TPkState st;
  if (int rc = Load(ctx, kMagic2001, st)) return rc;
  if (key == nullptr) return kNullPointer;
  TNat256 d = TNat256::FromLe(key);
  if (!TCurve::CryptoProA().IsScalar(d)) return kUnusableKey;
  memcpy(st.Secret, key, 32);
  st.Flags |= kHasSecret;
  Store(ctx, st);
  return kOk;
}

int CrypC_LR34_10_2001_set_public_key(void* ctx, const uint8_t* key) {
  TPkState st;
  if (int rc = Load(ctx, kMagic2001, st)) return rc;
  if (key == nullptr) return kNullPointer;
  TNat256 x, y;
  if (!Decode2001PublicBlob(TCurve::CryptoProA(), key, x, y)) return kUnusableKey;
  memcpy(st.Public, key, 64);
  st.Flags |= kHasPublic;
  Store(ctx, st);
  return kOk;
}

int CrypC_LR34_10_2001_sign(void* ctx, const uint8_t* hash, uint8_t* signature) {
  TPkState st;
  if (int rc = Load(ctx, kMagic2001, st)) return rc;
  if (hash == nullptr || signature == nullptr) return kNullPointer;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  const TCurve& c = TCurve::CryptoProA();
  TNat256 d = TNat256::FromLe(st.Secret), e = HashToScalar(c.Q, hash), k, blind, r, s;
  do {
    if (int rc = DrawScalar(st.Random(), c.Q.M, k)) return rc;
    if (int rc = DrawScalar(st.Random(), c.P.M, blind)) return rc;
  } while (!Gost2001Sign(c, d, e, k, blind, r, s));
  EncodeSignature(r, s, signature);
  return kOk;
}

int CrypC_LR34_10_2001_verify(void* ctx, const uint8_t* hash, const uint8_t* signature) {
  TPkState st;
  if (int rc = Load(ctx, kMagic2001, st)) return rc;
  if (hash == nullptr || signature == nullptr) return kNullPointer;
  if (!(st.Flags & kHasPublic)) return kUnusableKey;
  const TCurve& c = TCurve::CryptoProA();
  TNat256 r, s;
  if (int rc = DecodeSignature(signature, c.Q.M, r, s)) return rc;
  TNat256 x = TNat256::FromLe(st.Public), y = TNat256::FromLe(st.Public + 32);
  return Gost2001Verify(c, x, y, HashToScalar(c.Q, hash), r, s) ? kOk : kVerifyNegative;
}

// gen_mutual_key: the shared point d * Q_peer for a peer's 100-byte public key
// blob, written to out as 64 bytes, X then Y, each 32 bytes little-endian (the
// layout of the blob's first 64 bytes). Callers hash it into a key as they need.
int CrypC_LR34_10_2001_gen_mutual_key(void* ctx, const uint8_t* peerPublic, uint8_t* out) {
  TPkState st;
  if (int rc = Load(ctx, kMagic2001, st)) return rc;
  if (peerPublic == nullptr || out == nullptr) return kNullPointer;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  const TCurve& c = TCurve::CryptoProA();
  TNat256 px, py;
  if (!Decode2001PublicBlob(c, peerPublic, px, py)) return kUnusableKey;
  TNat256 d = TNat256::FromLe(st.Secret), x, y;
  c.PointMul(d, px, py, x, y);
  x.ToLe(out);
  y.ToLe(out + 32);
  return kOk;
}

int CrypC_LR34_10_2001_clear_secret_key(void* ctx) { return ClearPart(ctx, kMagic2001, kHasSecret); }
int CrypC_LR34_10_2001_clear_public_key(void* ctx) { return ClearPart(ctx, kMagic2001, kHasPublic); }
int CrypC_LR34_10_2001_clear(void* ctx) { return Clear(ctx, kCrypC2001ContextLen); }

// ---- LDH_PKA --------------------------------------------------------------

int CrypC_LDH_PKA_set_parms(void* ctx, void* random, const uint8_t* p, int pLen, const uint8_t* g) {
  const bool own = p != nullptr || g != nullptr || pLen != 128;
  return SetParms(ctx, kCrypCDhContextLen, kMagicDh, random, own);
}

int CrypC_LDH_PKA_get_parms(void* ctx, uint8_t* p, int* pLen, uint8_t* g) {
  TPkState st;
  if (int rc = Load(ctx, kMagicDh, st)) return rc;
  if (pLen == nullptr) return kNullPointer;
  const TGost94Group& group = TGost94Group::CryptoProA();
  if (p != nullptr) group.P.M.ToLe(p);
  if (g != nullptr) group.A.ToLe(g);
  *pLen = 128;
  return kOk;
}

int CrypC_LDH_PKA_gen_secret_key(void* ctx) { return GenSecret(ctx, kMagicDh, TGost94Group::CryptoProA().Q.M); }

int CrypC_LDH_PKA_gen_public_key(void* ctx) {
  TPkState st;
  if (int rc = Load(ctx, kMagicDh, st)) return rc;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  TNat256 x = TNat256::FromLe(st.Secret);
  DhPublic(TGost94Group::CryptoProA(), x).ToLe(st.Public);
  st.Flags |= kHasPublic;
  Store(ctx, st);
  return kOk;
}

int CrypC_LDH_PKA_gen_mutual_key(void* ctx, const uint8_t* peerPublic, uint8_t* out) {
  TPkState st;
  if (int rc = Load(ctx, kMagicDh, st)) return rc;
  if (peerPublic == nullptr || out == nullptr) return kNullPointer;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  TNat256 x = TNat256::FromLe(st.Secret);
  TNat1024 k;
  if (!DhShared(TGost94Group::CryptoProA(), x, TNat1024::FromLe(peerPublic), k)) return kUnusableKey;
  k.ToLe(out);
  return kOk;
}

int CrypC_LDH_PKA_get_secret_key(void* ctx, uint8_t* out, int* outLen) {
  TPkState st;
  if (int rc = Load(ctx, kMagicDh, st)) return rc;
  if (!(st.Flags & kHasSecret)) return kUnusableKey;
  uint8_t wide[kCrypCExchangeKeyLen] = {};
  memcpy(wide, st.Secret, 32);
  int rc = GetBytes(wide, sizeof wide, out, outLen);
  Wipe(wide, sizeof wide);
  return rc;
}

int CrypC_LDH_PKA_get_public_key(void* ctx, uint8_t* out, int* outLen) {
  TPkState st;
  if (int rc = Load(ctx, kMagicDh, st)) return rc;
  if (!(st.Flags & kHasPublic)) return kUnusableKey;
  return GetBytes(st.Public, kCrypCExchangeKeyLen, out, outLen);
}

int CrypC_LDH_PKA_set_secret_key(void* ctx, const uint8_t* key) {
  TPkState st;
  if (int rc = Load(ctx, kMagicDh, st)) return rc;
  if (key == nullptr) return kNullPointer;
  TNat256 x = TNat256::FromLe(key);
  if (!AllZero(key + 32, kCrypCExchangeKeyLen - 32) || !TGost94Group::CryptoProA().IsScalar(x))
    return kUnusableKey;
  memcpy(st.Secret, key, 32);
  Wipe(st.Public, sizeof st.Public);
  st.Flags = kHasSecret;
  Store(ctx, st);
  return kOk;
}

int CrypC_LDH_PKA_clear_secret_key(void* ctx) { return ClearPart(ctx, kMagicDh, kHasSecret); }
int CrypC_LDH_PKA_clear_public_key(void* ctx) { return ClearPart(ctx, kMagicDh, kHasPublic); }
int CrypC_LDH_PKA_clear(void* ctx) { return Clear(ctx, kCrypCDhContextLen); }

}  // extern "C"
