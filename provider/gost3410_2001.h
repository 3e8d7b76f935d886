// GOST R 34.10-2001 signatures on a TCurve. Integers are plain values; the
// byte encodings live with the entry points.
#ifndef TZM_PROVIDER_GOST3410_2001_H
#define TZM_PROVIDER_GOST3410_2001_H

#include "ec.h"

namespace crypc {

// Gost2001Sign computes (r, s) for the secret d and nonce k (both 1..q-1).
// Returns false when r or s came out zero; the caller then draws a new k.
bool Gost2001Sign(const TCurve& c, const TNat256& d, const TNat256& e, const TNat256& k, TNat256& r,
                  TNat256& s);
// Gost2001Sign with blind (uniformly random, 1 <= blind < p) for the faster
// blinded inversion inside k*G; same result.
bool Gost2001Sign(const TCurve& c, const TNat256& d, const TNat256& e, const TNat256& k, const TNat256& blind,
                  TNat256& r, TNat256& s);

// Gost2001Verify answers whether (r, s) signs e under the public point
// (qx, qy). r and s must be in 1..q-1 and the point must pass IsOnCurve.
bool Gost2001Verify(const TCurve& c, const TNat256& qx, const TNat256& qy, const TNat256& e, const TNat256& r,
                    const TNat256& s);

}  // namespace crypc

#endif  // TZM_PROVIDER_GOST3410_2001_H
