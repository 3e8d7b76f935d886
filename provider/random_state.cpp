// A fast-key-erasure generator over the ChaCha20 block function (RFC 8439).
// Every draw keys ChaCha20 with the record's key XOR 32 fresh bytes from the
// operating system, so the output is at least as strong as the OS source even
// when the record is known, copied or all zero; the first 32 keystream bytes
// replace the record's key so the previous output cannot be recomputed from it.
//
// Record layout (76 bytes, byte aligned):
//   bytes  0..31  key
//   bytes 32..39  draw counter, little-endian (ChaCha20 nonce words 0..1)
//   bytes 40..43  "seeded" marker (kSeededMarker once a draw has run)
//   bytes 44..75  reserved, left as found
#include "random_state.h"

#include <string.h>

#include "wipe.h"

#if defined(_WIN32)
#include <windows.h>
#include <bcrypt.h>
#else
#include <errno.h>
#if defined(__linux__)
#include <sys/random.h>
#else
#include <unistd.h>
#endif
#endif

namespace crypc {
namespace {

constexpr size_t kKeyOffset = 0;
constexpr size_t kCounterOffset = 32;
constexpr size_t kMarkerOffset = 40;
constexpr uint32_t kSeededMarker = 0x52414E44;  // "DNAR"
constexpr size_t kChaChaBlockLen = 64;
// The 32-bit block counter bounds one draw; far beyond any real request.
constexpr uint64_t kMaxDrawLen = (uint64_t(1) << 36);

inline uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t LoadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

#define CRYPC_QUARTER(a, b, c, d) \
  a += b; d ^= a; d = Rotl(d, 16); \
  c += d; b ^= c; b = Rotl(b, 12); \
  a += b; d ^= a; d = Rotl(d, 8);  \
  c += d; b ^= c; b = Rotl(b, 7);

// ChaChaBlock writes the 64-byte ChaCha20 block for (key, block counter, nonce).
void ChaChaBlock(const uint8_t key[32], uint32_t blockCounter, const uint8_t nonce[12], uint8_t out[64]) {
  uint32_t in[16];
  in[0] = 0x61707865;  // "expand 32-byte k"
  in[1] = 0x3320646e;
  in[2] = 0x79622d32;
  in[3] = 0x6b206574;
  for (int i = 0; i < 8; ++i) in[4 + i] = LoadLe32(key + 4 * i);
  in[12] = blockCounter;
  for (int i = 0; i < 3; ++i) in[13 + i] = LoadLe32(nonce + 4 * i);
  uint32_t x[16];
  memcpy(x, in, sizeof x);
  for (int round = 0; round < 10; ++round) {
    CRYPC_QUARTER(x[0], x[4], x[8], x[12])
    CRYPC_QUARTER(x[1], x[5], x[9], x[13])
    CRYPC_QUARTER(x[2], x[6], x[10], x[14])
    CRYPC_QUARTER(x[3], x[7], x[11], x[15])
    CRYPC_QUARTER(x[0], x[5], x[10], x[15])
    CRYPC_QUARTER(x[1], x[6], x[11], x[12])
    CRYPC_QUARTER(x[2], x[7], x[8], x[13])
    CRYPC_QUARTER(x[3], x[4], x[9], x[14])
  }
  for (int i = 0; i < 16; ++i) StoreLe32(out + 4 * i, x[i] + in[i]);
  Wipe(in, sizeof in);
  Wipe(x, sizeof x);
}

#undef CRYPC_QUARTER

}  // namespace

bool OsEntropy(uint8_t* out, size_t len) {
#if defined(_WIN32)
  while (len > 0) {
    ULONG chunk = len > 0x10000000 ? 0x10000000 : ULONG(len);
    if (BCryptGenRandom(nullptr, out, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) return false;
    out += chunk;
    len -= chunk;
  }
  return true;
#elif defined(__linux__)
  while (len > 0) {
    ssize_t got = getrandom(out, len, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    out += got;
    len -= size_t(got);
  }
  return true;
#else
  while (len > 0) {
    size_t chunk = len > 256 ? 256 : len;
    if (getentropy(out, chunk) != 0) return false;
    out += chunk;
    len -= chunk;
  }
  return true;
#endif
}

int RandomDraw(void* randomState, uint8_t* out, size_t len) {
  if (randomState == nullptr || (out == nullptr && len != 0)) return kRandomBadArgument;
  if (uint64_t(len) > kMaxDrawLen) return kRandomBadArgument;
  uint8_t* record = static_cast<uint8_t*>(randomState);

  uint8_t key[32];
  if (!OsEntropy(key, sizeof key)) {
    Wipe(key, sizeof key);
    return kRandomEntropyFailed;
  }
  for (size_t i = 0; i < sizeof key; ++i) key[i] ^= record[kKeyOffset + i];

  // The nonce is the draw counter; the block counter numbers the blocks of one draw.
  uint8_t nonce[12] = {};
  memcpy(nonce, record + kCounterOffset, 8);

  uint8_t block[kChaChaBlockLen];
  uint32_t blockCounter = 0;
  ChaChaBlock(key, blockCounter++, nonce, block);
  uint8_t nextKey[32];
  memcpy(nextKey, block, 32);
  size_t take = len < 32 ? len : 32;
  if (take != 0) memcpy(out, block + 32, take);
  size_t done = take;
  while (done < len) {
    ChaChaBlock(key, blockCounter++, nonce, block);
    take = len - done < kChaChaBlockLen ? len - done : kChaChaBlockLen;
    memcpy(out + done, block, take);
    done += take;
  }

  uint64_t counter = 0;
  for (int i = 7; i >= 0; --i) counter = counter << 8 | record[kCounterOffset + i];
  ++counter;
  memcpy(record + kKeyOffset, nextKey, 32);
  for (int i = 0; i < 8; ++i) record[kCounterOffset + i] = uint8_t(counter >> (8 * i));
  StoreLe32(record + kMarkerOffset, kSeededMarker);

  Wipe(key, sizeof key);
  Wipe(nextKey, sizeof nextKey);
  Wipe(block, sizeof block);
  return kRandomOk;
}

}  // namespace crypc
