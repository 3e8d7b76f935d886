// The public-key entry points' contract: heap contexts of exactly the stated
// sizes, round trips with drawn keys and nonces, refusal of bad keys and bad
// signature values, and behaviour on zeroed, cleared or null arguments.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <vector>

#include "crypc_exports.h"
#include "gost3410_94.h"
#include "ec.h"

using namespace crypc;

namespace {

// THeapContext is a heap area of exactly the family's size, so a sanitizer
// build catches any access past it.
struct THeapContext {
  explicit THeapContext(size_t len) : Len(len), Bytes(new uint8_t[len]()) {}
  void* Get() { return Bytes.get(); }
  bool AllZero() const {
    for (size_t i = 0; i < Len; ++i)
      if (Bytes[i] != 0) return false;
    return true;
  }
  size_t Len;
  std::unique_ptr<uint8_t[]> Bytes;
};

uint8_t gRandom[76];

int Init94(void* ctx) { return CrypC_LR34_10_1994_set_parms(ctx, gRandom, nullptr, 128, nullptr, 32, nullptr); }
int Init2001(void* ctx) {
  return CrypC_LR34_10_2001_set_parms(ctx, gRandom, nullptr, 32, nullptr, 32, nullptr, nullptr, nullptr);
}
int InitDh(void* ctx) { return CrypC_LDH_PKA_set_parms(ctx, gRandom, nullptr, 128, nullptr); }

// Family bundles one signature algorithm's entry points so the tests below run
// for both.
struct TFamily {
  const char* Name;
  size_t CtxLen;
  size_t PublicLen;
  int (*Init)(void*);
  CrypC_LR34_10_1994_gen_secret_key_fn GenSecret;
  CrypC_LR34_10_1994_gen_public_key_fn GenPublic;
  CrypC_LR34_10_1994_get_secret_key_fn GetSecret;
  CrypC_LR34_10_1994_get_public_key_fn GetPublic;
  CrypC_LR34_10_1994_set_secret_key_fn SetSecret;
  CrypC_LR34_10_1994_set_public_key_fn SetPublic;
  CrypC_LR34_10_1994_sign_fn Sign;
  CrypC_LR34_10_1994_verify_fn Verify;
  CrypC_LR34_10_1994_clear_fn Clear;
  TNat256 Q;
};

std::vector<TFamily> Families() {
  return {
      {"94", kCrypC1994ContextLen, kCrypC1994PublicKeyLen, Init94, CrypC_LR34_10_1994_gen_secret_key,
       CrypC_LR34_10_1994_gen_public_key, CrypC_LR34_10_1994_get_secret_key, CrypC_LR34_10_1994_get_public_key,
       CrypC_LR34_10_1994_set_secret_key, CrypC_LR34_10_1994_set_public_key, CrypC_LR34_10_1994_sign,
       CrypC_LR34_10_1994_verify, CrypC_LR34_10_1994_clear, TGost94Group::CryptoProA().Q.M},
      {"2001", kCrypC2001ContextLen, kCrypC2001PublicKeyLen, Init2001, CrypC_LR34_10_2001_gen_secret_key,
       CrypC_LR34_10_2001_gen_public_key, CrypC_LR34_10_2001_get_secret_key, CrypC_LR34_10_2001_get_public_key,
       CrypC_LR34_10_2001_set_secret_key, CrypC_LR34_10_2001_set_public_key, CrypC_LR34_10_2001_sign,
       CrypC_LR34_10_2001_verify, CrypC_LR34_10_2001_clear, TCurve::CryptoProA().Q.M},
  };
}

// KeyPair generates a key pair the way the binding does and returns both halves.
void KeyPair(const TFamily& f, std::vector<uint8_t>& secret, std::vector<uint8_t>& pub) {
  THeapContext ctx(f.CtxLen);
  ASSERT_EQ(f.Init(ctx.Get()), 0);
  ASSERT_EQ(f.GenSecret(ctx.Get()), 0);
  int len = -1;
  ASSERT_EQ(f.GetSecret(ctx.Get(), nullptr, &len), 0);
  ASSERT_EQ(len, 32);
  secret.assign(32, 0);
  ASSERT_EQ(f.GetSecret(ctx.Get(), secret.data(), &len), 0);
  ASSERT_EQ(f.GenPublic(ctx.Get()), 0);
  pub.assign(f.PublicLen, 0);
  ASSERT_EQ(f.GetPublic(ctx.Get(), pub.data(), &len), 0);
  ASSERT_EQ(size_t(len), f.PublicLen);
  ASSERT_EQ(f.Clear(ctx.Get()), 0);
  EXPECT_TRUE(ctx.AllZero());
}

int SignWith(const TFamily& f, const std::vector<uint8_t>& secret, const uint8_t* hash, uint8_t* sig) {
  THeapContext ctx(f.CtxLen);
  int rc = f.Init(ctx.Get());
  if (rc == 0) rc = f.SetSecret(ctx.Get(), secret.data());
  if (rc == 0) rc = f.Sign(ctx.Get(), hash, sig);
  f.Clear(ctx.Get());
  return rc;
}

int VerifyWith(const TFamily& f, const std::vector<uint8_t>& pub, const uint8_t* hash, const uint8_t* sig) {
  THeapContext ctx(f.CtxLen);
  int rc = f.Init(ctx.Get());
  if (rc == 0) rc = f.SetPublic(ctx.Get(), pub.data());
  if (rc == 0) rc = f.Verify(ctx.Get(), hash, sig);
  f.Clear(ctx.Get());
  return rc;
}

}  // namespace

TEST(PkEntry, SignVerifyRoundTripAndNegativeOutcomes) {
  for (const TFamily& f : Families()) {
    SCOPED_TRACE(f.Name);
    std::vector<uint8_t> secret, pub;
    KeyPair(f, secret, pub);
    uint8_t hash[32], sig[64], sig2[64];
    for (int i = 0; i < 32; ++i) hash[i] = uint8_t(i * 7 + 1);
    ASSERT_EQ(SignWith(f, secret, hash, sig), 0);
    ASSERT_EQ(SignWith(f, secret, hash, sig2), 0);
    EXPECT_NE(memcmp(sig, sig2, 64), 0) << "nonces must differ between signatures";
    EXPECT_EQ(VerifyWith(f, pub, hash, sig), 0);
    EXPECT_EQ(VerifyWith(f, pub, hash, sig2), 0);

    // One verify context serves several checks (the binding verifies twice).
    THeapContext ctx(f.CtxLen);
    ASSERT_EQ(f.Init(ctx.Get()), 0);
    ASSERT_EQ(f.SetPublic(ctx.Get(), pub.data()), 0);
    hash[5] ^= 0x10;
    EXPECT_EQ(f.Verify(ctx.Get(), hash, sig), kVerifyNegative);
    hash[5] ^= 0x10;
    EXPECT_EQ(f.Verify(ctx.Get(), hash, sig), 0);
    uint8_t bad[64];
    memcpy(bad, sig, 64);
    bad[40] ^= 1;
    EXPECT_EQ(f.Verify(ctx.Get(), hash, bad), kVerifyNegative);

    // r and s out of range are refused with their own codes.
    uint8_t qBe[32];
    f.Q.ToBe(qBe);
    memcpy(bad, sig, 64);
    memset(bad + 32, 0, 32);
    EXPECT_EQ(f.Verify(ctx.Get(), hash, bad), 6);
    memcpy(bad, sig, 64);
    memset(bad, 0, 32);
    EXPECT_EQ(f.Verify(ctx.Get(), hash, bad), 7);
    memcpy(bad, sig, 64);
    memcpy(bad + 32, qBe, 32);
    EXPECT_EQ(f.Verify(ctx.Get(), hash, bad), 8);
    memcpy(bad, sig, 64);
    memcpy(bad, qBe, 32);
    EXPECT_EQ(f.Verify(ctx.Get(), hash, bad), 9);

    // Another key does not verify it.
    std::vector<uint8_t> secret2, pub2;
    KeyPair(f, secret2, pub2);
    EXPECT_NE(secret, secret2);
    EXPECT_EQ(VerifyWith(f, pub2, hash, sig), kVerifyNegative);
    f.Clear(ctx.Get());
  }
}

TEST(PkEntry, IdenticalRandomStateCopiesStillGiveFreshNonces) {
  // The binding hands each operation a private copy of one shared random
  // state, so two concurrent signings can start from identical bytes. A
  // repeated nonce would reveal the secret key; every draw must differ.
  for (const TFamily& f : Families()) {
    SCOPED_TRACE(f.Name);
    std::vector<uint8_t> secret, pub;
    KeyPair(f, secret, pub);
    uint8_t hash[32] = {9, 8, 7}, sig[2][64];
    uint8_t shared[76];
    memset(shared, 0x5A, sizeof shared);
    for (int i = 0; i < 2; ++i) {
      uint8_t copy[76];
      memcpy(copy, shared, sizeof copy);
      THeapContext ctx(f.CtxLen);
      ASSERT_EQ(f.Init == Init94 ? CrypC_LR34_10_1994_set_parms(ctx.Get(), copy, nullptr, 128, nullptr, 32, nullptr)
                                 : CrypC_LR34_10_2001_set_parms(ctx.Get(), copy, nullptr, 32, nullptr, 32, nullptr,
                                                                nullptr, nullptr),
                0);
      ASSERT_EQ(f.SetSecret(ctx.Get(), secret.data()), 0);
      ASSERT_EQ(f.Sign(ctx.Get(), hash, sig[i]), 0);
      f.Clear(ctx.Get());
    }
    EXPECT_NE(memcmp(sig[0] + 32, sig[1] + 32, 32), 0) << "same r: the nonce repeated";
    EXPECT_EQ(VerifyWith(f, pub, hash, sig[0]), 0);
    EXPECT_EQ(VerifyWith(f, pub, hash, sig[1]), 0);
  }
}

TEST(PkEntry, SecretKeysOutsideOneToQAreRefused) {
  for (const TFamily& f : Families()) {
    SCOPED_TRACE(f.Name);
    THeapContext ctx(f.CtxLen);
    ASSERT_EQ(f.Init(ctx.Get()), 0);
    uint8_t key[32] = {};
    EXPECT_EQ(f.SetSecret(ctx.Get(), key), kUnusableKey);
    f.Q.ToLe(key);
    EXPECT_EQ(f.SetSecret(ctx.Get(), key), kUnusableKey);
    memset(key, 0xFF, 32);
    EXPECT_EQ(f.SetSecret(ctx.Get(), key), kUnusableKey);
    key[0] = 0xFE;  // q - 1 is the largest usable key
    TNat256 qm1;
    Sub(qm1, f.Q, TNat256::FromWord(1));
    qm1.ToLe(key);
    EXPECT_EQ(f.SetSecret(ctx.Get(), key), 0);
    uint8_t hash[32] = {}, sig[64];
    EXPECT_EQ(f.Sign(ctx.Get(), hash, sig), 0);  // all-zero hash signs with e = 1
    f.Clear(ctx.Get());
  }
}

TEST(PkEntry, Bad2001PublicKeysAreRefused) {
  std::vector<uint8_t> secret, pub;
  KeyPair(Families()[1], secret, pub);
  THeapContext ctx(kCrypC2001ContextLen);
  ASSERT_EQ(Init2001(ctx.Get()), 0);
  uint8_t blob[100] = {};
  EXPECT_EQ(CrypC_LR34_10_2001_set_public_key(ctx.Get(), blob), kUnusableKey) << "all zero";
  memcpy(blob, pub.data(), 100);
  blob[40] ^= 1;
  EXPECT_EQ(CrypC_LR34_10_2001_set_public_key(ctx.Get(), blob), kUnusableKey) << "off the curve";
  memcpy(blob, pub.data(), 100);
  blob[99] = 1;
  EXPECT_EQ(CrypC_LR34_10_2001_set_public_key(ctx.Get(), blob), kUnusableKey) << "non-zero tail";
  // X = x + p is the same residue but not a canonical coordinate.
  TNat256 x = TNat256::FromLe(pub.data()), xp;
  if (Add(xp, x, TCurve::CryptoProA().P.M) == 0) {
    memcpy(blob, pub.data(), 100);
    xp.ToLe(blob);
    EXPECT_EQ(CrypC_LR34_10_2001_set_public_key(ctx.Get(), blob), kUnusableKey) << "X >= p";
  }
  // gen_mutual_key checks the peer's blob the same way.
  ASSERT_EQ(CrypC_LR34_10_2001_set_secret_key(ctx.Get(), secret.data()), 0);
  uint8_t out[64];
  memset(blob, 0, sizeof blob);
  EXPECT_EQ(CrypC_LR34_10_2001_gen_mutual_key(ctx.Get(), blob, out), kUnusableKey);
  // Nothing was loaded by the refused calls: verify has no key.
  uint8_t hash[32] = {}, sig[64] = {1};
  EXPECT_EQ(CrypC_LR34_10_2001_verify(ctx.Get(), hash, sig), kUnusableKey);
  CrypC_LR34_10_2001_clear(ctx.Get());
}

TEST(PkEntry, BadSubgroupValuesAreRefused) {
  // 34.10-94 public keys and LDH_PKA peer values must lie strictly between 1
  // and p-1 and in the order-q subgroup.
  const TGost94Group& g = TGost94Group::CryptoProA();
  TNat1024 pm1;
  Sub(pm1, g.P.M, TNat1024::FromWord(1));
  std::vector<TNat1024> bad = {TNat1024(), TNat1024::FromWord(1), pm1, g.P.M, TNat1024::FromWord(2)};
  TNat1024 all;
  memset(all.V, 0xFF, sizeof all.V);
  bad.push_back(all);
  THeapContext sig(kCrypC1994ContextLen), dh(kCrypCDhContextLen);
  ASSERT_EQ(Init94(sig.Get()), 0);
  ASSERT_EQ(InitDh(dh.Get()), 0);
  ASSERT_EQ(CrypC_LDH_PKA_gen_secret_key(dh.Get()), 0);
  for (const TNat1024& y : bad) {
    uint8_t bytes[128], out[128];
    y.ToLe(bytes);
    EXPECT_EQ(CrypC_LR34_10_1994_set_public_key(sig.Get(), bytes), kUnusableKey);
    EXPECT_EQ(CrypC_LDH_PKA_gen_mutual_key(dh.Get(), bytes, out), kUnusableKey);
  }
  CrypC_LR34_10_1994_clear(sig.Get());
  CrypC_LDH_PKA_clear(dh.Get());
}

TEST(PkEntry, DhBothSidesAgree) {
  uint8_t pubA[128], pubB[128], secA[128], outA[128], outB[128];
  int len = 0;
  THeapContext a(kCrypCDhContextLen), b(kCrypCDhContextLen);
  ASSERT_EQ(InitDh(a.Get()), 0);
  ASSERT_EQ(InitDh(b.Get()), 0);
  ASSERT_EQ(CrypC_LDH_PKA_gen_secret_key(a.Get()), 0);
  ASSERT_EQ(CrypC_LDH_PKA_get_secret_key(a.Get(), secA, &len), 0);
  EXPECT_EQ(len, 128);
  ASSERT_EQ(CrypC_LDH_PKA_gen_public_key(a.Get()), 0);
  ASSERT_EQ(CrypC_LDH_PKA_get_public_key(a.Get(), pubA, &len), 0);
  EXPECT_EQ(len, 128);
  ASSERT_EQ(CrypC_LDH_PKA_gen_secret_key(b.Get()), 0);
  ASSERT_EQ(CrypC_LDH_PKA_gen_public_key(b.Get()), 0);
  ASSERT_EQ(CrypC_LDH_PKA_get_public_key(b.Get(), pubB, &len), 0);
  ASSERT_EQ(CrypC_LDH_PKA_gen_mutual_key(b.Get(), pubA, outB), 0);
  CrypC_LDH_PKA_clear(a.Get());
  // A fresh context with the stored secret key, as the binding derives pair keys.
  ASSERT_EQ(InitDh(a.Get()), 0);
  ASSERT_EQ(CrypC_LDH_PKA_set_secret_key(a.Get(), secA), 0);
  ASSERT_EQ(CrypC_LDH_PKA_gen_mutual_key(a.Get(), pubB, outA), 0);
  EXPECT_EQ(memcmp(outA, outB, 128), 0);
  // The secret is below q: its top 96 bytes are zero, and a key with any of
  // them set is refused.
  for (int i = 32; i < 128; ++i) EXPECT_EQ(secA[i], 0);
  secA[100] = 1;
  EXPECT_EQ(CrypC_LDH_PKA_set_secret_key(a.Get(), secA), kUnusableKey);
  CrypC_LDH_PKA_clear(a.Get());
  CrypC_LDH_PKA_clear(b.Get());
}

TEST(PkEntry, Ec2001MutualKeyAgrees) {
  std::vector<uint8_t> secA, pubA, secB, pubB;
  KeyPair(Families()[1], secA, pubA);
  KeyPair(Families()[1], secB, pubB);
  uint8_t outA[64], outB[64];
  THeapContext ctx(kCrypC2001ContextLen);
  ASSERT_EQ(Init2001(ctx.Get()), 0);
  ASSERT_EQ(CrypC_LR34_10_2001_set_secret_key(ctx.Get(), secA.data()), 0);
  ASSERT_EQ(CrypC_LR34_10_2001_gen_mutual_key(ctx.Get(), pubB.data(), outA), 0);
  CrypC_LR34_10_2001_clear(ctx.Get());
  ASSERT_EQ(Init2001(ctx.Get()), 0);
  ASSERT_EQ(CrypC_LR34_10_2001_set_secret_key(ctx.Get(), secB.data()), 0);
  ASSERT_EQ(CrypC_LR34_10_2001_gen_mutual_key(ctx.Get(), pubA.data(), outB), 0);
  EXPECT_EQ(memcmp(outA, outB, 64), 0);
  // The shared point lies on the curve.
  EXPECT_TRUE(TCurve::CryptoProA().IsOnCurve(TNat256::FromLe(outA), TNat256::FromLe(outA + 32)));
  CrypC_LR34_10_2001_clear(ctx.Get());
}

TEST(PkEntry, ZeroedClearedAndNullArgumentsAreRefused) {
  uint8_t buf[128] = {}, hash[32] = {}, sig[64] = {};
  int len = 0;
  // A zeroed context (set_parms never ran) is refused by every working call.
  THeapContext c94(kCrypC1994ContextLen), c01(kCrypC2001ContextLen), cdh(kCrypCDhContextLen);
  EXPECT_EQ(CrypC_LR34_10_1994_gen_secret_key(c94.Get()), kBadContext);
  EXPECT_EQ(CrypC_LR34_10_1994_sign(c94.Get(), hash, sig), kBadContext);
  EXPECT_EQ(CrypC_LR34_10_1994_verify(c94.Get(), hash, sig), kBadContext);
  EXPECT_EQ(CrypC_LR34_10_1994_get_public_key(c94.Get(), buf, &len), kBadContext);
  EXPECT_EQ(CrypC_LR34_10_1994_get_parms(c94.Get(), buf, &len, buf, &len, buf), kBadContext);
  EXPECT_EQ(CrypC_LR34_10_2001_gen_secret_key(c01.Get()), kBadContext);
  EXPECT_EQ(CrypC_LR34_10_2001_set_public_key(c01.Get(), buf), kBadContext);
  EXPECT_EQ(CrypC_LR34_10_2001_sign(c01.Get(), hash, sig), kBadContext);
  EXPECT_EQ(CrypC_LDH_PKA_gen_secret_key(cdh.Get()), kBadContext);
  EXPECT_EQ(CrypC_LDH_PKA_gen_mutual_key(cdh.Get(), buf, buf), kBadContext);
  // A context of one family is not accepted by another.
  ASSERT_EQ(Init94(c94.Get()), 0);
  EXPECT_EQ(CrypC_LR34_10_2001_gen_secret_key(c94.Get()), kBadContext);
  EXPECT_EQ(CrypC_LDH_PKA_gen_secret_key(c94.Get()), kBadContext);
  CrypC_LR34_10_1994_clear(c94.Get());

  // Null pointers never crash.
  EXPECT_EQ(CrypC_LR34_10_1994_set_parms(nullptr, gRandom, nullptr, 128, nullptr, 32, nullptr), kNullPointer);
  EXPECT_EQ(CrypC_LR34_10_1994_set_parms(c94.Get(), nullptr, nullptr, 128, nullptr, 32, nullptr), kNullPointer);
  EXPECT_EQ(CrypC_LR34_10_2001_sign(nullptr, hash, sig), kNullPointer);
  EXPECT_EQ(CrypC_LDH_PKA_clear(nullptr), kNullPointer);
  ASSERT_EQ(Init2001(c01.Get()), 0);
  ASSERT_EQ(CrypC_LR34_10_2001_gen_secret_key(c01.Get()), 0);
  EXPECT_EQ(CrypC_LR34_10_2001_sign(c01.Get(), nullptr, sig), kNullPointer);
  EXPECT_EQ(CrypC_LR34_10_2001_sign(c01.Get(), hash, nullptr), kNullPointer);
  EXPECT_EQ(CrypC_LR34_10_2001_get_secret_key(c01.Get(), buf, nullptr), kNullPointer);
  EXPECT_EQ(CrypC_LR34_10_2001_set_secret_key(c01.Get(), nullptr), kNullPointer);
  // Keys not yet present.
  EXPECT_EQ(CrypC_LR34_10_2001_get_public_key(c01.Get(), buf, &len), kUnusableKey);
  EXPECT_EQ(CrypC_LR34_10_2001_verify(c01.Get(), hash, sig), kUnusableKey);
  // Custom parameters are not supported.
  EXPECT_EQ(CrypC_LR34_10_1994_set_parms(c94.Get(), gRandom, buf, 128, nullptr, 32, nullptr), kBadArgument);
  EXPECT_EQ(CrypC_LDH_PKA_set_parms(cdh.Get(), gRandom, nullptr, 64, nullptr), kBadArgument);

  // clear wipes the whole area and leaves a context that refuses to work.
  ASSERT_EQ(CrypC_LR34_10_2001_sign(c01.Get(), hash, sig), 0);
  memset(static_cast<uint8_t*>(c01.Get()) + 600, 0xAB, 148);  // up to the last byte
  EXPECT_EQ(CrypC_LR34_10_2001_clear(c01.Get()), 0);
  EXPECT_TRUE(c01.AllZero());
  EXPECT_EQ(CrypC_LR34_10_2001_sign(c01.Get(), hash, sig), kBadContext);
  // clear_secret_key forgets the secret but keeps the context usable.
  ASSERT_EQ(Init2001(c01.Get()), 0);
  ASSERT_EQ(CrypC_LR34_10_2001_gen_secret_key(c01.Get()), 0);
  ASSERT_EQ(CrypC_LR34_10_2001_clear_secret_key(c01.Get()), 0);
  EXPECT_EQ(CrypC_LR34_10_2001_sign(c01.Get(), hash, sig), kUnusableKey);
  CrypC_LR34_10_2001_clear(c01.Get());
}

TEST(PkEntry, GetParmsReportsTheBuiltInGroup) {
  THeapContext c94(kCrypC1994ContextLen), cdh(kCrypCDhContextLen);
  ASSERT_EQ(Init94(c94.Get()), 0);
  ASSERT_EQ(InitDh(cdh.Get()), 0);
  uint8_t p[128], q[32], a[128], p2[128], g2[128];
  int pLen = 0, qLen = 0, p2Len = 0;
  ASSERT_EQ(CrypC_LR34_10_1994_get_parms(c94.Get(), p, &pLen, q, &qLen, a), 0);
  ASSERT_EQ(CrypC_LDH_PKA_get_parms(cdh.Get(), p2, &p2Len, g2), 0);
  EXPECT_EQ(pLen, 128);
  EXPECT_EQ(qLen, 32);
  EXPECT_EQ(p2Len, 128);
  EXPECT_EQ(memcmp(p, p2, 128), 0);
  EXPECT_EQ(memcmp(a, g2, 128), 0);
  EXPECT_EQ(p[127], 0xB4);  // little-endian: the top byte of p is last
  EXPECT_EQ(q[31], 0x97);
  EXPECT_EQ(a[0], 0x9A);
  CrypC_LR34_10_1994_clear(c94.Get());
  CrypC_LDH_PKA_clear(cdh.Get());
}
