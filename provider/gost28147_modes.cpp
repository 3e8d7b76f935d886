// The GOST 28147-89 modes. Whole blocks go through 32-bit loads and stores in a
// tight loop; the byte-wise paths only handle the edges of a piece.
#include "gost28147_modes.h"

#include <algorithm>

#include "wipe.h"

namespace crypc {
namespace {

// LocalKey is a stack copy of the key schedule for a hot loop: the compiler
// can keep it in registers because stores to the output cannot alias it.
struct LocalKey {
  explicit LocalKey(const Gost28147Key& key) { memcpy(x, key.x, sizeof x); }
  ~LocalKey() { Wipe(x, sizeof x); }
  uint32_t x[8];
};

}  // namespace

void EcbEncrypt(const Gost28147Tables& t, const Gost28147Key& key, std::span<const uint8_t> in, std::span<uint8_t> out) {
  const uint8_t* src = in.data();
  uint8_t* dst = out.data();
  LocalKey k(key);
  const Gost28147Tables tl = t;
  const uint32_t* const keys[4] = {k.x, k.x, k.x, k.x};
  size_t i = 0;
  for (; i + 4 * kGostBlockLen <= in.size(); i += 4 * kGostBlockLen) {
    uint32_t n[4][2];
    for (int b = 0; b < 4; ++b) {
      n[b][0] = LoadLe32(src + i + 8 * b);
      n[b][1] = LoadLe32(src + i + 8 * b + 4);
    }
    Gost28147Encrypt4(tl, keys, n);
    for (int b = 0; b < 4; ++b) {
      StoreLe32(dst + i + 8 * b, n[b][0]);
      StoreLe32(dst + i + 8 * b + 4, n[b][1]);
    }
  }
  for (; i + kGostBlockLen <= in.size(); i += kGostBlockLen) {
    uint32_t n1 = LoadLe32(src + i), n2 = LoadLe32(src + i + 4);
    Gost28147Encrypt(tl, k.x, n1, n2);
    StoreLe32(dst + i, n1);
    StoreLe32(dst + i + 4, n2);
  }
}

void EcbDecrypt(const Gost28147Tables& t, const Gost28147Key& key, std::span<const uint8_t> in, std::span<uint8_t> out) {
  const uint8_t* src = in.data();
  uint8_t* dst = out.data();
  LocalKey k(key);
  const Gost28147Tables tl = t;
  for (size_t i = 0; i + kGostBlockLen <= in.size(); i += kGostBlockLen) {
    uint32_t n1 = LoadLe32(src + i), n2 = LoadLe32(src + i + 4);
    Gost28147Decrypt(tl, k.x, n1, n2);
    StoreLe32(dst + i, n1);
    StoreLe32(dst + i + 4, n2);
  }
}

void GammaStart(GammaState& s, const Gost28147Tables& t, std::span<const uint8_t, kGostBlockLen> synchro) {
  uint32_t n1 = LoadLe32(synchro.data()), n2 = LoadLe32(synchro.data() + 4);
  Gost28147Encrypt(t, s.key.x, n1, n2);
  s.n3 = n1;
  s.n4 = n2;
  memset(s.gamma, 0, sizeof s.gamma);
  s.used = kGostBlockLen;
}

void GammaCrypt(GammaState& s, const Gost28147Tables& t, std::span<const uint8_t> in, std::span<uint8_t> out) {
  const uint8_t* src = in.data();
  uint8_t* dst = out.data();
  const size_t n = in.size();
  size_t i = 0;
  while (s.used < kGostBlockLen && i < n) {
    dst[i] = src[i] ^ s.gamma[s.used++];
    ++i;
  }
  uint32_t n3 = s.n3, n4 = s.n4;
  if (i + kGostBlockLen <= n) {
    LocalKey k(s.key);
    const Gost28147Tables tl = t;
    const uint32_t* const keys[4] = {k.x, k.x, k.x, k.x};
    for (; i + 4 * kGostBlockLen <= n; i += 4 * kGostBlockLen) {
      uint32_t g[4][2];
      for (int b = 0; b < 4; ++b) {
        n3 += kGammaC2;
        n4 = AddModMinus1(n4, kGammaC1);
        g[b][0] = n3;
        g[b][1] = n4;
      }
      Gost28147Encrypt4(tl, keys, g);
      for (int b = 0; b < 4; ++b) {
        StoreLe32(dst + i + 8 * b, LoadLe32(src + i + 8 * b) ^ g[b][0]);
        StoreLe32(dst + i + 8 * b + 4, LoadLe32(src + i + 8 * b + 4) ^ g[b][1]);
      }
    }
    for (; i + kGostBlockLen <= n; i += kGostBlockLen) {
      n3 += kGammaC2;
      n4 = AddModMinus1(n4, kGammaC1);
      uint32_t g1 = n3, g2 = n4;
      Gost28147Encrypt(tl, k.x, g1, g2);
      uint32_t w1 = LoadLe32(src + i) ^ g1;
      uint32_t w2 = LoadLe32(src + i + 4) ^ g2;
      StoreLe32(dst + i, w1);
      StoreLe32(dst + i + 4, w2);
    }
  }
  if (i < n) {
    // A short tail uses the leading bytes of the next gamma block; the rest
    // serves the next piece.
    n3 += kGammaC2;
    n4 = AddModMinus1(n4, kGammaC1);
    uint32_t g1 = n3, g2 = n4;
    Gost28147Encrypt(t, s.key.x, g1, g2);
    StoreLe32(s.gamma, g1);
    StoreLe32(s.gamma + 4, g2);
    s.used = 0;
    while (i < n) {
      dst[i] = src[i] ^ s.gamma[s.used++];
      ++i;
    }
  }
  s.n3 = n3;
  s.n4 = n4;
}

void CfbStart(CfbState& s, std::span<const uint8_t, kGostBlockLen> synchro) {
  memcpy(s.reg, synchro.data(), kGostBlockLen);
  s.used = kGostBlockLen;
}

namespace {

inline void CfbRefill(CfbState& s, const Gost28147Tables& t) {
  uint32_t n1 = LoadLe32(s.reg), n2 = LoadLe32(s.reg + 4);
  Gost28147Encrypt(t, s.key.x, n1, n2);
  StoreLe32(s.reg, n1);
  StoreLe32(s.reg + 4, n2);
  s.used = 0;
}

}  // namespace

void CfbEncrypt(CfbState& s, const Gost28147Tables& t, std::span<const uint8_t> in, std::span<uint8_t> out) {
  const uint8_t* src = in.data();
  uint8_t* dst = out.data();
  const size_t n = in.size();
  size_t i = 0;
  // Bytes of a block begun by an earlier piece: the register collects the ciphertext.
  while (s.used < kGostBlockLen && i < n) {
    s.reg[s.used] ^= src[i];
    dst[i] = s.reg[s.used++];
    ++i;
  }
  if (i + kGostBlockLen <= n) {
    LocalKey k(s.key);
    const Gost28147Tables tl = t;
    uint32_t r1 = LoadLe32(s.reg), r2 = LoadLe32(s.reg + 4);
    for (; i + kGostBlockLen <= n; i += kGostBlockLen) {
      Gost28147Encrypt(tl, k.x, r1, r2);
      r1 ^= LoadLe32(src + i);
      r2 ^= LoadLe32(src + i + 4);
      StoreLe32(dst + i, r1);
      StoreLe32(dst + i + 4, r2);
    }
    StoreLe32(s.reg, r1);
    StoreLe32(s.reg + 4, r2);
  }
  if (i < n) {
    CfbRefill(s, t);
    while (i < n) {
      s.reg[s.used] ^= src[i];
      dst[i] = s.reg[s.used++];
      ++i;
    }
  }
}

void CfbDecrypt(CfbState& s, const Gost28147Tables& t, std::span<const uint8_t> in, std::span<uint8_t> out) {
  const uint8_t* src = in.data();
  uint8_t* dst = out.data();
  const size_t n = in.size();
  size_t i = 0;
  while (s.used < kGostBlockLen && i < n) {
    uint8_t c = src[i];
    dst[i] = s.reg[s.used] ^ c;
    s.reg[s.used++] = c;
    ++i;
  }
  if (i + kGostBlockLen <= n) {
    LocalKey k(s.key);
    const Gost28147Tables tl = t;
    uint32_t r1 = LoadLe32(s.reg), r2 = LoadLe32(s.reg + 4);
    // The gamma of each block is the encrypted previous ciphertext block, all
    // known in advance when decrypting: four blocks go through at once.
    const uint32_t* const keys[4] = {k.x, k.x, k.x, k.x};
    for (; i + 4 * kGostBlockLen <= n; i += 4 * kGostBlockLen) {
      uint32_t g[4][2], c[4][2];
      for (int b = 0; b < 4; ++b) {
        g[b][0] = b == 0 ? r1 : c[b - 1][0];
        g[b][1] = b == 0 ? r2 : c[b - 1][1];
        c[b][0] = LoadLe32(src + i + 8 * b);
        c[b][1] = LoadLe32(src + i + 8 * b + 4);
      }
      Gost28147Encrypt4(tl, keys, g);
      for (int b = 0; b < 4; ++b) {
        StoreLe32(dst + i + 8 * b, g[b][0] ^ c[b][0]);
        StoreLe32(dst + i + 8 * b + 4, g[b][1] ^ c[b][1]);
      }
      r1 = c[3][0];
      r2 = c[3][1];
    }
    for (; i + kGostBlockLen <= n; i += kGostBlockLen) {
      Gost28147Encrypt(tl, k.x, r1, r2);
      uint32_t c1 = LoadLe32(src + i), c2 = LoadLe32(src + i + 4);
      StoreLe32(dst + i, r1 ^ c1);
      StoreLe32(dst + i + 4, r2 ^ c2);
      r1 = c1;
      r2 = c2;
    }
    StoreLe32(s.reg, r1);
    StoreLe32(s.reg + 4, r2);
  }
  if (i < n) {
    CfbRefill(s, t);
    while (i < n) {
      uint8_t c = src[i];
      dst[i] = s.reg[s.used] ^ c;
      s.reg[s.used++] = c;
      ++i;
    }
  }
}

void MacStart(MacState& s) {
  s.n1 = 0;
  s.n2 = 0;
  memset(s.buf, 0, sizeof s.buf);
  s.bufLen = 0;
  s.numBlocks = 0;
}

namespace {

inline void MacBlock(MacState& s, const Gost28147Tables& t, const uint8_t* block) {
  s.n1 ^= LoadLe32(block);
  s.n2 ^= LoadLe32(block + 4);
  Gost28147Mac16(t, s.key.x, s.n1, s.n2);
  if (s.numBlocks < 2) ++s.numBlocks;
}

}  // namespace

void MacUpdate(MacState& s, const Gost28147Tables& t, std::span<const uint8_t> data) {
  const uint8_t* src = data.data();
  const size_t n = data.size();
  size_t i = 0;
  if (s.bufLen > 0) {
    while (s.bufLen < kGostBlockLen && i < n) s.buf[s.bufLen++] = src[i++];
    if (s.bufLen < kGostBlockLen) return;
    MacBlock(s, t, s.buf);
    s.bufLen = 0;
  }
  if (i + kGostBlockLen <= n) {
    LocalKey k(s.key);
    const Gost28147Tables tl = t;
    uint32_t n1 = s.n1, n2 = s.n2;
    size_t numBlocks = 0;
    for (; i + kGostBlockLen <= n; i += kGostBlockLen, ++numBlocks) {
      n1 ^= LoadLe32(src + i);
      n2 ^= LoadLe32(src + i + 4);
      Gost28147Mac16(tl, k.x, n1, n2);
    }
    s.n1 = n1;
    s.n2 = n2;
    s.numBlocks = uint32_t(std::min<size_t>(2, s.numBlocks + numBlocks));
  }
  while (i < n) s.buf[s.bufLen++] = src[i++];
}

void MacFinish(const MacState& s, const Gost28147Tables& t, std::span<uint8_t, kGostBlockLen> mac) {
  MacState w = s;
  if (w.bufLen > 0) {
    memset(w.buf + w.bufLen, 0, kGostBlockLen - w.bufLen);
    MacBlock(w, t, w.buf);
  }
  if (w.numBlocks == 1) {
    static const uint8_t kZeroBlock[kGostBlockLen] = {};
    MacBlock(w, t, kZeroBlock);
  }
  StoreLe32(mac.data(), w.n1);
  StoreLe32(mac.data() + 4, w.n2);
  Wipe(&w, sizeof w);
}

}  // namespace crypc
