// Named domain parameter sets of the public-key algorithms, kept as data in one
// place. Integers are big-endian hex strings, as the RFCs print them.
#ifndef TZM_PROVIDER_PARAMS_GOST3410_H
#define TZM_PROVIDER_PARAMS_GOST3410_H

namespace crypc {

// TGost94ParamSet: prime modulus P (1024 bits), prime order Q (256 bits) of
// the subgroup, and its generator A.
struct TGost94ParamSet {
  const char* Name;
  const char* P;
  const char* Q;
  const char* A;
};

// TGost2001ParamSet: curve y^2 = x^3 + A*x + B over GF(P), base point (X, Y)
// of prime order Q, cofactor 1.
struct TGost2001ParamSet {
  const char* Name;
  const char* P;
  const char* A;
  const char* B;
  const char* Q;
  const char* X;
  const char* Y;
};

// id-GostR3410-94-CryptoPro-A-ParamSet, OID 1.2.643.2.2.32.2 (RFC 4357
// section 11.3). Also the group of the LDH_PKA key agreement.
extern const TGost94ParamSet kGost94CryptoProA;

// id-GostR3410-2001-CryptoPro-A-ParamSet, OID 1.2.643.2.2.35.1 (RFC 4357
// section 11.4); the built-in curve of the signature entry points.
extern const TGost2001ParamSet kGost2001CryptoProA;

// id-GostR3410-2001-TestParamSet, OID 1.2.643.2.2.35.0 (RFC 5832 section 7.1,
// RFC 4357 section 11.4); used only by the known-answer self test.
extern const TGost2001ParamSet kGost2001Test;

}  // namespace crypc

#endif  // TZM_PROVIDER_PARAMS_GOST3410_H
