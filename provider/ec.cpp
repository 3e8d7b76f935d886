// Point arithmetic for TCurve. Secret scalars go through fixed windows (signed
// base-32 digits for k*G, 4-bit digits for k*Q) whose table entries are
// fetched by a full masked scan; the point at infinity, zero digits and signs
// are handled by masked selection, so neither the digits nor the intermediate
// points steer a branch or a memory index.
//
// Why the incomplete addition formulas are safe there: with 1 <= k < q the
// running sum is (the lower digits of k) * base, smaller in magnitude than the
// next digit's weight, so the two are never equal or opposite. The exceptions
// are masked: the running sum at infinity before the first non-zero digit, and
// in the comb's last row (whose weight 2^255 can wrap mod q on a curve with
// q < 2^256) an equal point, which is replaced by the doubling.
#include "ec.h"

namespace crypc {

namespace {

void SelectPoint(TJacobianPoint& r, const TJacobianPoint& a, TLimb mask) {
  Select(r.X, a.X, mask);
  Select(r.Y, a.Y, mask);
  Select(r.Z, a.Z, mask);
}

// CombDigit gives the signed digit of row i of the fixed-base comb: bits
// 5i-1 .. 5i+4 of k recoded (Booth) into a magnitude 0..16 and a sign mask,
// so that k = sum of digit_i * 32^i. Branch-free in the bits of k.
void CombDigit(const TNat256& k, size_t i, unsigned& magnitude, TLimb& negative) {
  unsigned w = 0;
  for (int b = 0; b < 6; ++b) {
    const int pos = int(5 * i) - 1 + b;
    if (pos >= 0 && pos < 256) w |= unsigned(k.Bit(size_t(pos))) << b;
  }
  const unsigned s = ~((w >> 5) - 1);  // all ones when the top bit is set
  unsigned d = (1u << 6) - w - 1;
  d = (d & s) | (w & ~s);
  magnitude = (d >> 1) + (d & 1);
  negative = MaskFromBit(s & 1);
}

}  // namespace

TCurve::TCurve(const TGost2001ParamSet& set) : P(ParseHex<4>(set.P)), Q(ParseHex<4>(set.Q)), Table_(kCombRows * 16) {
  const TNat256 a = ParseHex<4>(set.A);
  A_ = P.ToMont(a);
  B_ = P.ToMont(ParseHex<4>(set.B));
  TNat256 aPlus3;
  Add(aPlus3, a, TNat256::FromWord(3));
  AIsMinus3_ = Equal(aPlus3, P.M);
  G_.X = P.ToMont(ParseHex<4>(set.X));
  G_.Y = P.ToMont(ParseHex<4>(set.Y));

  // Row i holds d * 32^i * G for d = 1..16; built once with public arithmetic.
  TJacobianPoint base{G_.X, G_.Y, P.One};
  for (size_t i = 0; i < kCombRows; ++i) {
    TJacobianPoint acc = base;
    for (size_t d = 1; d <= 16; ++d) {
      if (d > 1) AddPublic(acc, acc, base);
      TNat256 x, y;
      ToAffine(acc, x, y, true);
      Table_[16 * i + d - 1].X = P.ToMont(x);
      Table_[16 * i + d - 1].Y = P.ToMont(y);
    }
    Double(base, acc);  // 32 * base
  }
}

const TCurve& TCurve::CryptoProA() {
  static const TCurve curve(kGost2001CryptoProA);
  return curve;
}

const TCurve& TCurve::Test() {
  static const TCurve curve(kGost2001Test);
  return curve;
}

bool TCurve::IsOnCurve(const TNat256& x, const TNat256& y) const {
  if (!LessMask(x, P.M) || !LessMask(y, P.M)) return false;
  TNat256 xm = P.ToMont(x), ym = P.ToMont(y), lhs, rhs, t;
  P.Sqr(lhs, ym);
  P.Sqr(t, xm);
  P.AddMod(t, t, A_);  // x^2 + a
  P.Mul(rhs, t, xm);   // x^3 + a*x
  P.AddMod(rhs, rhs, B_);
  return Equal(lhs, rhs);
}

bool TCurve::IsScalar(const TNat256& k) const { return !IsZero(k) && LessMask(k, Q.M); }

void TCurve::Double(TJacobianPoint& r, const TJacobianPoint& p) const {
  TNat256 xx, yy, yyyy, zz, s, m, t, x3, y3, z3;
  P.Sqr(yy, p.Y);
  P.Sqr(zz, p.Z);
  P.Mul(s, p.X, yy);
  P.AddMod(s, s, s);
  P.AddMod(s, s, s);  // S = 4*X*YY
  if (AIsMinus3_) {   // M = 3*(X - ZZ)*(X + ZZ)
    TNat256 u, v;
    P.SubMod(u, p.X, zz);
    P.AddMod(v, p.X, zz);
    P.Mul(m, u, v);
    P.AddMod(t, m, m);
    P.AddMod(m, t, m);
  } else {  // M = 3*XX + a*ZZ^2
    P.Sqr(xx, p.X);
    P.AddMod(m, xx, xx);
    P.AddMod(m, m, xx);
    P.Sqr(t, zz);
    P.Mul(t, t, A_);
    P.AddMod(m, m, t);
  }
  P.Sqr(x3, m);
  P.SubMod(x3, x3, s);
  P.SubMod(x3, x3, s);  // X3 = M^2 - 2S
  P.Sqr(yyyy, yy);
  P.AddMod(yyyy, yyyy, yyyy);
  P.AddMod(yyyy, yyyy, yyyy);
  P.AddMod(yyyy, yyyy, yyyy);  // 8*YYYY
  P.SubMod(t, s, x3);
  P.Mul(y3, m, t);
  P.SubMod(y3, y3, yyyy);  // Y3 = M*(S - X3) - 8*YYYY
  P.Mul(z3, p.Y, p.Z);
  P.AddMod(z3, z3, z3);  // Z3 = 2*Y*Z (0 stays 0: infinity doubles to infinity)
  r.X = x3;
  r.Y = y3;
  r.Z = z3;
}

void TCurve::AddMixed(TJacobianPoint& r, const TJacobianPoint& p, const TAffinePoint& q, TLimb* sameX) const {
  AddMixedImpl<false>(r, p, q, sameX);
}

void TCurve::AddMixedPublic(TJacobianPoint& r, const TJacobianPoint& p, const TAffinePoint& q) const {
  if (IsZero(p.Z)) {
    r = TJacobianPoint{q.X, q.Y, P.One};
    return;
  }
  AddMixedImpl<true>(r, p, q, nullptr);
}

template <bool kPublic>
void TCurve::AddMixedImpl(TJacobianPoint& r, const TJacobianPoint& p, const TAffinePoint& q, TLimb* sameX) const {
  TNat256 z1z1, u2, s2, h, rr, hh, hhh, v, x3, y3, z3, t;
  P.Sqr(z1z1, p.Z);
  P.Mul(u2, q.X, z1z1);
  P.Mul(s2, q.Y, p.Z);
  P.Mul(s2, s2, z1z1);
  P.SubMod(h, u2, p.X);
  P.SubMod(rr, s2, p.Y);
  if (sameX != nullptr) *sameX = IsZero(h);
  if constexpr (kPublic) {
    if (IsZero(h)) {  // same x: the points are equal (double) or opposite
      if (IsZero(rr)) {
        Double(r, p);
      } else {
        r = TJacobianPoint{P.One, P.One, TNat256()};
      }
      return;
    }
  }
  P.Sqr(hh, h);
  P.Mul(hhh, h, hh);
  P.Mul(v, p.X, hh);
  P.Sqr(x3, rr);
  P.SubMod(x3, x3, hhh);
  P.SubMod(x3, x3, v);
  P.SubMod(x3, x3, v);
  P.SubMod(t, v, x3);
  P.Mul(y3, rr, t);
  P.Mul(t, p.Y, hhh);
  P.SubMod(y3, y3, t);
  P.Mul(z3, p.Z, h);
  r.X = x3;
  r.Y = y3;
  r.Z = z3;
}

void TCurve::AddJacobian(TJacobianPoint& r, const TJacobianPoint& p, const TJacobianPoint& q) const {
  TNat256 z1z1, z2z2, u1, u2, s1, s2, h, rr, hh, hhh, v, x3, y3, z3, t;
  P.Sqr(z1z1, p.Z);
  P.Sqr(z2z2, q.Z);
  P.Mul(u1, p.X, z2z2);
  P.Mul(u2, q.X, z1z1);
  P.Mul(s1, p.Y, q.Z);
  P.Mul(s1, s1, z2z2);
  P.Mul(s2, q.Y, p.Z);
  P.Mul(s2, s2, z1z1);
  P.SubMod(h, u2, u1);
  P.SubMod(rr, s2, s1);
  P.Sqr(hh, h);
  P.Mul(hhh, h, hh);
  P.Mul(v, u1, hh);
  P.Sqr(x3, rr);
  P.SubMod(x3, x3, hhh);
  P.SubMod(x3, x3, v);
  P.SubMod(x3, x3, v);
  P.SubMod(t, v, x3);
  P.Mul(y3, rr, t);
  P.Mul(t, s1, hhh);
  P.SubMod(y3, y3, t);
  P.Mul(z3, p.Z, q.Z);
  P.Mul(z3, z3, h);
  r.X = x3;
  r.Y = y3;
  r.Z = z3;
}

void TCurve::AddPublic(TJacobianPoint& r, const TJacobianPoint& p, const TJacobianPoint& q) const {
  if (IsZero(p.Z)) {
    r = q;
    return;
  }
  if (IsZero(q.Z)) {
    r = p;
    return;
  }
  TNat256 z1z1, z2z2, u1, u2, s1, s2;
  P.Sqr(z1z1, p.Z);
  P.Sqr(z2z2, q.Z);
  P.Mul(u1, p.X, z2z2);
  P.Mul(u2, q.X, z1z1);
  P.Mul(s1, p.Y, q.Z);
  P.Mul(s1, s1, z2z2);
  P.Mul(s2, q.Y, p.Z);
  P.Mul(s2, s2, z1z1);
  if (Equal(u1, u2)) {
    if (Equal(s1, s2)) {
      Double(r, p);
    } else {
      r = TJacobianPoint{P.One, P.One, TNat256()};
    }
    return;
  }
  AddJacobian(r, p, q);
}

void TCurve::BaseMulJ(const TNat256& k, TJacobianPoint& r) const {
  TJacobianPoint acc{P.One, P.One, TNat256()}, sum, start, dbl;
  TLimb accInf = ~TLimb(0);
  TAffinePoint t;
  TNat256 negY;
  start.Z = P.One;
  for (size_t i = 0; i < kCombRows; ++i) {
    unsigned digit;
    TLimb negative, sameX;
    CombDigit(k, i, digit, negative);
    for (unsigned d = 1; d <= 16; ++d) {
      const TLimb hit = IsZeroMask(TLimb(d ^ digit));
      Select(t.X, Table_[16 * i + d - 1].X, hit);
      Select(t.Y, Table_[16 * i + d - 1].Y, hit);
    }
    P.NegMod(negY, t.Y);
    Select(t.Y, negY, negative);
    AddMixed(sum, acc, t, &sameX);
    const TLimb digitZero = IsZeroMask(TLimb(digit));
    if (i + 1 == kCombRows) {
      // Only the last row can meet the running sum itself (for a k near a
      // multiple of 2^256 mod q); doubling covers that case.
      Double(dbl, acc);
      SelectPoint(sum, dbl, sameX);
    }
    start.X = t.X;
    start.Y = t.Y;
    SelectPoint(acc, sum, ~digitZero & ~accInf);
    SelectPoint(acc, start, ~digitZero & accInf);
    accInf &= digitZero;
  }
  r = acc;
}

void TCurve::PointMulJ(const TNat256& k, const TAffinePoint& p, TJacobianPoint& r) const {
  TJacobianPoint table[16];
  table[0] = TJacobianPoint{P.One, P.One, TNat256()};
  table[1] = TJacobianPoint{p.X, p.Y, P.One};
  for (size_t d = 2; d < 16; ++d) AddPublic(table[d], table[d - 1], table[1]);  // p is public
  TJacobianPoint acc = table[0], sum, t;
  TLimb accInf = ~TLimb(0);
  for (size_t i = 64; i-- > 0;) {
    for (int s = 0; s < 4; ++s) Double(acc, acc);
    const unsigned digit = k.Nibble(i);
    for (unsigned d = 1; d < 16; ++d) SelectPoint(t, table[d], IsZeroMask(TLimb(d ^ digit)));
    AddJacobian(sum, acc, t);
    const TLimb digitZero = IsZeroMask(TLimb(digit));
    SelectPoint(acc, sum, ~digitZero & ~accInf);
    SelectPoint(acc, t, ~digitZero & accInf);
    accInf &= digitZero;
  }
  r = acc;
}

bool TCurve::ToAffine(const TJacobianPoint& p, TNat256& x, TNat256& y, bool isPublic) const {
  if (IsZero(p.Z)) return false;
  TNat256 zi = isPublic ? P.InvPublic(p.Z) : P.InvPrime(p.Z), zi2, t;
  P.Sqr(zi2, zi);
  P.Mul(t, p.X, zi2);
  x = P.FromMont(t);
  P.Mul(t, zi2, zi);
  P.Mul(t, p.Y, t);
  y = P.FromMont(t);
  return true;
}

void TCurve::ToAffineBlinded(const TJacobianPoint& p, TNat256& x, TNat256& y, const TNat256& blind) const {
  const TNat256 b = P.ToMont(blind);
  TNat256 zb, zi, zi2, t;
  P.Mul(zb, p.Z, b);
  zi = P.InvPublic(zb);  // 1/(Z*b); Z = 0 (never for 1 <= k < q) gives 0
  P.Mul(zi, zi, b);      // 1/Z
  P.Sqr(zi2, zi);
  P.Mul(t, p.X, zi2);
  x = P.FromMont(t);
  P.Mul(t, zi2, zi);
  P.Mul(t, p.Y, t);
  y = P.FromMont(t);
}

void TCurve::BaseMul(const TNat256& k, TNat256& x, TNat256& y, const TNat256& blind) const {
  TJacobianPoint r;
  BaseMulJ(k, r);
  ToAffineBlinded(r, x, y, blind);
}

void TCurve::BaseMul(const TNat256& k, TNat256& x, TNat256& y) const {
  TJacobianPoint r;
  BaseMulJ(k, r);
  ToAffine(r, x, y, false);
}

void TCurve::PointMul(const TNat256& k, const TNat256& px, const TNat256& py, TNat256& x, TNat256& y) const {
  TAffinePoint p{P.ToMont(px), P.ToMont(py)};
  TJacobianPoint r;
  PointMulJ(k, p, r);
  ToAffine(r, x, y, false);
}

// DoubleMulX works on public scalars only, so it may branch on their digits:
// u1*G from the fixed-base table indexed directly, u2*Q by a width-5 NAF over
// the affine odd multiples Q, 3Q, ..., 15Q.
bool TCurve::DoubleMulX(const TNat256& u1, const TNat256& u2, const TNat256& px, const TNat256& py,
                        TNat256& x) const {
  const TJacobianPoint infinity{P.One, P.One, TNat256()};
  TJacobianPoint a = infinity;
  for (size_t i = 0; i < kCombRows; ++i) {
    unsigned d;
    TLimb negative;
    CombDigit(u1, i, d, negative);
    if (d == 0) continue;
    TAffinePoint q = Table_[16 * i + d - 1];
    if (negative) P.NegMod(q.Y, q.Y);
    AddMixedPublic(a, a, q);
  }

  // Odd multiples (2j+1)*Q, j = 0..7, made affine with one shared inversion.
  TJacobianPoint odd[8], twice;
  odd[0] = TJacobianPoint{P.ToMont(px), P.ToMont(py), P.One};
  Double(twice, odd[0]);
  for (size_t j = 1; j < 8; ++j) AddPublic(odd[j], odd[j - 1], twice);
  TNat256 prefix[8];
  prefix[0] = odd[0].Z;
  for (size_t j = 1; j < 8; ++j) P.Mul(prefix[j], prefix[j - 1], odd[j].Z);
  if (IsZero(prefix[7])) return false;  // not reachable for a point of order q
  TNat256 inv = P.InvPublic(prefix[7]);
  TAffinePoint table[8];
  for (size_t j = 8; j-- > 0;) {
    TNat256 zi, zi2, t;
    if (j > 0) {
      P.Mul(zi, inv, prefix[j - 1]);
      P.Mul(inv, inv, odd[j].Z);
    } else {
      zi = inv;
    }
    P.Sqr(zi2, zi);
    P.Mul(table[j].X, odd[j].X, zi2);
    P.Mul(t, zi2, zi);
    P.Mul(table[j].Y, odd[j].Y, t);
  }

  // Width-5 NAF digits of u2: odd values in -15..15, each followed by at
  // least four zeros. One extra limb absorbs the carry of a negative digit.
  int8_t naf[258] = {};
  TNat<5> k;
  for (size_t i = 0; i < 4; ++i) k.V[i] = u2.V[i];
  size_t len = 0;
  while (!IsZero(k)) {
    int digit = 0;
    if (k.V[0] & 1) {
      digit = int(k.V[0] & 31);
      if (digit >= 16) digit -= 32;
      TNat<5> d = TNat<5>::FromWord(TLimb(digit < 0 ? -digit : digit));
      if (digit < 0) {
        Add(k, k, d);
      } else {
        Sub(k, k, d);
      }
    }
    naf[len++] = int8_t(digit);
    for (size_t i = 0; i < 4; ++i) k.V[i] = (k.V[i] >> 1) | (k.V[i + 1] << 63);
    k.V[4] >>= 1;
  }
  TJacobianPoint b = infinity;
  for (size_t i = len; i-- > 0;) {
    Double(b, b);
    if (const int d = naf[i]) {
      TAffinePoint q = table[(d < 0 ? -d : d) / 2];
      if (d < 0) P.NegMod(q.Y, q.Y);
      AddMixedPublic(b, b, q);
    }
  }
  TJacobianPoint c;
  AddPublic(c, a, b);
  TNat256 y;
  return ToAffine(c, x, y, true);
}

}  // namespace crypc
