// Cross-checks against libgcrypt as an independent implementation (tests
// only): GOST R 34.10-2001 signatures both ways on GOST2001-CryptoPro-A, and
// the GOST R 34.10-94 and LDH_PKA arithmetic recomputed with libgcrypt's MPIs.
// libgcrypt takes big-endian numbers, so the little-endian API values are
// reversed on the way in (digest, coordinates, keys).
#include <gcrypt.h>
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <vector>

#include "crypc_exports.h"
#include "params_gost3410.h"

namespace {

struct TGcrypt : ::testing::Environment {
  void SetUp() override {
    ASSERT_NE(gcry_check_version(nullptr), nullptr);
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
  }
};
const auto* gEnv = ::testing::AddGlobalTestEnvironment(new TGcrypt);

using TBytes = std::vector<uint8_t>;

TBytes Reversed(const uint8_t* p, size_t n) { return TBytes(std::reverse_iterator(p + n), std::reverse_iterator(p)); }

// TMpi owns one libgcrypt MPI.
struct TMpi {
  gcry_mpi_t M = nullptr;
  TMpi() : M(gcry_mpi_new(0)) {}
  explicit TMpi(gcry_mpi_t m) : M(m) {}
  static TMpi FromLe(const uint8_t* p, size_t n) {
    TBytes be = Reversed(p, n);
    gcry_mpi_t m = nullptr;
    EXPECT_EQ(gcry_mpi_scan(&m, GCRYMPI_FMT_USG, be.data(), be.size(), nullptr), 0u);
    return TMpi(m);
  }
  static TMpi FromBe(const uint8_t* p, size_t n) {
    gcry_mpi_t m = nullptr;
    EXPECT_EQ(gcry_mpi_scan(&m, GCRYMPI_FMT_USG, p, n, nullptr), 0u);
    return TMpi(m);
  }
  static TMpi FromHex(const char* hex) {
    gcry_mpi_t m = nullptr;
    EXPECT_EQ(gcry_mpi_scan(&m, GCRYMPI_FMT_HEX, hex, 0, nullptr), 0u);
    return TMpi(m);
  }
  // Be writes the value big-endian, left-padded to n bytes.
  TBytes Be(size_t n) const {
    TBytes out(n, 0);
    size_t written = 0;
    unsigned char buf[256];
    EXPECT_EQ(gcry_mpi_print(GCRYMPI_FMT_USG, buf, sizeof buf, &written, M), 0u);
    EXPECT_LE(written, n);
    memcpy(out.data() + (n - written), buf, written);
    return out;
  }
  ~TMpi() { gcry_mpi_release(M); }
  TMpi(TMpi&& o) noexcept : M(o.M) { o.M = nullptr; }
  TMpi(const TMpi&) = delete;
};

bool MpiEq(const TMpi& a, const TMpi& b) { return gcry_mpi_cmp(a.M, b.M) == 0; }

struct TSexp {
  gcry_sexp_t S = nullptr;
  ~TSexp() { gcry_sexp_release(S); }
};

uint8_t gRandom[76];

// ---- GOST R 34.10-2001 ----------------------------------------------------

struct TKey2001 {
  uint8_t Secret[32];
  uint8_t Blob[100];
};

TKey2001 Gen2001() {
  TKey2001 k{};
  uint8_t ctx[kCrypC2001ContextLen] = {};
  int len = 0;
  EXPECT_EQ(CrypC_LR34_10_2001_set_parms(ctx, gRandom, nullptr, 32, nullptr, 32, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(CrypC_LR34_10_2001_gen_secret_key(ctx), 0);
  EXPECT_EQ(CrypC_LR34_10_2001_gen_public_key(ctx), 0);
  EXPECT_EQ(CrypC_LR34_10_2001_get_secret_key(ctx, k.Secret, &len), 0);
  EXPECT_EQ(CrypC_LR34_10_2001_get_public_key(ctx, k.Blob, &len), 0);
  CrypC_LR34_10_2001_clear(ctx);
  return k;
}

// GcryQ is libgcrypt's public point: 04 || X BE || Y BE.
TBytes GcryQ(const uint8_t* blob) {
  TBytes q{0x04};
  TBytes x = Reversed(blob, 32), y = Reversed(blob + 32, 32);
  q.insert(q.end(), x.begin(), x.end());
  q.insert(q.end(), y.begin(), y.end());
  return q;
}

TSexp GcryData(const uint8_t* hash) {
  TSexp d;
  TBytes e = Reversed(hash, 32);
  EXPECT_EQ(gcry_sexp_build(&d.S, nullptr, "(data (flags gost) (value %b))", 32, e.data()), 0u);
  return d;
}

TEST(GcryptCross, Gost2001ProviderSignsLibgcryptVerifies) {
  for (int i = 0; i < 6; ++i) {
    TKey2001 k = Gen2001();
    uint8_t hash[32], sig[64];
    for (int j = 0; j < 32; ++j) hash[j] = uint8_t(i * 31 + j * 17);
    uint8_t ctx[kCrypC2001ContextLen] = {};
    ASSERT_EQ(CrypC_LR34_10_2001_set_parms(ctx, gRandom, nullptr, 32, nullptr, 32, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(CrypC_LR34_10_2001_set_secret_key(ctx, k.Secret), 0);
    ASSERT_EQ(CrypC_LR34_10_2001_sign(ctx, hash, sig), 0);
    CrypC_LR34_10_2001_clear(ctx);

    TBytes q = GcryQ(k.Blob);
    TSexp key, s, data = GcryData(hash);
    ASSERT_EQ(gcry_sexp_build(&key.S, nullptr, "(public-key (ecc (curve GOST2001-CryptoPro-A) (q %b)))", int(q.size()),
                              q.data()),
              0u);
    ASSERT_EQ(gcry_sexp_build(&s.S, nullptr, "(sig-val (gost (r %b) (s %b)))", 32, sig + 32, 32, sig), 0u);
    EXPECT_EQ(gcry_pk_verify(s.S, data.S, key.S), 0u) << "iteration " << i;
    hash[0] ^= 1;
    TSexp bad = GcryData(hash);
    EXPECT_NE(gcry_pk_verify(s.S, bad.S, key.S), 0u);
  }
}

TEST(GcryptCross, Gost2001LibgcryptSignsProviderVerifies) {
  for (int i = 0; i < 6; ++i) {
    TKey2001 k = Gen2001();
    uint8_t hash[32];
    for (int j = 0; j < 32; ++j) hash[j] = uint8_t(i * 13 + j * 29 + 7);
    TBytes q = GcryQ(k.Blob), d = Reversed(k.Secret, 32);
    TSexp key, sig, data = GcryData(hash);
    ASSERT_EQ(gcry_sexp_build(&key.S, nullptr, "(private-key (ecc (curve GOST2001-CryptoPro-A) (q %b) (d %b)))",
                              int(q.size()), q.data(), 32, d.data()),
              0u);
    ASSERT_EQ(gcry_pk_sign(&sig.S, data.S, key.S), 0u);
    uint8_t sig64[64];
    for (const char* name : {"s", "r"}) {
      TSexp tok;
      tok.S = gcry_sexp_find_token(sig.S, name, 0);
      ASSERT_NE(tok.S, nullptr);
      TMpi m(gcry_sexp_nth_mpi(tok.S, 1, GCRYMPI_FMT_USG));
      TBytes be = m.Be(32);
      memcpy(sig64 + (name[0] == 's' ? 0 : 32), be.data(), 32);
    }
    uint8_t ctx[kCrypC2001ContextLen] = {};
    ASSERT_EQ(CrypC_LR34_10_2001_set_parms(ctx, gRandom, nullptr, 32, nullptr, 32, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(CrypC_LR34_10_2001_set_public_key(ctx, k.Blob), 0);
    EXPECT_EQ(CrypC_LR34_10_2001_verify(ctx, hash, sig64), 0) << "iteration " << i;
    hash[31] ^= 0x80;
    EXPECT_EQ(CrypC_LR34_10_2001_verify(ctx, hash, sig64), kCrypCVerifyNegative);
    CrypC_LR34_10_2001_clear(ctx);
  }
}

// ---- GOST R 34.10-94 and LDH_PKA with libgcrypt MPIs -----------------------

struct TGroup {
  TMpi P = TMpi::FromHex(crypc::kGost94CryptoProA.P);
  TMpi Q = TMpi::FromHex(crypc::kGost94CryptoProA.Q);
  TMpi A = TMpi::FromHex(crypc::kGost94CryptoProA.A);
};

TEST(GcryptCross, Gost94KeysAndSignatureEquation) {
  TGroup g;
  for (int i = 0; i < 4; ++i) {
    uint8_t ctx[kCrypC1994ContextLen] = {}, secret[32], pub[128], hash[32], sig[64];
    int len = 0;
    ASSERT_EQ(CrypC_LR34_10_1994_set_parms(ctx, gRandom, nullptr, 128, nullptr, 32, nullptr), 0);
    ASSERT_EQ(CrypC_LR34_10_1994_gen_secret_key(ctx), 0);
    ASSERT_EQ(CrypC_LR34_10_1994_gen_public_key(ctx), 0);
    ASSERT_EQ(CrypC_LR34_10_1994_get_secret_key(ctx, secret, &len), 0);
    ASSERT_EQ(CrypC_LR34_10_1994_get_public_key(ctx, pub, &len), 0);
    for (int j = 0; j < 32; ++j) hash[j] = uint8_t(i * 3 + j * 11);
    ASSERT_EQ(CrypC_LR34_10_1994_sign(ctx, hash, sig), 0);
    CrypC_LR34_10_1994_clear(ctx);

    // y = a^x mod p
    TMpi x = TMpi::FromLe(secret, 32), y = TMpi::FromLe(pub, 128), y2;
    gcry_mpi_powm(y2.M, g.A.M, x.M, g.P.M);
    EXPECT_TRUE(MpiEq(y, y2));

    // u = (a^(s/e) * y^(-r/e) mod p) mod q == r
    TMpi e = TMpi::FromLe(hash, 32), r = TMpi::FromBe(sig + 32, 32), s = TMpi::FromBe(sig, 32);
    gcry_mpi_mod(e.M, e.M, g.Q.M);
    if (gcry_mpi_cmp_ui(e.M, 0) == 0) gcry_mpi_set_ui(e.M, 1);
    TMpi v, z1, z2, t1, t2, u;
    ASSERT_TRUE(gcry_mpi_invm(v.M, e.M, g.Q.M));
    gcry_mpi_mulm(z1.M, s.M, v.M, g.Q.M);
    gcry_mpi_sub(z2.M, g.Q.M, r.M);
    gcry_mpi_mulm(z2.M, z2.M, v.M, g.Q.M);
    gcry_mpi_powm(t1.M, g.A.M, z1.M, g.P.M);
    gcry_mpi_powm(t2.M, y.M, z2.M, g.P.M);
    gcry_mpi_mulm(u.M, t1.M, t2.M, g.P.M);
    gcry_mpi_mod(u.M, u.M, g.Q.M);
    EXPECT_TRUE(MpiEq(u, r)) << "iteration " << i;
  }
}

TEST(GcryptCross, LdhPkaValuesMatchMpiPowers) {
  TGroup g;
  for (int i = 0; i < 3; ++i) {
    uint8_t a[kCrypCDhContextLen] = {}, b[kCrypCDhContextLen] = {};
    uint8_t secA[128], pubA[128], pubB[128], shared[128];
    int len = 0;
    ASSERT_EQ(CrypC_LDH_PKA_set_parms(a, gRandom, nullptr, 128, nullptr), 0);
    ASSERT_EQ(CrypC_LDH_PKA_set_parms(b, gRandom, nullptr, 128, nullptr), 0);
    ASSERT_EQ(CrypC_LDH_PKA_gen_secret_key(a), 0);
    ASSERT_EQ(CrypC_LDH_PKA_gen_public_key(a), 0);
    ASSERT_EQ(CrypC_LDH_PKA_get_secret_key(a, secA, &len), 0);
    ASSERT_EQ(CrypC_LDH_PKA_get_public_key(a, pubA, &len), 0);
    ASSERT_EQ(CrypC_LDH_PKA_gen_secret_key(b), 0);
    ASSERT_EQ(CrypC_LDH_PKA_gen_public_key(b), 0);
    ASSERT_EQ(CrypC_LDH_PKA_get_public_key(b, pubB, &len), 0);
    ASSERT_EQ(CrypC_LDH_PKA_gen_mutual_key(a, pubB, shared), 0);
    CrypC_LDH_PKA_clear(a);
    CrypC_LDH_PKA_clear(b);

    TMpi x = TMpi::FromLe(secA, 128), ya, k;
    EXPECT_GT(gcry_mpi_cmp_ui(x.M, 0), 0);
    EXPECT_LT(gcry_mpi_cmp(x.M, g.Q.M), 0);
    gcry_mpi_powm(ya.M, g.A.M, x.M, g.P.M);
    EXPECT_TRUE(MpiEq(ya, TMpi::FromLe(pubA, 128)));
    TMpi yb = TMpi::FromLe(pubB, 128);
    gcry_mpi_powm(k.M, yb.M, x.M, g.P.M);
    EXPECT_TRUE(MpiEq(k, TMpi::FromLe(shared, 128))) << "iteration " << i;
  }
}

}  // namespace
