// GOST 28147-89 modes over the core cipher: simple replacement (ECB), gamma
// (counter, RFC 5830 section 6), gamma with feedback (64-bit CFB, section 7) and
// the MAC (section 8). Each mode keeps its whole state in a small struct of
// 32-bit words and bytes, which the entry points copy in and out of the caller's
// context area (4-byte alignment is all such an area guarantees). Every stream
// mode accepts input in pieces of any length and gives the same bytes as one call.
#ifndef TZM_PROVIDER_GOST28147_MODES_H
#define TZM_PROVIDER_GOST28147_MODES_H

#include <span>

#include "gost28147.h"

namespace crypc {

// ContextHeader opens every context: a per-family marker (zero before init and
// after clear) and the parameter block pointer stored as two 32-bit halves so
// the layout is the same on 32-bit and 64-bit builds.
struct ContextHeader {
  uint32_t magic;
  uint32_t paramsLo;
  uint32_t paramsHi;
};

struct Gost28147BlockState {
  ContextHeader header;
  Gost28147Key key;
};

struct GammaState {
  ContextHeader header;
  Gost28147Key key;
  uint32_t n3, n4;    // counter registers
  uint8_t gamma[8];   // current gamma block
  uint32_t used;      // bytes of gamma already used (8: none buffered)
};

struct CfbState {
  ContextHeader header;
  Gost28147Key key;
  uint8_t reg[8];  // encrypted feedback while used < 8, else the last ciphertext block
  uint32_t used;   // bytes of reg consumed (8: reg must be encrypted before use)
};

struct MacState {
  ContextHeader header;
  Gost28147Key key;
  uint32_t n1, n2;     // running state
  uint8_t buf[8];      // partial block
  uint32_t bufLen;
  uint32_t numBlocks;  // blocks absorbed, saturating at 2
};

// C1 and C2 of RFC 5830 section 6 (Appendix A bit tables): N4 steps by C1
// modulo 2^32 - 1, N3 by C2 modulo 2^32.
constexpr uint32_t kGammaC1 = 0x01010104;
constexpr uint32_t kGammaC2 = 0x01010101;

// AddModMinus1 adds modulo 2^32 - 1 with an end-around carry; 0xFFFFFFFF is kept.
inline uint32_t AddModMinus1(uint32_t a, uint32_t b) {
  uint32_t r = a + b;
  return r < b ? r + 1 : r;
}

// EcbEncrypt / EcbDecrypt transform whole 8-byte blocks; in.size() must be a
// multiple of 8 and equal out.size(). in and out may be the same buffer.
void EcbEncrypt(const Gost28147Tables& t, const Gost28147Key& key, std::span<const uint8_t> in, std::span<uint8_t> out);
void EcbDecrypt(const Gost28147Tables& t, const Gost28147Key& key, std::span<const uint8_t> in, std::span<uint8_t> out);

// GammaStart encrypts the synchro into the counter registers.
void GammaStart(GammaState& s, const Gost28147Tables& t, std::span<const uint8_t, kGostBlockLen> synchro);
// GammaCrypt combines in with the gamma into out (encryption and decryption alike).
void GammaCrypt(GammaState& s, const Gost28147Tables& t, std::span<const uint8_t> in, std::span<uint8_t> out);

void CfbStart(CfbState& s, std::span<const uint8_t, kGostBlockLen> synchro);
void CfbEncrypt(CfbState& s, const Gost28147Tables& t, std::span<const uint8_t> in, std::span<uint8_t> out);
void CfbDecrypt(CfbState& s, const Gost28147Tables& t, std::span<const uint8_t> in, std::span<uint8_t> out);

void MacStart(MacState& s);
void MacUpdate(MacState& s, const Gost28147Tables& t, std::span<const uint8_t> data);
// MacFinish writes LE32(N1) || LE32(N2) of the completed MAC without changing s:
// the last block is zero-padded, and a message of a single block is followed by
// one all-zero block. The usual 32-bit MAC is the first 4 bytes.
void MacFinish(const MacState& s, const Gost28147Tables& t, std::span<uint8_t, kGostBlockLen> mac);

}  // namespace crypc

#endif  // TZM_PROVIDER_GOST28147_MODES_H
