// Result codes the binding returns. Their messages live in the one result
// table of gost/; the names here only keep the numbers readable.
#ifndef TZM_CRYPTLIB_CRYPTLIB_RESULTS_H
#define TZM_CRYPTLIB_CRYPTLIB_RESULTS_H

#include <cstdint>

namespace tzm::crypt_result {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kVerifyNegative = 5;           // libcrypt.dll: signature does not match
inline constexpr int32_t kNoBinding = -1;                // registry entry without a binding
inline constexpr int32_t kCriticalFailure = -3;
inline constexpr int32_t kBadArgument = -4;              // bad pointer, length or block structure
inline constexpr int32_t kUnsupportedAlgorithm = -5;
inline constexpr int32_t kExchangeKeyFailure = -6;
inline constexpr int32_t kEmptyUID = -7;
inline constexpr int32_t kOutOfMemory = -8;
inline constexpr int32_t kKeyFileNotWritten = -9;
inline constexpr int32_t kSecretKeyBad = -10;
inline constexpr int32_t kPublicKeyBad = -11;
inline constexpr int32_t kKeyAlgorithmMismatch = -12;
inline constexpr int32_t kBadNumericParameter = -13;
inline constexpr int32_t kBadSignatureFormat = -14;
inline constexpr int32_t kMacMismatch = -15;
inline constexpr int32_t kBadCipherOperation = -16;
inline constexpr int32_t kNotARecipient = -17;
inline constexpr int32_t kSecretKeyFileMove = -18;
inline constexpr int32_t kPublicKeyFileDelete = -19;
inline constexpr int32_t kIncludeOwnKey = -20;
inline constexpr int32_t kRemoveOwnKey = -21;
inline constexpr int32_t kLibraryNotLoaded = -29;
inline constexpr int32_t kLibraryIncomplete = -30;
inline constexpr int32_t kPublicKeyFileWrite = -31;

}  // namespace tzm::crypt_result

#endif  // TZM_CRYPTLIB_CRYPTLIB_RESULTS_H
