// Short Weierstrass curves y^2 = x^3 + a*x + b over a 256-bit prime field, with
// the point arithmetic GOST R 34.10-2001 needs. Internally points are Jacobian
// (X/Z^2, Y/Z^3, Z = 0 for the point at infinity) with coordinates in
// Montgomery form; the public interface takes and returns plain affine values.
#ifndef TZM_PROVIDER_EC_H
#define TZM_PROVIDER_EC_H

#include <vector>

#include "bigint.h"
#include "params_gost3410.h"

namespace crypc {

using TNat256 = TNat<4>;

struct TAffinePoint {
  TNat256 X, Y;
};

struct TJacobianPoint {
  TNat256 X, Y, Z;
};

// TCurve is one curve made ready for work, with a fixed-base table of
// multiples of its base point for fast constant-time k*G.
class TCurve {
 public:
  explicit TCurve(const TGost2001ParamSet& set);

  // CryptoProA / Test answer the named curves, built on first use (thread-safe).
  static const TCurve& CryptoProA();
  static const TCurve& Test();

  const TMontField<4> P;
  const TMontField<4> Q;

  // IsOnCurve answers whether plain (x, y) with x, y < p lies on the curve.
  bool IsOnCurve(const TNat256& x, const TNat256& y) const;
  // IsScalar answers whether 1 <= k < q.
  bool IsScalar(const TNat256& k) const;

  // BaseMul sets (x, y) = k*G for a secret k, 1 <= k < q (constant time).
  void BaseMul(const TNat256& k, TNat256& x, TNat256& y) const;
  // BaseMul with blind, a uniformly random 1 <= blind < p unknown to anyone
  // else: the final inversion then runs on Z*blind, which says nothing about
  // k, so it may use the faster variable-time inversion.
  void BaseMul(const TNat256& k, TNat256& x, TNat256& y, const TNat256& blind) const;
  // PointMul sets (x, y) = k*(px, py) for a secret k, 1 <= k < q, and a point
  // that passed IsOnCurve (constant time in k).
  void PointMul(const TNat256& k, const TNat256& px, const TNat256& py, TNat256& x, TNat256& y) const;
  // DoubleMulX sets x to the affine x of u1*G + u2*(px, py) for public
  // scalars; answers false when the sum is the point at infinity.
  bool DoubleMulX(const TNat256& u1, const TNat256& u2, const TNat256& px, const TNat256& py, TNat256& x) const;

 private:
  void Double(TJacobianPoint& r, const TJacobianPoint& p) const;
  // AddMixed / Add assume p != +-q and neither at infinity (callers mask those).
  // sameX, when given, receives an all-ones mask if p and q share x.
  void AddMixed(TJacobianPoint& r, const TJacobianPoint& p, const TAffinePoint& q, TLimb* sameX = nullptr) const;
  // AddMixedPublic handles every case, in variable time.
  void AddMixedPublic(TJacobianPoint& r, const TJacobianPoint& p, const TAffinePoint& q) const;
  template <bool kPublic>
  void AddMixedImpl(TJacobianPoint& r, const TJacobianPoint& p, const TAffinePoint& q, TLimb* sameX) const;
  void AddJacobian(TJacobianPoint& r, const TJacobianPoint& p, const TJacobianPoint& q) const;
  // AddPublic handles every case, in variable time.
  void AddPublic(TJacobianPoint& r, const TJacobianPoint& p, const TJacobianPoint& q) const;
  void BaseMulJ(const TNat256& k, TJacobianPoint& r) const;
  void PointMulJ(const TNat256& k, const TAffinePoint& p, TJacobianPoint& r) const;
  // ToAffine converts to plain affine; false for the point at infinity. A
  // public point may use the faster variable-time inversion.
  bool ToAffine(const TJacobianPoint& p, TNat256& x, TNat256& y, bool isPublic) const;
  // ToAffineBlinded inverts Z*blind with the variable-time inversion.
  void ToAffineBlinded(const TJacobianPoint& p, TNat256& x, TNat256& y, const TNat256& blind) const;

  TNat256 A_, B_;  // Montgomery form
  bool AIsMinus3_;
  TAffinePoint G_;  // Montgomery form
  // Fixed-base comb: 52 rows of signed base-32 digits cover 260 bits.
  static constexpr size_t kCombRows = 52;
  std::vector<TAffinePoint> Table_;  // Table_[16*i + d - 1] = d*32^i*G, d = 1..16, Montgomery affine
};

}  // namespace crypc

#endif  // TZM_PROVIDER_EC_H
