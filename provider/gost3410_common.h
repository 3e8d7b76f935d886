// Pieces the public-key entry points and the self test share: the result codes
// of signature checks and the scalar draw.
#ifndef TZM_PROVIDER_GOST3410_COMMON_H
#define TZM_PROVIDER_GOST3410_COMMON_H

#include "bigint.h"

namespace crypc {

// Result codes of the verify entry points besides kOk and kVerifyNegative
// (the binding has a text for each).
enum : int {
  kSignatureRZero = 6,  // r is zero: the signature cannot be checked
  kSignatureSZero = 7,  // s is zero
  kSignatureRBad = 8,   // r >= q
  kSignatureSBad = 9,   // s >= q
};

// DrawScalar draws a uniform value 1 <= out < q from the caller's random
// state (q must have 256 bits). Returns 0 or the random source's code.
[[nodiscard]] int DrawScalar(void* random, const TNat<4>& q, TNat<4>& out);

// RunSignSelfTest runs the known-answer tests of the signature algorithms and
// the key agreement with fixed keys and nonces; 0 when all pass, else 14.
[[nodiscard]] int RunSignSelfTest();

}  // namespace crypc

#endif  // TZM_PROVIDER_GOST3410_COMMON_H
