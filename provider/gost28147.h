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
  explicit Gost28147Tables(const uint8_t* base) : base_(base) {}

  // F is the round function f(x) = ROL11(S(x)).
  uint32_t F(uint32_t x) const {
    return Word(x & 0xFF) ^ Word(256 + ((x >> 8) & 0xFF)) ^ Word(512 + ((x >> 16) & 0xFF)) ^ Word(768 + (x >> 24));
  }

 private:
  uint32_t Word(size_t i) const {
    uint32_t v;
    memcpy(&v, base_ + 4 * i, 4);  // the block is only 4-aligned; native order, built by us
    return v;
  }
  const uint8_t* base_;
};

// PrepareParamBlock checks the 128-byte S-box table at the start of params (each
// byte a 4-bit value) and writes the expanded tables and a marker into the spare
// bytes after it. The block stays the caller's: it must live, unchanged, until
// every context initialised with it is cleared. Returns false for a bad table.
[[nodiscard]] bool PrepareParamBlock(void* params);

// ParamTables answers the expanded tables of a prepared block, or nullptr when
// the block was never prepared or has been overwritten since.
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
inline void Gost28147Encrypt(const Gost28147Tables& t, const uint32_t* k, uint32_t& n1, uint32_t& n2) {
  uint32_t a = n1, b = n2;
  for (int pass = 0; pass < 3; ++pass) {
    b ^= t.F(a + k[0]); a ^= t.F(b + k[1]);
    b ^= t.F(a + k[2]); a ^= t.F(b + k[3]);
    b ^= t.F(a + k[4]); a ^= t.F(b + k[5]);
    b ^= t.F(a + k[6]); a ^= t.F(b + k[7]);
  }
  b ^= t.F(a + k[7]); a ^= t.F(b + k[6]);
  b ^= t.F(a + k[5]); a ^= t.F(b + k[4]);
  b ^= t.F(a + k[3]); a ^= t.F(b + k[2]);
  b ^= t.F(a + k[1]); a ^= t.F(b + k[0]);
  // The last round writes N2 and does not swap.
  n1 = b;
  n2 = a;
}

// Gost28147Decrypt inverts Gost28147Encrypt.
inline void Gost28147Decrypt(const Gost28147Tables& t, const uint32_t* k, uint32_t& n1, uint32_t& n2) {
  uint32_t a = n1, b = n2;
  b ^= t.F(a + k[0]); a ^= t.F(b + k[1]);
  b ^= t.F(a + k[2]); a ^= t.F(b + k[3]);
  b ^= t.F(a + k[4]); a ^= t.F(b + k[5]);
  b ^= t.F(a + k[6]); a ^= t.F(b + k[7]);
  for (int pass = 0; pass < 3; ++pass) {
    b ^= t.F(a + k[7]); a ^= t.F(b + k[6]);
    b ^= t.F(a + k[5]); a ^= t.F(b + k[4]);
    b ^= t.F(a + k[3]); a ^= t.F(b + k[2]);
    b ^= t.F(a + k[1]); a ^= t.F(b + k[0]);
  }
  n1 = b;
  n2 = a;
}

// Gost28147Mac16 runs the first 16 encryption rounds, as the MAC does; after the
// 16th round N1 holds the half computed last (no final-round exception).
inline void Gost28147Mac16(const Gost28147Tables& t, const uint32_t* k, uint32_t& n1, uint32_t& n2) {
  uint32_t a = n1, b = n2;
  for (int pass = 0; pass < 2; ++pass) {
    b ^= t.F(a + k[0]); a ^= t.F(b + k[1]);
    b ^= t.F(a + k[2]); a ^= t.F(b + k[3]);
    b ^= t.F(a + k[4]); a ^= t.F(b + k[5]);
    b ^= t.F(a + k[6]); a ^= t.F(b + k[7]);
  }
  n1 = a;
  n2 = b;
}

}  // namespace crypc

#endif  // TZM_PROVIDER_GOST28147_H
