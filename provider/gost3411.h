// GOST R 34.11-94 hash (RFC 5831) built on the GOST 28147-89 core, with the
// substitution boxes of the caller's parameter block and the caller's start
// vector. Values of 256 bits are kept as 32 bytes, least significant byte first,
// which is also the order in which the digest is written.
#ifndef TZM_PROVIDER_GOST3411_H
#define TZM_PROVIDER_GOST3411_H

#include <span>

#include "gost28147.h"
#include "gost28147_modes.h"

namespace crypc {

constexpr size_t kGost3411BlockLen = 32;
constexpr size_t kGost3411HashLen = 32;

struct HashState {
  ContextHeader header;
  uint8_t hash[32];   // running hash value H
  uint8_t sigma[32];  // checksum: sum of the message blocks modulo 2^256
  uint32_t lenLo;     // message length in bytes (64 bits)
  uint32_t lenHi;
  uint8_t buf[32];    // partial block; its fill is the length modulo 32
};

void HashStart(HashState& s, std::span<const uint8_t, kGost3411HashLen> startVector);
void HashUpdate(HashState& s, const Gost28147Tables& t, std::span<const uint8_t> data);
// HashFinish writes the digest without changing s. An empty message hashes no
// data block, only the length and checksum blocks.
void HashFinish(const HashState& s, const Gost28147Tables& t, std::span<uint8_t, kGost3411HashLen> out);

// Gost3411Compress is the step function: hash = chi(block, hash).
void Gost3411Compress(const Gost28147Tables& t, uint8_t hash[32], const uint8_t block[32]);

}  // namespace crypc

#endif  // TZM_PROVIDER_GOST3411_H
