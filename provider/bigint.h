// Fixed-width unsigned integers and Montgomery arithmetic for the public-key
// half. Widths are compile-time (4 limbs for 256-bit values, 16 for 1024-bit),
// so every loop has a public trip count; comparisons, selections and the final
// Montgomery subtraction are branch-free, which keeps secret operands off the
// timing side channel. Limbs wipe themselves when they go out of scope.
#ifndef TZM_PROVIDER_BIGINT_H
#define TZM_PROVIDER_BIGINT_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <span>

#include "bigint_limb16.h"

namespace crypc {

using TLimb = uint64_t;
constexpr size_t kLimbBits = 64;

// MulAdd returns a*b + c + d as (hi, lo); the sum always fits in 128 bits.
#if defined(__SIZEOF_INT128__) && !defined(TZM_NO_INT128)
inline TLimb MulAdd(TLimb a, TLimb b, TLimb c, TLimb d, TLimb& hi) {
  unsigned __int128 t = (unsigned __int128)a * b + c + d;
  hi = TLimb(t >> 64);
  return TLimb(t);
}
#else
// 32x32->64 partial products for targets without a 128-bit type (i686).
inline TLimb MulAdd(TLimb a, TLimb b, TLimb c, TLimb d, TLimb& hi) {
  const uint64_t aLo = uint32_t(a), aHi = a >> 32, bLo = uint32_t(b), bHi = b >> 32;
  const uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
  const uint64_t mid = (ll >> 32) + uint32_t(lh) + uint32_t(hl);
  uint64_t lo = (mid << 32) | uint32_t(ll);
  uint64_t h = hh + (lh >> 32) + (hl >> 32) + (mid >> 32);
  lo += c;
  h += (lo < c);
  lo += d;
  h += (lo < d);
  hi = h;
  return lo;
}
#endif

// AddCarry returns a + b + carryIn and sets carryOut (0 or 1).
inline TLimb AddCarry(TLimb a, TLimb b, TLimb carryIn, TLimb& carryOut) {
  TLimb s = a + b;
  TLimb c1 = s < a;
  TLimb r = s + carryIn;
  carryOut = c1 | (r < s);
  return r;
}

// SubBorrow returns a - b - borrowIn and sets borrowOut (0 or 1).
inline TLimb SubBorrow(TLimb a, TLimb b, TLimb borrowIn, TLimb& borrowOut) {
  TLimb d = a - b;
  TLimb b1 = a < b;
  TLimb r = d - borrowIn;
  borrowOut = b1 | (d < borrowIn);
  return r;
}

// WipeLimbs zeroes limbs in a way the compiler cannot drop; inline because
// every temporary TNat runs it.
inline void WipeLimbs(TLimb* p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = 0;
  __asm__ __volatile__("" : : "r"(p) : "memory");
}

// MaskFromBit turns 0/1 into 0 / all ones without a branch.
inline TLimb MaskFromBit(TLimb bit) { return TLimb(0) - (bit & 1); }

// IsZeroMask answers all ones when x == 0, else 0, without a branch.
inline TLimb IsZeroMask(TLimb x) { return MaskFromBit(~((x | (TLimb(0) - x)) >> 63) & 1); }

#if defined(__SIZEOF_INT128__) && !defined(TZM_NO_INT128)
#define TZM_FAST_LIMBS 1
// Straight-line 4-limb kernels: every limb stays in a register, roughly twice
// as fast as the loops below, which matters for the curve arithmetic.
namespace limb4 {
using u128 = unsigned __int128;

// ReduceOnce4 sets r = t - m when the 5-limb value (carry, t3..t0) is at
// least m, else r = t; the choice is a mask, not a branch.
inline void ReduceOnce4(TLimb* r, TLimb t0, TLimb t1, TLimb t2, TLimb t3, TLimb carry, const TLimb* m) {
  u128 d;
  TLimb bo;
  d = (u128)t0 - m[0];
  const TLimb d0 = TLimb(d);
  bo = TLimb(d >> 64) & 1;
  d = (u128)t1 - m[1] - bo;
  const TLimb d1 = TLimb(d);
  bo = TLimb(d >> 64) & 1;
  d = (u128)t2 - m[2] - bo;
  const TLimb d2 = TLimb(d);
  bo = TLimb(d >> 64) & 1;
  d = (u128)t3 - m[3] - bo;
  const TLimb d3 = TLimb(d);
  bo = TLimb(d >> 64) & 1;
  const TLimb mask = MaskFromBit(carry | (bo ^ 1));
  r[0] = t0 ^ ((t0 ^ d0) & mask);
  r[1] = t1 ^ ((t1 ^ d1) & mask);
  r[2] = t2 ^ ((t2 ^ d2) & mask);
  r[3] = t3 ^ ((t3 ^ d3) & mask);
}

inline void MontMul(TLimb* r, const TLimb* a, const TLimb* b, const TLimb* m, TLimb m0Inv) {
  TLimb t0 = 0, t1 = 0, t2 = 0, t3 = 0, t4 = 0, t5;
  const TLimb a0 = a[0], a1 = a[1], a2 = a[2], a3 = a[3];
#pragma GCC unroll 4
  for (int i = 0; i < 4; ++i) {
    const TLimb bi = b[i];
    u128 s;
    TLimb c;
    s = (u128)a0 * bi + t0;
    t0 = TLimb(s), c = TLimb(s >> 64);
    s = (u128)a1 * bi + t1 + c;
    t1 = TLimb(s), c = TLimb(s >> 64);
    s = (u128)a2 * bi + t2 + c;
    t2 = TLimb(s), c = TLimb(s >> 64);
    s = (u128)a3 * bi + t3 + c;
    t3 = TLimb(s), c = TLimb(s >> 64);
    s = (u128)t4 + c;
    t4 = TLimb(s), t5 = TLimb(s >> 64);
    const TLimb u = t0 * m0Inv;
    s = (u128)u * m[0] + t0;
    c = TLimb(s >> 64);
    s = (u128)u * m[1] + t1 + c;
    t0 = TLimb(s), c = TLimb(s >> 64);
    s = (u128)u * m[2] + t2 + c;
    t1 = TLimb(s), c = TLimb(s >> 64);
    s = (u128)u * m[3] + t3 + c;
    t2 = TLimb(s), c = TLimb(s >> 64);
    s = (u128)t4 + c;
    t3 = TLimb(s), t4 = t5 + TLimb(s >> 64);
  }
  ReduceOnce4(r, t0, t1, t2, t3, t4, m);
}

inline void AddMod(TLimb* r, const TLimb* a, const TLimb* b, const TLimb* m) {
  u128 s;
  TLimb c;
  s = (u128)a[0] + b[0];
  const TLimb r0 = TLimb(s);
  c = TLimb(s >> 64);
  s = (u128)a[1] + b[1] + c;
  const TLimb r1 = TLimb(s);
  c = TLimb(s >> 64);
  s = (u128)a[2] + b[2] + c;
  const TLimb r2 = TLimb(s);
  c = TLimb(s >> 64);
  s = (u128)a[3] + b[3] + c;
  const TLimb r3 = TLimb(s);
  c = TLimb(s >> 64);
  ReduceOnce4(r, r0, r1, r2, r3, c, m);
}

inline void SubMod(TLimb* r, const TLimb* a, const TLimb* b, const TLimb* m) {
  u128 s;
  TLimb bo, c;
  s = (u128)a[0] - b[0];
  const TLimb r0 = TLimb(s);
  bo = TLimb(s >> 64) & 1;
  s = (u128)a[1] - b[1] - bo;
  const TLimb r1 = TLimb(s);
  bo = TLimb(s >> 64) & 1;
  s = (u128)a[2] - b[2] - bo;
  const TLimb r2 = TLimb(s);
  bo = TLimb(s >> 64) & 1;
  s = (u128)a[3] - b[3] - bo;
  const TLimb r3 = TLimb(s);
  bo = TLimb(s >> 64) & 1;
  const TLimb mask = MaskFromBit(bo);
  s = (u128)r0 + (m[0] & mask);
  r[0] = TLimb(s);
  c = TLimb(s >> 64);
  s = (u128)r1 + (m[1] & mask) + c;
  r[1] = TLimb(s);
  c = TLimb(s >> 64);
  s = (u128)r2 + (m[2] & mask) + c;
  r[2] = TLimb(s);
  c = TLimb(s >> 64);
  r[3] = r3 + (m[3] & mask) + c;
}

}  // namespace limb4
#endif

// GCC's vectoriser slows the multi-limb carry loops down; keep it off them.
#if defined(__GNUC__) && !defined(__clang__)
#define TZM_NO_VECTORIZE __attribute__((optimize("no-tree-vectorize")))
#else
#define TZM_NO_VECTORIZE
#endif

// TNat is an N-limb unsigned integer, least significant limb first. It wipes
// itself on destruction, since most values in this library derive from keys.
template <size_t N>
struct TNat {
  TLimb V[N];

  TNat() { memset(V, 0, sizeof V); }
  TNat(const TNat& o) { memcpy(V, o.V, sizeof V); }
  TNat& operator=(const TNat& o) {
    memcpy(V, o.V, sizeof V);
    return *this;
  }
  ~TNat() { WipeLimbs(V, N); }

  static constexpr size_t kBytes = N * 8;

  static TNat FromWord(TLimb w) {
    TNat r;
    r.V[0] = w;
    return r;
  }

  // FromLe reads exactly kBytes little-endian bytes.
  static TNat FromLe(const uint8_t* in) {
    TNat r;
    for (size_t i = 0; i < N; ++i) {
      TLimb w = 0;
      for (size_t j = 0; j < 8; ++j) w |= TLimb(in[8 * i + j]) << (8 * j);
      r.V[i] = w;
    }
    return r;
  }
  // FromBe reads exactly kBytes big-endian bytes.
  static TNat FromBe(const uint8_t* in) {
    TNat r;
    for (size_t i = 0; i < N; ++i) {
      TLimb w = 0;
      for (size_t j = 0; j < 8; ++j) w |= TLimb(in[kBytes - 1 - (8 * i + j)]) << (8 * j);
      r.V[i] = w;
    }
    return r;
  }
  // ToLe / ToBe write exactly kBytes bytes, zero-padded to the full width.
  void ToLe(uint8_t* out) const {
    for (size_t i = 0; i < N; ++i)
      for (size_t j = 0; j < 8; ++j) out[8 * i + j] = uint8_t(V[i] >> (8 * j));
  }
  void ToBe(uint8_t* out) const {
    for (size_t i = 0; i < N; ++i)
      for (size_t j = 0; j < 8; ++j) out[kBytes - 1 - (8 * i + j)] = uint8_t(V[i] >> (8 * j));
  }

  // Bit reads bit i (public position).
  TLimb Bit(size_t i) const { return (V[i / 64] >> (i % 64)) & 1; }
  // Nibble reads the 4-bit digit at position i (bits 4i..4i+3).
  unsigned Nibble(size_t i) const { return unsigned(V[i / 16] >> (4 * (i % 16))) & 15; }
  size_t BitLength() const {  // variable time: public values only
    for (size_t i = N; i-- > 0;)
      if (V[i] != 0) {
        size_t b = 64;
        while (((V[i] >> (b - 1)) & 1) == 0) --b;
        return i * 64 + b;
      }
    return 0;
  }
};

// ParseHex reads a big-endian hex string of at most N*16 digits (constants only).
template <size_t N>
TNat<N> ParseHex(const char* hex) {
  TNat<N> r;
  size_t len = strlen(hex);
  for (size_t k = 0; k < len && k < N * 16; ++k) {
    char c = hex[len - 1 - k];
    TLimb d = (c >= '0' && c <= '9') ? TLimb(c - '0') : (c >= 'a' && c <= 'f') ? TLimb(c - 'a' + 10) : TLimb(c - 'A' + 10);
    r.V[k / 16] |= d << (4 * (k % 16));
  }
  return r;
}

// Add sets r = a + b and returns the carry.
template <size_t N>
inline TLimb Add(TNat<N>& r, const TNat<N>& a, const TNat<N>& b) {
  TLimb c = 0;
  for (size_t i = 0; i < N; ++i) r.V[i] = AddCarry(a.V[i], b.V[i], c, c);
  return c;
}

// Sub sets r = a - b and returns the borrow.
template <size_t N>
inline TLimb Sub(TNat<N>& r, const TNat<N>& a, const TNat<N>& b) {
  TLimb c = 0;
  for (size_t i = 0; i < N; ++i) r.V[i] = SubBorrow(a.V[i], b.V[i], c, c);
  return c;
}

// Select sets r = mask ? a : r, mask all ones or zero.
template <size_t N>
inline void Select(TNat<N>& r, const TNat<N>& a, TLimb mask) {
  for (size_t i = 0; i < N; ++i) r.V[i] ^= (r.V[i] ^ a.V[i]) & mask;
}

// IsZero answers an all-ones mask when a == 0 (constant time).
template <size_t N>
inline TLimb IsZero(const TNat<N>& a) {
  TLimb acc = 0;
  for (size_t i = 0; i < N; ++i) acc |= a.V[i];
  return IsZeroMask(acc);
}

// LessMask answers all ones when a < b (constant time).
template <size_t N>
inline TLimb LessMask(const TNat<N>& a, const TNat<N>& b) {
  TNat<N> t;
  return MaskFromBit(Sub(t, a, b));
}

template <size_t N>
inline bool Equal(const TNat<N>& a, const TNat<N>& b) {
  TLimb acc = 0;
  for (size_t i = 0; i < N; ++i) acc |= a.V[i] ^ b.V[i];
  return acc == 0;
}

// TMontField holds an odd modulus M and the constants of Montgomery arithmetic
// with R = 2^(64N). Values "in Montgomery form" are a*R mod M, fully reduced.
template <size_t N>
class TMontField {
 public:
  TNat<N> M;
  TNat<N> One;  // R mod M (1 in Montgomery form)
  TNat<N> R2;   // R^2 mod M
  TLimb M0Inv = 0;  // -M^-1 mod 2^64

  explicit TMontField(const TNat<N>& m) : M(m) {
    TLimb inv = 1;  // Newton iteration for M^-1 mod 2^64 (M odd)
    for (int i = 0; i < 6; ++i) inv *= 2 - m.V[0] * inv;
    M0Inv = TLimb(0) - inv;
    TNat<N> x = TNat<N>::FromWord(1);
    if (!LessMask(x, M)) x = TNat<N>();
    for (size_t i = 0; i < 64 * N; ++i) AddMod(x, x, x);
    One = x;
    for (size_t i = 0; i < 64 * N; ++i) AddMod(x, x, x);
    R2 = x;
  }

  // Mul sets r = a*b/R mod M (CIOS); a, b < M. r may alias a or b.
  void Mul(TNat<N>& r, const TNat<N>& a, const TNat<N>& b) const {
#if defined(TZM_FAST_LIMBS)
    if constexpr (N == 4) {
      limb4::MontMul(r.V, a.V, b.V, M.V, M0Inv);
      return;
    }
    if constexpr (N == 16) {
      limb16::MontMul(r.V, a.V, b.V, M.V, M0Inv);
      return;
    }
#endif
    MulLoop(r, a, b);
  }

  TZM_NO_VECTORIZE void MulLoop(TNat<N>& r, const TNat<N>& a, const TNat<N>& b) const {
    TLimb t[N + 2];
    for (size_t i = 0; i < N + 2; ++i) t[i] = 0;
    for (size_t i = 0; i < N; ++i) {
      TLimb c = 0;
      const TLimb bi = b.V[i];
      for (size_t j = 0; j < N; ++j) t[j] = MulAdd(a.V[j], bi, t[j], c, c);
      TLimb c2;
      t[N] = AddCarry(t[N], c, 0, c2);
      t[N + 1] = c2;
      const TLimb u = t[0] * M0Inv;
      MulAdd(u, M.V[0], t[0], 0, c);
      for (size_t j = 1; j < N; ++j) t[j - 1] = MulAdd(u, M.V[j], t[j], c, c);
      t[N - 1] = AddCarry(t[N], c, 0, c2);
      t[N] = t[N + 1] + c2;
    }
    // t < 2M: subtract M when t >= M. The scratch arrays are plain stack that
    // the next arithmetic call overwrites; long-lived values are TNat.
    TLimb d[N];
    TLimb borrow = 0;
    for (size_t i = 0; i < N; ++i) d[i] = SubBorrow(t[i], M.V[i], borrow, borrow);
    TLimb useD = MaskFromBit(t[N] | (borrow ^ 1));
    for (size_t i = 0; i < N; ++i) r.V[i] = (t[i] & ~useD) | (d[i] & useD);
  }

  // Sqr sets r = a*a/R mod M. Wide values compute each cross product once.
  void Sqr(TNat<N>& r, const TNat<N>& a) const {
#if defined(TZM_FAST_LIMBS)
    if constexpr (N == 16) {
      limb16::MontSqr(r.V, a.V, M.V, M0Inv);
      return;
    }
#endif
    if constexpr (N >= 8) {
      SqrWide(r, a);
    } else {
      Mul(r, a, a);
    }
  }

  TZM_NO_VECTORIZE void SqrWide(TNat<N>& r, const TNat<N>& a) const {
    TLimb t[2 * N];
    for (size_t i = 0; i < 2 * N; ++i) t[i] = 0;
    for (size_t i = 0; i < N; ++i) {  // cross products a[i]*a[j], i < j
      TLimb c = 0;
      for (size_t j = i + 1; j < N; ++j) t[i + j] = MulAdd(a.V[i], a.V[j], t[i + j], c, c);
      t[i + N] = c;
    }
    TLimb hi = 0;
    for (size_t i = 0; i < 2 * N; ++i) {  // double them
      const TLimb v = t[i];
      t[i] = (v << 1) | hi;
      hi = v >> 63;
    }
    TLimb c = 0;
    for (size_t i = 0; i < N; ++i) {  // add the squares a[i]^2
      TLimb sqHi;
      t[2 * i] = MulAdd(a.V[i], a.V[i], t[2 * i], c, sqHi);
      t[2 * i + 1] = AddCarry(t[2 * i + 1], sqHi, 0, c);
    }
    TLimb top = 0;  // Montgomery reduction of the 2N-limb square
    for (size_t i = 0; i < N; ++i) {
      const TLimb u = t[i] * M0Inv;
      TLimb cc = 0;
      for (size_t j = 0; j < N; ++j) t[i + j] = MulAdd(u, M.V[j], t[i + j], cc, cc);
      TLimb c2;
      t[i + N] = AddCarry(t[i + N], cc, top, c2);
      top = c2;
    }
    TLimb d[N], borrow = 0;
    for (size_t i = 0; i < N; ++i) d[i] = SubBorrow(t[N + i], M.V[i], borrow, borrow);
    const TLimb useD = MaskFromBit(top | (borrow ^ 1));
    for (size_t i = 0; i < N; ++i) r.V[i] = (t[N + i] & ~useD) | (d[i] & useD);
  }

  // AddMod / SubMod: a, b < M.
  void AddMod(TNat<N>& r, const TNat<N>& a, const TNat<N>& b) const {
#if defined(TZM_FAST_LIMBS)
    if constexpr (N == 4) {
      limb4::AddMod(r.V, a.V, b.V, M.V);
      return;
    }
#endif
    TLimb carry = 0, borrow = 0, d[N];
    for (size_t i = 0; i < N; ++i) r.V[i] = AddCarry(a.V[i], b.V[i], carry, carry);
    for (size_t i = 0; i < N; ++i) d[i] = SubBorrow(r.V[i], M.V[i], borrow, borrow);
    const TLimb mask = MaskFromBit(carry | (borrow ^ 1));
    for (size_t i = 0; i < N; ++i) r.V[i] ^= (r.V[i] ^ d[i]) & mask;
  }
  void SubMod(TNat<N>& r, const TNat<N>& a, const TNat<N>& b) const {
#if defined(TZM_FAST_LIMBS)
    if constexpr (N == 4) {
      limb4::SubMod(r.V, a.V, b.V, M.V);
      return;
    }
#endif
    TLimb borrow = 0, carry = 0;
    for (size_t i = 0; i < N; ++i) r.V[i] = SubBorrow(a.V[i], b.V[i], borrow, borrow);
    const TLimb mask = MaskFromBit(borrow);
    for (size_t i = 0; i < N; ++i) r.V[i] = AddCarry(r.V[i], M.V[i] & mask, carry, carry);
  }
  void NegMod(TNat<N>& r, const TNat<N>& a) const { SubMod(r, TNat<N>(), a); }

  // Reduce returns a mod M for any a < 2M (one conditional subtraction).
  TNat<N> ReduceOnce(const TNat<N>& a) const {
    TNat<N> r = a, d;
    TLimb borrow = Sub(d, a, M);
    Select(r, d, MaskFromBit(borrow ^ 1));
    return r;
  }

  TNat<N> ToMont(const TNat<N>& a) const {  // a < M
    TNat<N> r;
    Mul(r, a, R2);
    return r;
  }
  TNat<N> FromMont(const TNat<N>& a) const {
    TNat<N> r;
    Mul(r, a, TNat<N>::FromWord(1));
    return r;
  }
  // MulMod: plain (non-Montgomery) a*b mod M for a, b < M.
  TNat<N> MulMod(const TNat<N>& a, const TNat<N>& b) const {
    TNat<N> t;
    Mul(t, a, b);
    Mul(t, t, R2);
    return t;
  }

  // PowPublic returns base^e in Montgomery form for a public exponent e
  // (square-and-multiply, time depends on e only); base in Montgomery form.
  template <size_t K>
  TNat<N> PowPublic(const TNat<N>& base, const TNat<K>& e) const {
    TNat<N> r = One;
    for (size_t i = e.BitLength(); i-- > 0;) {
      Sqr(r, r);
      if (e.Bit(i)) Mul(r, r, base);
    }
    return r;
  }

  // InvPrime returns a^-1 in Montgomery form (M prime, a != 0), by Fermat
  // with fixed windows: constant time, for values derived from secrets.
  TNat<N> InvPrime(const TNat<N>& a) const {
    TNat<N> e;
    Sub(e, M, TNat<N>::FromWord(2));
    return PowSecret(a, e);
  }

  // InvPublic returns a^-1 in Montgomery form (M prime, a != 0) by the binary
  // extended Euclidean algorithm: much faster, but its time depends on a, so
  // only for public values.
  TNat<N> InvPublic(const TNat<N>& aMont) const {
    TNat<N> u = FromMont(aMont), v = M, x1 = TNat<N>::FromWord(1), x2;
    const TNat<N> one = TNat<N>::FromWord(1);
    auto halve = [this](TNat<N>& x) {  // x/2 mod M
      TLimb carry = 0;
      if (x.V[0] & 1) carry = Add(x, x, M);
      for (size_t i = 0; i + 1 < N; ++i) x.V[i] = (x.V[i] >> 1) | (x.V[i + 1] << 63);
      x.V[N - 1] = (x.V[N - 1] >> 1) | (carry << 63);
    };
    auto shift = [](TNat<N>& x) {
      for (size_t i = 0; i + 1 < N; ++i) x.V[i] = (x.V[i] >> 1) | (x.V[i + 1] << 63);
      x.V[N - 1] >>= 1;
    };
    while (!Equal(u, one) && !Equal(v, one)) {
      if (IsZero(u)) return TNat<N>();  // a was a multiple of M
      while ((u.V[0] & 1) == 0) {
        shift(u);
        halve(x1);
      }
      while ((v.V[0] & 1) == 0) {
        shift(v);
        halve(x2);
      }
      if (!LessMask(u, v)) {
        Sub(u, u, v);
        SubMod(x1, x1, x2);
      } else {
        Sub(v, v, u);
        SubMod(x2, x2, x1);
      }
    }
    return ToMont(Equal(u, one) ? x1 : x2);
  }

  // PowSecret returns base^e in Montgomery form for a secret exponent: fixed
  // 4-bit windows over all 64K bits, table entries fetched by a full masked
  // scan. The top window starts the result straight from the table, and the
  // even table entries are squares, which cost less than products.
  template <size_t K>
  TNat<N> PowSecret(const TNat<N>& base, const TNat<K>& e) const {
    TNat<N> table[16];
    table[0] = One;
    table[1] = base;
    for (size_t i = 2; i < 16; ++i) {
      if (i % 2 == 0) {
        Sqr(table[i], table[i / 2]);
      } else {
        Mul(table[i], table[i - 1], base);
      }
    }
    TNat<N> r, t;
    SelectEntry(r, table, e.Nibble(16 * K - 1));
    for (size_t w = 16 * K - 1; w-- > 0;) {
      for (int s = 0; s < 4; ++s) Sqr(r, r);
      SelectEntry(t, table, e.Nibble(w));
      Mul(r, r, t);
    }
    return r;
  }

  // SelectEntry sets r = table[digit], reading all 16 entries so that the
  // memory access pattern does not depend on the digit.
  static void SelectEntry(TNat<N>& r, const TNat<N> (&table)[16], unsigned digit) {
    for (size_t i = 0; i < N; ++i) r.V[i] = 0;
    for (unsigned d = 0; d < 16; ++d) {
      const TLimb mask = IsZeroMask(TLimb(d ^ digit));
      for (size_t i = 0; i < N; ++i) r.V[i] |= table[d].V[i] & mask;
    }
  }

  // ReduceWide returns x mod M for a K*N-limb value x given as K chunks of N
  // limbs (least significant first). Requires M > 2^(64N-1).
  TNat<N> ReduceWide(std::span<const TNat<N>> chunks) const {
    TNat<N> acc;
    for (size_t j = chunks.size(); j-- > 0;) {
      Mul(acc, acc, R2);  // acc * R mod M
      AddMod(acc, acc, ReduceOnce(chunks[j]));
    }
    return acc;
  }
};

}  // namespace crypc

#endif  // TZM_PROVIDER_BIGINT_H
