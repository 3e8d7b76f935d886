// GOST R 34.10-94 over a (p, q, a) group:
//   y = a^x mod p;  r = (a^k mod p) mod q;  s = (x*r + k*e) mod q;
//   verify: v = e^(q-2), z1 = s*v, z2 = (q-r)*v, u = (a^z1 * y^z2 mod p) mod q == r.
#include "gost3410_94.h"

#include <array>

namespace crypc {

TGost94Group::TGost94Group(const TGost94ParamSet& set)
    : P(ParseHex<16>(set.P)), Q(ParseHex<4>(set.Q)), A(ParseHex<16>(set.A)), Table_(64 * 16) {
  // Table_[16*i + d] = (a^(16^i))^d; the next row's base is this row's base^16.
  TNat1024 base = P.ToMont(A);
  for (size_t i = 0; i < 64; ++i) {
    Table_[16 * i] = P.One;
    for (size_t d = 1; d < 16; ++d) P.Mul(Table_[16 * i + d], Table_[16 * i + d - 1], base);
    P.Mul(base, Table_[16 * i + 15], base);
  }
}

const TGost94Group& TGost94Group::CryptoProA() {
  static const TGost94Group group(kGost94CryptoProA);
  return group;
}

TNat1024 TGost94Group::PowA(const TNat256& e) const {
  TNat1024 r = P.One, t;
  for (size_t i = 0; i < 64; ++i) {
    const unsigned digit = e.Nibble(i);
    for (unsigned d = 0; d < 16; ++d) Select(t, Table_[16 * i + d], IsZeroMask(TLimb(d ^ digit)));
    P.Mul(r, r, t);
  }
  return P.FromMont(r);
}

TNat1024 TGost94Group::PowSecret(const TNat1024& base, const TNat256& e) const {
  return P.FromMont(P.PowSecret(P.ToMont(base), e));
}

bool TGost94Group::IsSubgroupElement(const TNat1024& y) const {
  TNat1024 pMinus1;
  Sub(pMinus1, P.M, TNat1024::FromWord(1));
  if (!LessMask(TNat1024::FromWord(1), y) || !LessMask(y, pMinus1)) return false;
  TNat1024 t = P.FromMont(P.PowSecret(P.ToMont(y), Q.M));  // fixed windows are also the fastest path
  return Equal(t, TNat1024::FromWord(1));
}

TNat256 TGost94Group::ModQ(const TNat1024& v) const {
  std::array<TNat256, 4> chunks;
  for (size_t j = 0; j < 4; ++j)
    for (size_t i = 0; i < 4; ++i) chunks[j].V[i] = v.V[4 * j + i];
  return Q.ReduceWide(chunks);
}

bool TGost94Group::IsScalar(const TNat256& x) const { return !IsZero(x) && LessMask(x, Q.M); }

TNat256 HashToScalar(const TMontField<4>& q, const uint8_t hash[32]) {
  // The digest is read little-endian; every built-in q exceeds 2^255, so one
  // subtraction reduces it.
  TNat256 e = q.ReduceOnce(TNat256::FromLe(hash));
  if (IsZero(e)) e = TNat256::FromWord(1);
  return e;
}

bool Gost94Sign(const TGost94Group& g, const TNat256& x, const TNat256& e, const TNat256& k, TNat256& r,
                TNat256& s) {
  r = g.ModQ(g.PowA(k));
  TNat256 xr = g.Q.MulMod(x, r), ke = g.Q.MulMod(k, e);
  g.Q.AddMod(s, xr, ke);
  return !IsZero(r) && !IsZero(s);
}

bool Gost94Verify(const TGost94Group& g, const TNat1024& y, const TNat256& e, const TNat256& r,
                  const TNat256& s) {
  TNat256 v = g.Q.FromMont(g.Q.InvPublic(g.Q.ToMont(e)));  // e is public
  TNat256 z1 = g.Q.MulMod(s, v);
  TNat256 negR;
  g.Q.NegMod(negR, r);
  TNat256 z2 = g.Q.MulMod(negR, v);
  TNat1024 left = g.PowA(z1);
  TNat1024 right = g.P.FromMont(g.P.PowSecret(g.P.ToMont(y), z2));
  TNat1024 u = g.P.MulMod(left, right);
  return Equal(g.ModQ(u), r);
}

}  // namespace crypc
