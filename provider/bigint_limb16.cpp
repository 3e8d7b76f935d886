// 1024-bit Montgomery products by product scanning with the reduction
// interleaved column by column: a three-word accumulator runs over the 32
// columns of a*b + u*m, so no intermediate row is ever stored and each partial
// product costs one multiply and three additions. Every loop has a constant
// trip count and is fully unrolled; the only data-dependent step is the final
// subtraction, which is masked.
#include "bigint_limb16.h"

#if defined(__SIZEOF_INT128__) && !defined(TZM_NO_INT128)

namespace crypc {
namespace limb16 {
namespace {

using u64 = uint64_t;
using u128 = unsigned __int128;
constexpr int N = kLimbs;

#define TZM_LIMB16_INLINE inline __attribute__((always_inline))

// TAcc is the column accumulator c2:c1:c0.
struct TAcc {
  u64 C0 = 0, C1 = 0, C2 = 0;

  TZM_LIMB16_INLINE void MulAdd(u64 x, u64 y) {
    const u128 p = (u128)x * y;
    const u128 s = (((u128)C1 << 64) | C0) + p;
    C2 += s < p;
    C0 = u64(s);
    C1 = u64(s >> 64);
  }
  // AddTwice adds 2*(d2:d1:d0); the doubled cross products of a square.
  TZM_LIMB16_INLINE void AddTwice(const TAcc& d) {
    const u128 v = ((u128)d.C1 << 64) | d.C0;
    u128 s = (((u128)C1 << 64) | C0) + v;
    u64 top = C2 + (s < v) + 2 * d.C2;
    const u128 s2 = s + v;
    top += s2 < v;
    C0 = u64(s2);
    C1 = u64(s2 >> 64);
    C2 = top;
  }
  TZM_LIMB16_INLINE void Shift() {
    C0 = C1;
    C1 = C2;
    C2 = 0;
  }
};

// CloseLowColumn ends column k < N: u_k = c0 * m0Inv zeroes the column's low
// word once u_k*m_0 is added; the word is dropped and the accumulator shifts.
TZM_LIMB16_INLINE u64 CloseLowColumn(TAcc& acc, u64 m0, u64 m0Inv) {
  const u64 u = acc.C0 * m0Inv;
  acc.MulAdd(u, m0);
  acc.Shift();
  return u;
}

// FinalSubtract writes t - m to r when t (with its top bit) is >= m, else t.
TZM_LIMB16_INLINE void FinalSubtract(u64* r, const u64* t, u64 top, const u64* m) {
  u64 d[N];
  u64 borrow = 0;
#pragma GCC unroll 16
  for (int i = 0; i < N; ++i) {
    const u128 x = (u128)t[i] - m[i] - borrow;
    d[i] = u64(x);
    borrow = u64(x >> 64) & 1;
  }
  const u64 useD = u64(0) - ((top | (borrow ^ 1)) & 1);
#pragma GCC unroll 16
  for (int i = 0; i < N; ++i) r[i] = t[i] ^ ((t[i] ^ d[i]) & useD);
}

}  // namespace

void MontMul(u64* r, const u64* a, const u64* b, const u64* m, u64 m0Inv) {
  u64 u[N], t[N];
  TAcc acc;
#pragma GCC unroll 16
  for (int k = 0; k < N; ++k) {
#pragma GCC unroll 16
    for (int i = 0; i <= k; ++i) acc.MulAdd(a[i], b[k - i]);
#pragma GCC unroll 16
    for (int i = 0; i < k; ++i) acc.MulAdd(u[i], m[k - i]);
    u[k] = CloseLowColumn(acc, m[0], m0Inv);
  }
#pragma GCC unroll 16
  for (int k = N; k < 2 * N - 1; ++k) {
#pragma GCC unroll 16
    for (int i = k - N + 1; i < N; ++i) {
      acc.MulAdd(a[i], b[k - i]);
      acc.MulAdd(u[i], m[k - i]);
    }
    t[k - N] = acc.C0;
    acc.Shift();
  }
  t[N - 1] = acc.C0;
  FinalSubtract(r, t, acc.C1, m);
}

void MontSqr(u64* r, const u64* a, const u64* m, u64 m0Inv) {
  u64 u[N], t[N];
  TAcc acc;
#pragma GCC unroll 32
  for (int k = 0; k < 2 * N - 1; ++k) {
    TAcc cross;  // sum of a_i*a_j over i < j, i + j = k
#pragma GCC unroll 16
    for (int i = (k < N ? 0 : k - N + 1); i < k - i; ++i) cross.MulAdd(a[i], a[k - i]);
    acc.AddTwice(cross);
    if ((k & 1) == 0) acc.MulAdd(a[k / 2], a[k / 2]);
    if (k < N) {
#pragma GCC unroll 16
      for (int i = 0; i < k; ++i) acc.MulAdd(u[i], m[k - i]);
      u[k] = CloseLowColumn(acc, m[0], m0Inv);
    } else {
#pragma GCC unroll 16
      for (int i = k - N + 1; i < N; ++i) acc.MulAdd(u[i], m[k - i]);
      t[k - N] = acc.C0;
      acc.Shift();
    }
  }
  t[N - 1] = acc.C0;
  FinalSubtract(r, t, acc.C1, m);
}

}  // namespace limb16
}  // namespace crypc

#endif
