// Straight-line Montgomery multiplication and squaring for 16-limb (1024-bit)
// moduli, the hot path of every GOST R 34.10-94 and LDH_PKA exponentiation.
// Only built where the compiler has a 128-bit type; elsewhere TMontField uses
// its generic loops.
#ifndef TZM_PROVIDER_BIGINT_LIMB16_H
#define TZM_PROVIDER_BIGINT_LIMB16_H

#include <stdint.h>

namespace crypc {
namespace limb16 {

constexpr int kLimbs = 16;

// MontMul sets r = a*b/2^1024 mod m for a, b < m, m odd, m0Inv = -m^-1 mod
// 2^64. r may alias a or b. Time does not depend on the values.
void MontMul(uint64_t* r, const uint64_t* a, const uint64_t* b, const uint64_t* m, uint64_t m0Inv);

// MontSqr sets r = a*a/2^1024 mod m, as MontMul(r, a, a, ...) but cheaper.
void MontSqr(uint64_t* r, const uint64_t* a, const uint64_t* m, uint64_t m0Inv);

}  // namespace limb16
}  // namespace crypc

#endif  // TZM_PROVIDER_BIGINT_LIMB16_H
