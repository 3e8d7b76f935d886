// Known answers for GOST R 34.10-94, GOST R 34.10-2001 and LDH_PKA, run both
// through the internal functions with the vector's fixed nonce and through the
// entry points (which draw their own nonces, so only verification and key
// derivation can be compared there).
#include <gtest/gtest.h>

#include <vector>

#include "crypc_exports.h"
#include "dh.h"
#include "gost3410_2001.h"
#include "gost3410_94.h"
#include "vec_file.h"

using namespace crypc;
using vectest::ToHex;

namespace {

std::string Hex(const std::vector<uint8_t>& v) { return ToHex(v.data(), v.size()); }

template <size_t N>
std::string HexLe(const TNat<N>& v) {
  uint8_t b[N * 8];
  v.ToLe(b);
  return ToHex(b, sizeof b);
}

std::string SigHex(const TNat256& r, const TNat256& s) {
  uint8_t sig[64];
  s.ToBe(sig);
  r.ToBe(sig + 32);
  return ToHex(sig, 64);
}

struct TContext {
  explicit TContext(size_t len) : Bytes(len, 0) {}
  void* Get() { return Bytes.data(); }
  std::vector<uint8_t> Bytes;
  uint8_t Random[76] = {};
};

}  // namespace

TEST(Gost2001Kat, VectorsThroughInternalsAndEntryPoints) {
  const vectest::TVecFile entries("gost3410/gost3410_2001.vec");
  ASSERT_GE(entries.size(), 7u);
  for (const auto& v : entries) {
    SCOPED_TRACE(v.Where());
    const bool testCurve = v.Param == "test";
    const TCurve& c = testCurve ? TCurve::Test() : TCurve::CryptoProA();
    const auto secret = v.Bytes("Secret"), hash = v.Bytes("Hash"), pub = v.Bytes("Public"), sig = v.Bytes("Signature");
    const TNat256 d = TNat256::FromLe(secret.data());
    TNat256 qx, qy;
    c.BaseMul(d, qx, qy);
    EXPECT_EQ(HexLe(qx) + HexLe(qy), Hex(pub));
    const TNat256 e = HashToScalar(c.Q, hash.data());
    if (v.Has("Nonce")) {
      TNat256 r, s;
      ASSERT_TRUE(Gost2001Sign(c, d, e, TNat256::FromLe(v.Bytes("Nonce").data()), r, s));
      EXPECT_EQ(SigHex(r, s), Hex(sig));
    }
    const TNat256 s = TNat256::FromBe(sig.data()), r = TNat256::FromBe(sig.data() + 32);
    EXPECT_TRUE(Gost2001Verify(c, qx, qy, e, r, s));
    TNat256 e1;
    c.Q.AddMod(e1, e, TNat256::FromWord(1));
    EXPECT_FALSE(Gost2001Verify(c, qx, qy, e1, r, s));
    if (testCurve) continue;

    // The entry points use the CryptoPro-A curve: derive the blob, verify.
    TContext ctx(kCrypC2001ContextLen);
    ASSERT_EQ(CrypC_LR34_10_2001_set_parms(ctx.Get(), ctx.Random, nullptr, 32, nullptr, 32, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(CrypC_LR34_10_2001_set_secret_key(ctx.Get(), secret.data()), 0);
    ASSERT_EQ(CrypC_LR34_10_2001_gen_public_key(ctx.Get()), 0);
    uint8_t blob[100];
    int len = 0;
    ASSERT_EQ(CrypC_LR34_10_2001_get_public_key(ctx.Get(), blob, &len), 0);
    EXPECT_EQ(len, 100);
    EXPECT_EQ(ToHex(blob, 64), Hex(pub));
    EXPECT_EQ(ToHex(blob + 64, 36), std::string(72, '0'));
    EXPECT_EQ(CrypC_LR34_10_2001_clear(ctx.Get()), 0);
    ASSERT_EQ(CrypC_LR34_10_2001_set_parms(ctx.Get(), ctx.Random, nullptr, 32, nullptr, 32, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(CrypC_LR34_10_2001_set_public_key(ctx.Get(), blob), 0);
    EXPECT_EQ(CrypC_LR34_10_2001_verify(ctx.Get(), hash.data(), sig.data()), 0);
    auto bad = hash;
    bad[0] ^= 1;
    EXPECT_EQ(CrypC_LR34_10_2001_verify(ctx.Get(), bad.data(), sig.data()), kVerifyNegative);
    CrypC_LR34_10_2001_clear(ctx.Get());
  }
}

TEST(Gost94Kat, VectorsThroughInternalsAndEntryPoints) {
  const vectest::TVecFile entries("gost3410/gost3410_94.vec");
  ASSERT_GE(entries.size(), 5u);
  const TGost94Group& g = TGost94Group::CryptoProA();
  for (const auto& v : entries) {
    SCOPED_TRACE(v.Where());
    const auto hash = v.Bytes("Hash"), pub = v.Bytes("Public"), sig = v.Bytes("Signature");
    const TNat1024 y = TNat1024::FromLe(pub.data());
    const TNat256 e = HashToScalar(g.Q, hash.data());
    if (v.Has("Secret")) {
      const auto secret = v.Bytes("Secret");
      const TNat256 x = TNat256::FromLe(secret.data());
      EXPECT_EQ(HexLe(g.PowA(x)), Hex(pub));
      TNat256 r, s;
      ASSERT_TRUE(Gost94Sign(g, x, e, TNat256::FromLe(v.Bytes("Nonce").data()), r, s));
      EXPECT_EQ(SigHex(r, s), Hex(sig));
    }
    EXPECT_TRUE(g.IsSubgroupElement(y));
    const TNat256 s = TNat256::FromBe(sig.data()), r = TNat256::FromBe(sig.data() + 32);
    EXPECT_TRUE(Gost94Verify(g, y, e, r, s));

    TContext ctx(kCrypC1994ContextLen);
    ASSERT_EQ(CrypC_LR34_10_1994_set_parms(ctx.Get(), ctx.Random, nullptr, 128, nullptr, 32, nullptr), 0);
    ASSERT_EQ(CrypC_LR34_10_1994_set_public_key(ctx.Get(), pub.data()), 0);
    EXPECT_EQ(CrypC_LR34_10_1994_verify(ctx.Get(), hash.data(), sig.data()), 0);
    auto bad = sig;
    bad[63] ^= 1;  // r changes, stays in range
    EXPECT_EQ(CrypC_LR34_10_1994_verify(ctx.Get(), hash.data(), bad.data()), kVerifyNegative);
    CrypC_LR34_10_1994_clear(ctx.Get());
  }
}

TEST(LdhPkaKat, AgreementThroughEntryPoints) {
  const vectest::TVecFile entries("gost3410/ldh_pka.vec");
  ASSERT_EQ(entries.size(), 1u);
  const auto& v = entries[0];
  const auto secretA = v.Bytes("SecretA"), secretB = v.Bytes("SecretB"), publicA = v.Bytes("PublicA"),
             publicB = v.Bytes("PublicB"), shared = v.Bytes("Shared");
  struct TSide {
    const std::vector<uint8_t>& Secret;
    const std::vector<uint8_t>& Own;
    const std::vector<uint8_t>& Peer;
  };
  for (const TSide& side : {TSide{secretA, publicA, publicB}, TSide{secretB, publicB, publicA}}) {
    TContext ctx(kCrypCDhContextLen);
    ASSERT_EQ(CrypC_LDH_PKA_set_parms(ctx.Get(), ctx.Random, nullptr, 128, nullptr), 0);
    ASSERT_EQ(CrypC_LDH_PKA_set_secret_key(ctx.Get(), side.Secret.data()), 0);
    ASSERT_EQ(CrypC_LDH_PKA_gen_public_key(ctx.Get()), 0);
    uint8_t out[128];
    int len = 0;
    ASSERT_EQ(CrypC_LDH_PKA_get_public_key(ctx.Get(), out, &len), 0);
    EXPECT_EQ(len, 128);
    EXPECT_EQ(ToHex(out, 128), Hex(side.Own));
    ASSERT_EQ(CrypC_LDH_PKA_gen_mutual_key(ctx.Get(), side.Peer.data(), out), 0);
    EXPECT_EQ(ToHex(out, 128), Hex(shared));
    CrypC_LDH_PKA_clear(ctx.Get());
  }
}

TEST(SignSelfTest, Passes) { EXPECT_EQ(CrypC_TestSignFunctions_(), 0); }
