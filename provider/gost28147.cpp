// Building the expanded GOST 28147-89 substitution tables inside the caller's
// parameter block. Box K_i substitutes bits 4(i-1)..4i-1 of the 32-bit word
// (RFC 5830 section 4; K1 the lowest nibble); the table stores K8 first.
#include "gost28147.h"

namespace crypc {
namespace {

// The 4 bytes after the tables hold a fingerprint of the S-box table they were
// built from. A block whose fingerprint does not match its table was never
// prepared, or was rebuilt or changed by the caller since: contexts refuse it
// rather than run on stale tables. A matching block is not rewritten, so
// contexts sharing one block never see its tables change under them.
constexpr uint32_t kFingerprintSeed = 0x5842F28Du;

uint32_t TableFingerprint(const uint8_t* table) {
  uint32_t h = 2166136261u ^ kFingerprintSeed;  // FNV-1a
  for (size_t i = 0; i < kGostSboxTableLen; ++i) h = (h ^ table[i]) * 16777619u;
  return h;
}

inline uint32_t Rotl11(uint32_t x) { return (x << 11) | (x >> 21); }

// SboxValue answers K_box[v] (box 1..8) from the K8-first table.
inline uint32_t SboxValue(const uint8_t* table, int box, unsigned v) { return table[16 * (8 - box) + v]; }

}  // namespace

bool PrepareParamBlock(void* params) {
  if (params == nullptr) return false;
  uint8_t* block = static_cast<uint8_t*>(params);
  for (size_t i = 0; i < kGostSboxTableLen; ++i)
    if (block[i] > 0x0F) return false;
  uint32_t fingerprint = TableFingerprint(block);
  if (LoadLe32(block + kGostExpandedMarkerOffset) == fingerprint) return true;
  uint8_t* expanded = block + kGostExpandedOffset;
  for (int j = 0; j < 4; ++j) {
    for (unsigned b = 0; b < 256; ++b) {
      uint32_t low = SboxValue(block, 2 * j + 1, b & 0x0F);
      uint32_t high = SboxValue(block, 2 * j + 2, b >> 4);
      uint32_t word = Rotl11((high << 4 | low) << (8 * j));
      memcpy(expanded + 4 * (256 * j + b), &word, 4);
    }
  }
  StoreLe32(block + kGostExpandedMarkerOffset, fingerprint);
  return true;
}

const uint8_t* ParamTables(const void* params) {
  if (params == nullptr) return nullptr;
  const uint8_t* block = static_cast<const uint8_t*>(params);
  if (LoadLe32(block + kGostExpandedMarkerOffset) != TableFingerprint(block)) return nullptr;
  return block + kGostExpandedOffset;
}

}  // namespace crypc
