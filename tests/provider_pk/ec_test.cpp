// Scalar multiplication edge cases: the fixed-base comb (signed digits), the
// variable-base window and the verification path must agree on scalars whose
// digits hit table boundaries, the ends of 1..q-1, and the one scalar family
// where the comb's last row meets the running sum itself.
#include <gtest/gtest.h>

#include <vector>

#include "ec.h"
#include "params_gost3410.h"

using namespace crypc;

namespace {

std::vector<TNat256> EdgeScalars(const TCurve& c) {
  std::vector<TNat256> ks;
  for (TLimb w : {1, 2, 15, 16, 17, 31, 32, 33, 0x3FF}) ks.push_back(TNat256::FromWord(w));
  for (TLimb w : {1, 2, 3, 16, 17}) {
    TNat256 k;
    Sub(k, c.Q.M, TNat256::FromWord(w));
    ks.push_back(k);
  }
  TNat256 wrap;  // 2^256 mod q, and twice that
  Sub(wrap, TNat256(), c.Q.M);
  ks.push_back(wrap);
  TNat256 twice;
  c.Q.AddMod(twice, wrap, wrap);
  ks.push_back(twice);
  TNat256 pattern;  // every 5-bit window 0b10000 / 0b01111 alternately
  for (size_t i = 0; i < 4; ++i) pattern.V[i] = 0x8421084210842108ULL;
  ks.push_back(c.Q.ReduceOnce(pattern));
  for (size_t i = 0; i < 4; ++i) pattern.V[i] = ~pattern.V[i];
  ks.push_back(c.Q.ReduceOnce(pattern));
  return ks;
}

}  // namespace

TEST(Curve, BaseCombAgreesWithVariableBaseOnEdgeScalars) {
  for (const TGost2001ParamSet* set : {&kGost2001CryptoProA, &kGost2001Test}) {
    SCOPED_TRACE(set->Name);
    const TCurve& c = set == &kGost2001Test ? TCurve::Test() : TCurve::CryptoProA();
    const TNat256 gx = ParseHex<4>(set->X), gy = ParseHex<4>(set->Y);
    for (const TNat256& k : EdgeScalars(c)) {
      ASSERT_TRUE(c.IsScalar(k));
      TNat256 x1, y1, x2, y2, x3;
      c.BaseMul(k, x1, y1);
      c.PointMul(k, gx, gy, x2, y2);
      EXPECT_TRUE(Equal(x1, x2) && Equal(y1, y2)) << std::hex << k.V[3] << ' ' << k.V[0];
      EXPECT_TRUE(c.IsOnCurve(x1, y1));
      // The blinded inversion gives the same point whatever the blind.
      TNat256 pm1, xb, yb;
      Sub(pm1, c.P.M, TNat256::FromWord(1));
      for (const TNat256& blind : {TNat256::FromWord(1), pm1, k}) {
        c.BaseMul(k, xb, yb, blind);
        EXPECT_TRUE(Equal(x1, xb) && Equal(y1, yb));
      }
      // Verification's path: k*G = (k-1)*G + 1*G.
      if (!Equal(k, TNat256::FromWord(1))) {
        TNat256 km1;
        Sub(km1, k, TNat256::FromWord(1));
        ASSERT_TRUE(c.DoubleMulX(km1, TNat256::FromWord(1), gx, gy, x3));
        EXPECT_TRUE(Equal(x1, x3));
      }
    }
    // (q-1)*G = -G, and 1*G + (q-1)*G is the point at infinity.
    TNat256 qm1, x, y;
    Sub(qm1, c.Q.M, TNat256::FromWord(1));
    c.BaseMul(qm1, x, y);
    EXPECT_TRUE(Equal(x, gx));
    TNat256 negGy;
    c.P.NegMod(negGy, gy);
    EXPECT_TRUE(Equal(y, negGy));
    EXPECT_FALSE(c.DoubleMulX(TNat256::FromWord(1), qm1, gx, gy, x));
  }
}
