// GOST R 34.10-94 signatures and the arithmetic of its prime-order subgroup,
// which the LDH_PKA key agreement shares. Integers here are plain (not
// Montgomery) values; byte encodings are the callers' business.
#ifndef TZM_PROVIDER_GOST3410_94_H
#define TZM_PROVIDER_GOST3410_94_H

#include <stdint.h>

#include <vector>

#include "bigint.h"
#include "params_gost3410.h"

namespace crypc {

using TNat256 = TNat<4>;
using TNat1024 = TNat<16>;

// TGost94Group is one parameter set made ready for work: Montgomery constants
// for p and q and a fixed-base table of powers of the generator a.
class TGost94Group {
 public:
  explicit TGost94Group(const TGost94ParamSet& set);

  // CryptoProA answers the built-in group, built on first use (thread-safe).
  static const TGost94Group& CryptoProA();

  const TMontField<16> P;
  const TMontField<4> Q;
  const TNat1024 A;

  // PowA returns a^e mod p for a secret e (constant time, fixed-base table).
  TNat1024 PowA(const TNat256& e) const;
  // PowSecret returns base^e mod p for a secret e (constant time); base < p.
  TNat1024 PowSecret(const TNat1024& base, const TNat256& e) const;
  // IsSubgroupElement answers whether 1 < y < p-1 and y^q == 1 mod p, the
  // check every received public value must pass.
  bool IsSubgroupElement(const TNat1024& y) const;
  // ModQ returns v mod q for any 1024-bit v.
  TNat256 ModQ(const TNat1024& v) const;
  // IsScalar answers whether 1 <= x < q.
  bool IsScalar(const TNat256& x) const;

 private:
  std::vector<TNat1024> Table_;  // Table_[16*i + d] = a^(d*16^i), Montgomery form
};

// HashToScalar turns a 32-byte digest into e = LE(hash) mod q, 0 replaced by 1.
TNat256 HashToScalar(const TMontField<4>& q, const uint8_t hash[32]);

// Gost94Sign computes (r, s) with the nonce k (1 <= k < q). Returns false when
// r or s came out zero, in which case the caller draws a new k.
bool Gost94Sign(const TGost94Group& g, const TNat256& x, const TNat256& e, const TNat256& k, TNat256& r,
                TNat256& s);

// Gost94Verify answers whether (r, s) signs e under the public key y. r and s
// must already be in 1..q-1 and y must have passed IsSubgroupElement.
bool Gost94Verify(const TGost94Group& g, const TNat1024& y, const TNat256& e, const TNat256& r,
                  const TNat256& s);

}  // namespace crypc

#endif  // TZM_PROVIDER_GOST3410_94_H
