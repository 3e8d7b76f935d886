// The random generator behind CrypC_Random_Fill and the key and nonce draws of
// the public-key half. The generator's whole state is the caller's 76-byte
// record: the caller never seeds it (it may be all zero) and may hand the same
// copy in twice, so every draw mixes in fresh entropy from the operating system.
#ifndef TZM_PROVIDER_RANDOM_STATE_H
#define TZM_PROVIDER_RANDOM_STATE_H

#include <stddef.h>
#include <stdint.h>

namespace crypc {

// Size of the caller's random-state record.
constexpr size_t kRandomStateLen = 76;

// Result codes of RandomDraw.
enum : int {
  kRandomOk = 0,
  kRandomEntropyFailed = 1,  // the operating system's entropy source failed
  kRandomBadArgument = 2,    // null record, or null out with a non-zero len
};

// RandomDraw fills out[0..len) from the caller's 76-byte random-state record, mixing fresh OS entropy
// into every draw and advancing the record; two draws from the same copied record never return the same bytes.
// Returns 0 or a non-zero library code (use 1 for "entropy source failed", 2 for bad arguments).
// The record needs only byte alignment. On failure neither out nor the record is changed.
[[nodiscard]] int RandomDraw(void* randomState, uint8_t* out, size_t len);

// OsEntropy fills out[0..len) from the operating system's entropy source.
// Returns false if the source failed.
[[nodiscard]] bool OsEntropy(uint8_t* out, size_t len);

}  // namespace crypc

#endif  // TZM_PROVIDER_RANDOM_STATE_H
