// GOST R 34.11-94 step function and streaming (RFC 5831 sections 5 and 6).
// Numbers of the standard map to our words as: 64-bit y_1 = words 0..1 of the
// 32-byte little-endian value, 16-bit eta_1 = bytes 0..1.
#include "gost3411.h"

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

// PsiRun applies psi n times to the sixteen 16-bit words in w[0..15]: each
// application appends eta1^eta2^eta3^eta4^eta13^eta16 and drops eta1, so the
// result is w[n..n+15]. w must hold 16 + n words.
inline void PsiRun(uint16_t* w, int n) {
  for (int j = 0; j < n; ++j)
    w[16 + j] = uint16_t(w[j] ^ w[j + 1] ^ w[j + 2] ^ w[j + 3] ^ w[j + 12] ^ w[j + 15]);
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
  uint32_t u[8], v[8], w[8], key[8], s[8];
  for (int i = 0; i < 8; ++i) {
    u[i] = LoadLe32(hash + 4 * i);
    v[i] = LoadLe32(block + 4 * i);
  }
  // Key generation and encryption: s_i = E_{K_i}(h_i).
  for (int step = 0; step < 4; ++step) {
    if (step > 0) {
      TransformA(u);
      if (step == 2)
        for (int i = 0; i < 8; ++i) u[i] ^= kC3[i];
      TransformA(v);
      TransformA(v);
    }
    for (int i = 0; i < 8; ++i) w[i] = u[i] ^ v[i];
    TransformP(w, key);
    uint32_t n1 = LoadLe32(hash + 8 * step), n2 = LoadLe32(hash + 8 * step + 4);
    Gost28147Encrypt(t, key, n1, n2);
    s[2 * step] = n1;
    s[2 * step + 1] = n2;
  }
  // Mixing: H_out = psi^61(H_in xor psi(M xor psi^12(S))).
  uint16_t x[16 + 61];
  uint8_t sBytes[32];
  for (int i = 0; i < 8; ++i) StoreLe32(sBytes + 4 * i, s[i]);
  LoadWords16(sBytes, x);
  PsiRun(x, 12);
  uint16_t m[16];
  LoadWords16(block, m);
  for (int i = 0; i < 16; ++i) x[i] = uint16_t(x[12 + i] ^ m[i]);
  PsiRun(x, 1);
  uint16_t h[16];
  LoadWords16(hash, h);
  for (int i = 0; i < 16; ++i) x[i] = uint16_t(x[1 + i] ^ h[i]);
  PsiRun(x, 61);
  for (int i = 0; i < 16; ++i) {
    hash[2 * i] = uint8_t(x[61 + i]);
    hash[2 * i + 1] = uint8_t(x[61 + i] >> 8);
  }
  Wipe(u, sizeof u);
  Wipe(v, sizeof v);
  Wipe(w, sizeof w);
  Wipe(key, sizeof key);
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
