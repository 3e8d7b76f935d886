// GOST R 34.10-2001: C = k*G, r = x(C) mod q, s = (r*d + k*e) mod q; verify
// with v = e^-1, z1 = s*v, z2 = -r*v and x(z1*G + z2*Q) mod q == r.
#include "gost3410_2001.h"

namespace crypc {

namespace {

// Finish computes r and s from the x-coordinate of k*G.
bool Finish(const TCurve& c, const TNat256& d, const TNat256& e, const TNat256& k, const TNat256& x, TNat256& r,
            TNat256& s) {
  r = c.Q.ReduceOnce(x);  // x < p < 2q on every built-in curve
  TNat256 rd = c.Q.MulMod(r, d), ke = c.Q.MulMod(k, e);
  c.Q.AddMod(s, rd, ke);
  return !IsZero(r) && !IsZero(s);
}

}  // namespace

bool Gost2001Sign(const TCurve& c, const TNat256& d, const TNat256& e, const TNat256& k, TNat256& r,
                  TNat256& s) {
  TNat256 x, y;
  c.BaseMul(k, x, y);
  return Finish(c, d, e, k, x, r, s);
}

bool Gost2001Sign(const TCurve& c, const TNat256& d, const TNat256& e, const TNat256& k, const TNat256& blind,
                  TNat256& r, TNat256& s) {
  TNat256 x, y;
  c.BaseMul(k, x, y, blind);
  return Finish(c, d, e, k, x, r, s);
}

bool Gost2001Verify(const TCurve& c, const TNat256& qx, const TNat256& qy, const TNat256& e, const TNat256& r,
                    const TNat256& s) {
  TNat256 v = c.Q.FromMont(c.Q.InvPublic(c.Q.ToMont(e)));  // e is public
  TNat256 z1 = c.Q.MulMod(s, v), negR, z2;
  c.Q.NegMod(negR, r);
  z2 = c.Q.MulMod(negR, v);
  TNat256 x;
  if (!c.DoubleMulX(z1, z2, qx, qy, x)) return false;
  return Equal(c.Q.ReduceOnce(x), r);
}

}  // namespace crypc
