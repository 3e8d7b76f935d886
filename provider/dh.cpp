// LDH_PKA over the GOST R 34.10-94 group. Checking the peer's value keeps a
// small-subgroup or degenerate value (0, 1, p-1) from leaking bits of x or
// forcing a predictable shared value.
#include "dh.h"

namespace crypc {

TNat1024 DhPublic(const TGost94Group& g, const TNat256& x) { return g.PowA(x); }

bool DhShared(const TGost94Group& g, const TNat256& x, const TNat1024& peer, TNat1024& k) {
  if (!g.IsSubgroupElement(peer)) return false;
  k = g.PowSecret(peer, x);
  return true;
}

}  // namespace crypc
