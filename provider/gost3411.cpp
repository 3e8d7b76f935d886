// GOST R 34.11-94 step function and streaming (RFC 5831 sections 5 and 6).
// Numbers of the standard map to our words as: 64-bit y_1 = words 0..1 of the
// 32-byte little-endian value, 16-bit eta_1 = bytes 0..1.
#include "gost3411.h"

#include <utility>

#include "wipe.h"

namespace crypc {
namespace {

// C_3 of the key generation (RFC 5831 section 6.1), least significant word first;
// C_2 and C_4 are zero.
constexpr uint32_t kC3[8] = {0xff00ff00, 0xff00ff00, 0x00ff00ff, 0x00ff00ff,
                             0x00ffff00, 0xff0000ff, 0x000000ff, 0xff00ffff};

// A(y4||y3||y2||y1) = (y1 xor y2)||y4||y3||y2 on 64-bit halves.
inline void TransformA(uint32_t y[8]) {
  uint32_t lo = y[0] ^ y[2], hi = y[1] ^ y[3];
  y[0] = y[2]; y[1] = y[3];
  y[2] = y[4]; y[3] = y[5];
  y[4] = y[6]; y[5] = y[7];
  y[6] = lo;   y[7] = hi;
}

// P: byte i + 4k of the result is byte 8i + k of w (i = 0..3, k = 0..7), read
// straight into the eight cipher key words.
inline void TransformP(const uint32_t w[8], uint32_t key[8]) {
  for (int k = 0; k < 8; ++k) {
    int shift = 8 * (k & 3);
    int word = k >> 2;
    key[k] = ((w[word] >> shift) & 0xFF) | ((w[word + 2] >> shift) & 0xFF) << 8 |
             ((w[word + 4] >> shift) & 0xFF) << 16 | ((w[word + 6] >> shift) & 0xFF) << 24;
  }
}

// The output transformation H_out = psi^61(H_in xor psi(M xor psi^12(S))) is
// linear over the 16-bit words eta of H_in, M and S, where psi appends
// eta1^eta2^eta3^eta4^eta13^eta16 and drops eta1. Since psi is linear,
// H_out = psi^61(H_in) xor psi^62(M) xor psi^74(S): every output word is the XOR
// of a fixed set of the 48 input words. MixMasks derives those sets at compile
// time (bit i: input word i, H_in 0..15, M 16..31, S 32..47), and MixWord
// expands each set into straight-line XORs. This replaces 74 dependent steps
// of psi by independent sums the processor can overlap.
struct MixMasks {
  uint64_t word[16];
};

constexpr void Psi(uint64_t (&w)[16]) {
  uint64_t appended = w[0] ^ w[1] ^ w[2] ^ w[3] ^ w[12] ^ w[15];
  for (int i = 0; i < 15; ++i) w[i] = w[i + 1];
  w[15] = appended;
}

constexpr MixMasks ComputeMixMasks() {
  uint64_t x[16] = {};
  for (int i = 0; i < 16; ++i) x[i] = uint64_t(1) << (32 + i);  // S
  for (int r = 0; r < 12; ++r) Psi(x);
  for (int i = 0; i < 16; ++i) x[i] ^= uint64_t(1) << (16 + i);  // M
  Psi(x);
  for (int i = 0; i < 16; ++i) x[i] ^= uint64_t(1) << i;  // H_in
  for (int r = 0; r < 61; ++r) Psi(x);
  MixMasks m{};
  for (int i = 0; i < 16; ++i) m.word[i] = x[i];
  return m;
}

constexpr MixMasks kMix = ComputeMixMasks();

template <size_t J, size_t I>
CRYPC_ALWAYS_INLINE uint16_t MixTerm(const uint16_t* in) {
  if constexpr ((kMix.word[J] >> I) & 1)
    return in[I];
  else
    return 0;
}

template <size_t J, size_t... I>
CRYPC_ALWAYS_INLINE uint16_t MixWord(const uint16_t* in, std::index_sequence<I...>) {
  return uint16_t((MixTerm<J, I>(in) ^ ...));
}

template <size_t... J>
CRYPC_ALWAYS_INLINE void MixAll(const uint16_t* in, uint16_t* out, std::index_sequence<J...>) {
  ((out[J] = MixWord<J>(in, std::make_index_sequence<48>())), ...);
}

inline void LoadWords16(const uint8_t* in, uint16_t* w) {
  for (int i = 0; i < 16; ++i) w[i] = uint16_t(in[2 * i] | in[2 * i + 1] << 8);
}

inline void AddMod256(uint8_t sum[32], const uint8_t block[32]) {
  unsigned carry = 0;
  for (int i = 0; i < 32; ++i) {
    carry += unsigned(sum[i]) + block[i];
    sum[i] = uint8_t(carry);
    carry >>= 8;
  }
}

}  // namespace

void Gost3411Compress(const Gost28147Tables& t, uint8_t hash[32], const uint8_t block[32]) {
  uint32_t u[8], v[8], w[8];
  for (int i = 0; i < 8; ++i) {
    u[i] = LoadLe32(hash + 4 * i);
    v[i] = LoadLe32(block + 4 * i);
  }
  // Key generation: K_1..K_4 from U = H_in, V = M (A and P transforms, C_3).
  uint32_t keys[4][8];
  for (int step = 0; step < 4; ++step) {
    if (step > 0) {
      TransformA(u);
      if (step == 2)
        for (int i = 0; i < 8; ++i) u[i] ^= kC3[i];
      TransformA(v);
      TransformA(v);
    }
    for (int i = 0; i < 8; ++i) w[i] = u[i] ^ v[i];
    TransformP(w, keys[step]);
  }
  // Encryption: s_i = E_{K_i}(h_i), h_i the i-th 64-bit word of H_in.
  uint32_t s[4][2];
  for (int i = 0; i < 4; ++i) {
    s[i][0] = LoadLe32(hash + 8 * i);
    s[i][1] = LoadLe32(hash + 8 * i + 4);
  }
  const uint32_t* const keyRefs[4] = {keys[0], keys[1], keys[2], keys[3]};
  Gost28147Encrypt4(t, keyRefs, s);
  // Mixing.
  uint16_t in[48], out[16];
  LoadWords16(hash, in);
  LoadWords16(block, in + 16);
  for (int i = 0; i < 4; ++i) {
    in[32 + 4 * i] = uint16_t(s[i][0]);
    in[33 + 4 * i] = uint16_t(s[i][0] >> 16);
    in[34 + 4 * i] = uint16_t(s[i][1]);
    in[35 + 4 * i] = uint16_t(s[i][1] >> 16);
  }
  MixAll(in, out, std::make_index_sequence<16>());
  for (int i = 0; i < 16; ++i) {
    hash[2 * i] = uint8_t(out[i]);
    hash[2 * i + 1] = uint8_t(out[i] >> 8);
  }
  // The message may be secret (a shared key being hashed): no copy of it stays behind.
  Wipe(keys, sizeof keys);
  Wipe(s, sizeof s);
  Wipe(in, sizeof in);
  Wipe(out, sizeof out);
  Wipe(u, sizeof u);
  Wipe(v, sizeof v);
  Wipe(w, sizeof w);
}

void HashStart(HashState& s, std::span<const uint8_t, kGost3411HashLen> startVector) {
  memcpy(s.hash, startVector.data(), kGost3411HashLen);
  memset(s.sigma, 0, sizeof s.sigma);
  s.lenLo = 0;
  s.lenHi = 0;
  memset(s.buf, 0, sizeof s.buf);
}

void HashUpdate(HashState& s, const Gost28147Tables& t, std::span<const uint8_t> data) {
  const uint8_t* src = data.data();
  const size_t n = data.size();
  size_t fill = s.lenLo % kGost3411BlockLen;
  uint64_t len = (uint64_t(s.lenHi) << 32 | s.lenLo) + n;
  s.lenLo = uint32_t(len);
  s.lenHi = uint32_t(len >> 32);
  size_t i = 0;
  if (fill > 0) {
    size_t take = n < kGost3411BlockLen - fill ? n : kGost3411BlockLen - fill;
    memcpy(s.buf + fill, src, take);
    i = take;
    if (fill + take < kGost3411BlockLen) return;
    Gost3411Compress(t, s.hash, s.buf);
    AddMod256(s.sigma, s.buf);
  }
  for (; i + kGost3411BlockLen <= n; i += kGost3411BlockLen) {
    Gost3411Compress(t, s.hash, src + i);
    AddMod256(s.sigma, src + i);
  }
  if (i < n) memcpy(s.buf, src + i, n - i);
}

void HashFinish(const HashState& s, const Gost28147Tables& t, std::span<uint8_t, kGost3411HashLen> out) {
  HashState w = s;
  size_t fill = w.lenLo % kGost3411BlockLen;
  if (fill > 0) {
    memset(w.buf + fill, 0, kGost3411BlockLen - fill);
    Gost3411Compress(t, w.hash, w.buf);
    AddMod256(w.sigma, w.buf);
  }
  // Length block: the message length in bits as a 256-bit number.
  uint64_t bytes = uint64_t(w.lenHi) << 32 | w.lenLo;
  uint8_t lengthBlock[32] = {};
  uint64_t bitsLo = bytes << 3;
  for (int i = 0; i < 8; ++i) lengthBlock[i] = uint8_t(bitsLo >> (8 * i));
  lengthBlock[8] = uint8_t(bytes >> 61);
  Gost3411Compress(t, w.hash, lengthBlock);
  Gost3411Compress(t, w.hash, w.sigma);
  memcpy(out.data(), w.hash, kGost3411HashLen);
  Wipe(&w, sizeof w);
}

}  // namespace crypc
