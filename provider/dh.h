// The LDH_PKA Diffie-Hellman key agreement over the GOST R 34.10-94 group:
// public A = a^x mod p, shared K = B^x mod p, with 1 <= x < q.
#ifndef TZM_PROVIDER_DH_H
#define TZM_PROVIDER_DH_H

#include "gost3410_94.h"

namespace crypc {

// DhPublic returns a^x mod p (constant time in x).
TNat1024 DhPublic(const TGost94Group& g, const TNat256& x);

// DhShared sets k = peer^x mod p after checking that peer lies in the order-q
// subgroup (1 < peer < p-1, peer^q == 1); answers false for a bad peer value.
bool DhShared(const TGost94Group& g, const TNat256& x, const TNat1024& peer, TNat1024& k);

}  // namespace crypc

#endif  // TZM_PROVIDER_DH_H
