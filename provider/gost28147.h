// GOST 28147-89 block cipher core: the expanded substitution tables, the key
// schedule and the 32-round and 16-round transformations on one 64-bit block.
// Byte orders follow RFC 5830: key word X_i = LE32(key[4i..4i+3]), a block is
// N1 = LE32(bytes 0..3), N2 = LE32(bytes 4..7).
#ifndef TZM_PROVIDER_GOST28147_H
#define TZM_PROVIDER_GOST28147_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <span>

// The round functions must be inlined into the mode loops to keep the block
// and key in registers; the compiler's size heuristics would otherwise refuse.
#define CRYPC_ALWAYS_INLINE inline __attribute__((always_inline))

namespace crypc {

constexpr size_t kGostParamBlockLen = 4228;  // GostParamBlock: S-box table + spare bytes
constexpr size_t kGostSboxTableLen = 128;    // K8 in bytes 0..15 down to K1 in bytes 112..127
constexpr size_t kGostExpandedOffset = 128;  // 4 x 256 uint32 tables in the spare bytes
constexpr size_t kGostExpandedLen = 4096;
constexpr size_t kGostExpandedMarkerOffset = kGostExpandedOffset + kGostExpandedLen;
constexpr size_t kGostKeyLen = 32;
constexpr size_t kGostBlockLen = 8;

inline uint32_t LoadLe32(const uint8_t* p) {
  uint32_t v;
  memcpy(&v, p, 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  v = __builtin_bswap32(v);
#endif
  return v;
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  v = __builtin_bswap32(v);
#endif
  memcpy(p, &v, 4);
}

// Gost28147Tables reads the expanded substitution tables kept in a parameter
// block. Entry [j][b] is ROL11(S applied to byte b placed at byte position j),
// so one round is four lookups and three XORs. The tables are public data:
// they derive only from the public S-box table, never from a key, which is why
// they may live in a block the caller releases without wiping.
class Gost28147Tables {
 public:
  explicit Gost28147Tables(const uint8_t* base)
      : t0_(base), t1_(base + 1024), t2_(base + 2048), t3_(base + 3072) {}

  // MacRound answers b ^ f(a + k) for the MAC's serial chain. The sum is
  // 32-bit, so the top byte needs no mask, all four lookups go through one
  // base register (freeing registers for the key), and the XOR tree is fixed:
  // b joins the two early lookups while the slower third byte (two operations
  // to extract) is combined last. The empty asm statements keep the compiler
  // from re-associating the tree into a serial chain of memory XORs.
  CRYPC_ALWAYS_INLINE uint32_t MacRound(uint32_t a, uint32_t k, uint32_t b) const {
    const uint32_t x = a + k;
    uint32_t p = b ^ Word(t0_, x & 0xFF);
    uint32_t q = Word(t0_ + 1024, (x >> 8) & 0xFF) ^ Word(t0_ + 3072, x >> 24);
    __asm__("" : "+r"(p), "+r"(q));
    uint32_t s = p ^ q;
    __asm__("" : "+r"(s));
    return s ^ Word(t0_ + 2048, (x >> 16) & 0xFF);
  }

  // F is the round function f(x) = ROL11(S(x)) of the 32-bit sum x = N + X_i.
  // Callers add in the address width (size_t(n) + k): only bits 0..31 are
  // read, and the sum needs no zero-extension before indexing the tables.
  CRYPC_ALWAYS_INLINE uint32_t F(size_t x) const {
    // Two independent pairs keep the XOR tree shallow on the serial modes' critical path.
    uint32_t low = Word(t0_, x & 0xFF) ^ Word(t1_, (x >> 8) & 0xFF);
    uint32_t high = Word(t2_, (x >> 16) & 0xFF) ^ Word(t3_, (x >> 24) & 0xFF);
    return low ^ high;
  }

 private:
  // Word reads entry b of a table; the block is only 4-aligned, and the
  // entries are in native order because we built them.
  static CRYPC_ALWAYS_INLINE uint32_t Word(const uint8_t* table, size_t b) {
    uint32_t v;
    memcpy(&v, table + 4 * b, 4);
    return v;
  }
  const uint8_t* t0_;
  const uint8_t* t1_;
  const uint8_t* t2_;
  const uint8_t* t3_;
};

// PrepareParamBlock checks the 128-byte S-box table at the start of params (each
// byte a 4-bit value) and, unless the block already holds tables built from that
// table, writes the expanded tables and the table's fingerprint into the spare
// bytes after it. The block stays the caller's: it must be writable and live,
// unchanged, until every context initialised with it is cleared. Returns false
// for a bad table.
[[nodiscard]] bool PrepareParamBlock(void* params);

// ParamTables answers the expanded tables of a prepared block, or nullptr when
// the block was never prepared or its table or spare bytes changed since.
[[nodiscard]] const uint8_t* ParamTables(const void* params);

// Gost28147Key is the key schedule X0..X7. It is secret: holders wipe it.
struct Gost28147Key {
  uint32_t x[8];
};

inline void LoadGost28147Key(std::span<const uint8_t, kGostKeyLen> key, Gost28147Key& out) {
  for (int i = 0; i < 8; ++i) out.x[i] = LoadLe32(key.data() + 4 * i);
}

// Gost28147Encrypt runs the 32 encryption rounds on (n1, n2) in place; the
// result is the output block LE32(n1) || LE32(n2).
CRYPC_ALWAYS_INLINE void Gost28147Encrypt(const Gost28147Tables& t, const uint32_t* k, uint32_t& n1, uint32_t& n2) {
  uint32_t a = n1, b = n2;
  for (int pass = 0; pass < 3; ++pass) {
    b ^= t.F(size_t(a) + k[0]); a ^= t.F(size_t(b) + k[1]);
    b ^= t.F(size_t(a) + k[2]); a ^= t.F(size_t(b) + k[3]);
    b ^= t.F(size_t(a) + k[4]); a ^= t.F(size_t(b) + k[5]);
    b ^= t.F(size_t(a) + k[6]); a ^= t.F(size_t(b) + k[7]);
  }
  b ^= t.F(size_t(a) + k[7]); a ^= t.F(size_t(b) + k[6]);
  b ^= t.F(size_t(a) + k[5]); a ^= t.F(size_t(b) + k[4]);
  b ^= t.F(size_t(a) + k[3]); a ^= t.F(size_t(b) + k[2]);
  b ^= t.F(size_t(a) + k[1]); a ^= t.F(size_t(b) + k[0]);
  // The last round writes N2 and does not swap.
  n1 = b;
  n2 = a;
}

// Gost28147Encrypt4 encrypts four blocks at once: n[i] = {N1, N2} of block i,
// k[i] its key schedule (the four may be the same). The four chains are
// independent, so interleaving them lets the processor overlap their lookups.
CRYPC_ALWAYS_INLINE void Gost28147Encrypt4(const Gost28147Tables& t, const uint32_t* const (&k)[4], uint32_t (*n)[2]) {
  constexpr uint8_t kOrder[32] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7,
                                  0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0};
  uint32_t a0 = n[0][0], b0 = n[0][1], a1 = n[1][0], b1 = n[1][1];
  uint32_t a2 = n[2][0], b2 = n[2][1], a3 = n[3][0], b3 = n[3][1];
#pragma GCC unroll 16
  for (int r = 0; r < 32; r += 2) {
    const int x = kOrder[r], y = kOrder[r + 1];
    b0 ^= t.F(size_t(a0) + k[0][x]);
    b1 ^= t.F(size_t(a1) + k[1][x]);
    b2 ^= t.F(size_t(a2) + k[2][x]);
    b3 ^= t.F(size_t(a3) + k[3][x]);
    a0 ^= t.F(size_t(b0) + k[0][y]);
    a1 ^= t.F(size_t(b1) + k[1][y]);
    a2 ^= t.F(size_t(b2) + k[2][y]);
    a3 ^= t.F(size_t(b3) + k[3][y]);
  }
  n[0][0] = b0; n[0][1] = a0;
  n[1][0] = b1; n[1][1] = a1;
  n[2][0] = b2; n[2][1] = a2;
  n[3][0] = b3; n[3][1] = a3;
}

// Gost28147Decrypt inverts Gost28147Encrypt.
CRYPC_ALWAYS_INLINE void Gost28147Decrypt(const Gost28147Tables& t, const uint32_t* k, uint32_t& n1, uint32_t& n2) {
  uint32_t a = n1, b = n2;
  b ^= t.F(size_t(a) + k[0]); a ^= t.F(size_t(b) + k[1]);
  b ^= t.F(size_t(a) + k[2]); a ^= t.F(size_t(b) + k[3]);
  b ^= t.F(size_t(a) + k[4]); a ^= t.F(size_t(b) + k[5]);
  b ^= t.F(size_t(a) + k[6]); a ^= t.F(size_t(b) + k[7]);
  for (int pass = 0; pass < 3; ++pass) {
    b ^= t.F(size_t(a) + k[7]); a ^= t.F(size_t(b) + k[6]);
    b ^= t.F(size_t(a) + k[5]); a ^= t.F(size_t(b) + k[4]);
    b ^= t.F(size_t(a) + k[3]); a ^= t.F(size_t(b) + k[2]);
    b ^= t.F(size_t(a) + k[1]); a ^= t.F(size_t(b) + k[0]);
  }
  n1 = b;
  n2 = a;
}

// Gost28147Mac16 runs the first 16 encryption rounds, as the MAC does; after the
// 16th round N1 holds the half computed last (no final-round exception).
CRYPC_ALWAYS_INLINE void Gost28147Mac16(const Gost28147Tables& t, const uint32_t* k, uint32_t& n1, uint32_t& n2) {
  uint32_t a = n1, b = n2;
  for (int pass = 0; pass < 2; ++pass) {
    b = t.MacRound(a, k[0], b); a = t.MacRound(b, k[1], a);
    b = t.MacRound(a, k[2], b); a = t.MacRound(b, k[3], a);
    b = t.MacRound(a, k[4], b); a = t.MacRound(b, k[5], a);
    b = t.MacRound(a, k[6], b); a = t.MacRound(b, k[7], a);
  }
  n1 = a;
  n2 = b;
}

}  // namespace crypc

#endif  // TZM_PROVIDER_GOST28147_H
