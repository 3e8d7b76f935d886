// Montgomery arithmetic against libgcrypt's MPIs on every built-in modulus,
// with operands chosen to stress carries: 0, 1, M-1, M-2, values with all-ones
// limbs, and pseudo-random values.
#include <gcrypt.h>
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bigint.h"
#include "params_gost3410.h"

using namespace crypc;

namespace {

template <size_t N>
gcry_mpi_t ToMpi(const TNat<N>& v) {
  uint8_t be[N * 8];
  v.ToBe(be);
  gcry_mpi_t m = nullptr;
  gcry_mpi_scan(&m, GCRYMPI_FMT_USG, be, sizeof be, nullptr);
  return m;
}

template <size_t N>
TNat<N> FromMpi(gcry_mpi_t m) {
  uint8_t buf[N * 8 + 8] = {};
  size_t n = 0;
  gcry_mpi_print(GCRYMPI_FMT_USG, buf, sizeof buf, &n, m);
  uint8_t be[N * 8] = {};
  if (n <= N * 8) memcpy(be + (N * 8 - n), buf, n);
  return TNat<N>::FromBe(be);
}

template <size_t N>
std::vector<TNat<N>> Operands(const TNat<N>& m, std::mt19937_64& rng) {
  std::vector<TNat<N>> out = {TNat<N>(), TNat<N>::FromWord(1), TNat<N>::FromWord(2)};
  TNat<N> t;
  Sub(t, m, TNat<N>::FromWord(1));
  out.push_back(t);
  Sub(t, m, TNat<N>::FromWord(2));
  out.push_back(t);
  for (size_t k = 1; k < N; ++k) {  // low k limbs all ones
    TNat<N> v;
    for (size_t i = 0; i < k; ++i) v.V[i] = ~TLimb(0);
    out.push_back(v);
  }
  for (int i = 0; i < 12; ++i) {
    TNat<N> v;
    for (size_t j = 0; j < N; ++j) v.V[j] = rng();
    while (!LessMask(v, m)) v.V[N - 1] >>= 1;
    out.push_back(v);
  }
  return out;
}

template <size_t N>
void CheckField(const char* hex) {
  SCOPED_TRACE(hex);
  const TNat<N> mod = ParseHex<N>(hex);
  const TMontField<N> f(mod);
  gcry_mpi_t m = ToMpi(mod), r = gcry_mpi_new(0);
  std::mt19937_64 rng(N * 1000 + mod.V[0]);
  const auto ops = Operands(mod, rng);
  for (const auto& a : ops) {
    gcry_mpi_t ma = ToMpi(a);
    const TNat<N> am = f.ToMont(a);
    EXPECT_TRUE(Equal(f.FromMont(am), a));
    TNat<N> t;
    f.Sqr(t, am);
    gcry_mpi_mulm(r, ma, ma, m);
    EXPECT_TRUE(Equal(f.FromMont(t), FromMpi<N>(r))) << "square";
    if (!IsZero(a)) {
      gcry_mpi_invm(r, ma, m);
      const TNat<N> inv = FromMpi<N>(r);
      EXPECT_TRUE(Equal(f.FromMont(f.InvPrime(am)), inv)) << "Fermat inverse";
      EXPECT_TRUE(Equal(f.FromMont(f.InvPublic(am)), inv)) << "binary gcd inverse";
    }
    for (const auto& b : ops) {
      gcry_mpi_t mb = ToMpi(b);
      const TNat<N> bm = f.ToMont(b);
      f.Mul(t, am, bm);
      gcry_mpi_mulm(r, ma, mb, m);
      EXPECT_TRUE(Equal(f.FromMont(t), FromMpi<N>(r))) << "product";
      f.AddMod(t, a, b);
      gcry_mpi_addm(r, ma, mb, m);
      EXPECT_TRUE(Equal(t, FromMpi<N>(r))) << "sum";
      f.SubMod(t, a, b);
      gcry_mpi_subm(r, ma, mb, m);
      EXPECT_TRUE(Equal(t, FromMpi<N>(r))) << "difference";
      gcry_mpi_release(mb);
    }
    // Exponent: a 256-bit value built from the operand list.
    TNat<4> e;
    for (size_t i = 0; i < 4; ++i) e.V[i] = a.V[i % N] ^ rng();
    gcry_mpi_t me = ToMpi(e);
    gcry_mpi_powm(r, ma, me, m);
    const TNat<N> expect = FromMpi<N>(r);
    EXPECT_TRUE(Equal(f.FromMont(f.PowSecret(am, e)), expect)) << "fixed-window power";
    EXPECT_TRUE(Equal(f.FromMont(f.PowPublic(am, e)), expect)) << "binary power";
    gcry_mpi_release(me);
    gcry_mpi_release(ma);
  }
  gcry_mpi_release(r);
  gcry_mpi_release(m);
}

}  // namespace

TEST(BigInt, MontgomeryArithmeticMatchesLibgcrypt) {
  CheckField<16>(kGost94CryptoProA.P);
  CheckField<4>(kGost94CryptoProA.Q);
  CheckField<4>(kGost2001CryptoProA.P);
  CheckField<4>(kGost2001CryptoProA.Q);
  CheckField<4>(kGost2001Test.P);
  CheckField<4>(kGost2001Test.Q);
}

TEST(BigInt, WideReductionMatchesLibgcrypt) {
  const TMontField<4> q(ParseHex<4>(kGost94CryptoProA.Q));
  std::mt19937_64 rng(7);
  gcry_mpi_t mq = ToMpi(q.M), r = gcry_mpi_new(0);
  for (int i = 0; i < 40; ++i) {
    TNat<16> v;
    for (size_t j = 0; j < 16; ++j) v.V[j] = i == 0 ? ~TLimb(0) : rng();
    std::vector<TNat<4>> chunks(4);
    for (size_t j = 0; j < 16; ++j) chunks[j / 4].V[j % 4] = v.V[j];
    gcry_mpi_t mv = ToMpi(v);
    gcry_mpi_mod(r, mv, mq);
    EXPECT_TRUE(Equal(q.ReduceWide(chunks), FromMpi<4>(r)));
    gcry_mpi_release(mv);
  }
  gcry_mpi_release(r);
  gcry_mpi_release(mq);
}

// The unrolled 1024-bit kernels against the generic loops they replace, on
// moduli whose all-ones limbs push every column accumulator to its limits,
// with the output aliasing either input as the exponentiation uses it.
TEST(BigInt, Unrolled1024KernelsMatchGenericLoops) {
  TNat<16> allOnesMod, topAndOneMod;  // 2^1024 - 1 and 2^1023 + 1
  for (auto& v : allOnesMod.V) v = ~TLimb(0);
  topAndOneMod.V[0] = 1;
  topAndOneMod.V[15] = TLimb(1) << 63;
  std::mt19937_64 rng(1024);
  for (const TNat<16>& mod : {ParseHex<16>(kGost94CryptoProA.P), allOnesMod, topAndOneMod}) {
    SCOPED_TRACE(mod.V[15]);
    const TMontField<16> f(mod);
    const auto ops = Operands(f.M, rng);
    for (const auto& a : ops) {
      TNat<16> want, got = a;
      f.SqrWide(want, a);
      f.Sqr(got, got);
      EXPECT_TRUE(Equal(got, want)) << "square";
      for (const auto& b : ops) {
        f.MulLoop(want, a, b);
        f.Mul(got, a, b);
        EXPECT_TRUE(Equal(got, want)) << "product";
        got = b;
        f.Mul(got, a, got);
        EXPECT_TRUE(Equal(got, want)) << "product into its second operand";
      }
    }
    // Exponents at the window edges: zero, one, top nibble set, all ones.
    const TNat<16> base = f.ToMont(ops.back());
    TNat<4> allOnes, top;
    for (auto& v : allOnes.V) v = ~TLimb(0);
    top.V[3] = TLimb(0xF) << 60;
    for (const TNat<4>& e : {TNat<4>(), TNat<4>::FromWord(1), top, allOnes})
      EXPECT_TRUE(Equal(f.PowSecret(base, e), f.PowPublic(base, e)));
  }
}
