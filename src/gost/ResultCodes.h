// Result codes of the GOST engine and its binding. 0 is success, 1 to 15 are
// codes of libcrypt.dll passed on unchanged, negative codes are the engine's
// own. Every code has its message in the table of ResultCodes.cpp; add a code
// and its message together.
#ifndef TZM_GOST_RESULTCODES_H
#define TZM_GOST_RESULTCODES_H

#include <cstdint>
#include <string_view>

namespace tzm {

inline constexpr int32_t kResultOk = 0;
inline constexpr int32_t kErrLibraryInit = -1;         // also "not available" and failed size queries
inline constexpr int32_t kErrNotSupported = -2;
inline constexpr int32_t kErrCritical = -3;            // message is followed by the last-error text
inline constexpr int32_t kErrBadPointer = -4;
inline constexpr int32_t kErrSignAlgorithm = -5;
inline constexpr int32_t kErrExchangeKeyGen = -6;
inline constexpr int32_t kErrEmptyUID = -7;
inline constexpr int32_t kErrOutOfMemory = -8;
inline constexpr int32_t kErrWriteFile = -9;
inline constexpr int32_t kErrSecretKey = -10;
inline constexpr int32_t kErrPublicKey = -11;
inline constexpr int32_t kErrKeyAlgorithmMismatch = -12;
inline constexpr int32_t kErrNumericParams = -13;
inline constexpr int32_t kErrSignatureFormat = -14;
inline constexpr int32_t kErrMac = -15;
inline constexpr int32_t kErrOperationCode = -16;
inline constexpr int32_t kErrNotAddressedToUser = -17;
inline constexpr int32_t kErrReadSecretKeyFile = -18;
inline constexpr int32_t kErrReadPublicKeyFile = -19;
inline constexpr int32_t kErrIncludeOwnKey = -20;
inline constexpr int32_t kErrRemoveOwnKey = -21;
inline constexpr int32_t kErrNoRemoteGenDir = -22;
inline constexpr int32_t kErrRemoteGenNewKeys = -23;
inline constexpr int32_t kErrKeyMediumStructure = -24;
inline constexpr int32_t kErrRemoteGenDirAccess = -25;
inline constexpr int32_t kErrSecretKeyUnusable = -26;
inline constexpr int32_t kErrRemoteGenKeyMismatch = -27;
inline constexpr int32_t kErrNoSuchParameter = -28;
inline constexpr int32_t kErrLoadLibrary = -29;
inline constexpr int32_t kErrMissingEntryPoints = -30;
inline constexpr int32_t kErrWritePublicKeyToDir = -31;
inline constexpr int32_t kErrDirAccess = -32;

// ResultCodeMessage returns the Windows-1251 message of code (for -3 the
// fixed prefix alone, ending in a blank), or an empty view for a code
// outside the table (-32 to 15).
std::string_view ResultCodeMessage(int32_t code) noexcept;

}  // namespace tzm

#endif
