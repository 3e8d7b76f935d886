// Known-answer self test of the symmetric half, run through the entry points
// themselves. The S-box table here is the GOST R 34.11-94 test parameter set
// (RFC 5831 section 7.1, OID 1.2.643.2.2.30.0); it serves this test only, the
// working calls always take the caller's table. Expected values: RFC 5830/5831
// examples as published and cross-checked with independent implementations.
#include <string.h>

#include "crypc_exports.h"

namespace crypc {
namespace {

// K8 in bytes 0..15 down to K1 in bytes 112..127.
constexpr uint8_t kTestSboxTable[128] = {
    0x1, 0xF, 0xD, 0x0, 0x5, 0x7, 0xA, 0x4, 0x9, 0x2, 0x3, 0xE, 0x6, 0xB, 0x8, 0xC,  // K8
    0xD, 0xB, 0x4, 0x1, 0x3, 0xF, 0x5, 0x9, 0x0, 0xA, 0xE, 0x7, 0x6, 0x8, 0x2, 0xC,  // K7
    0x4, 0xB, 0xA, 0x0, 0x7, 0x2, 0x1, 0xD, 0x3, 0x6, 0x8, 0x5, 0x9, 0xC, 0xF, 0xE,  // K6
    0x6, 0xC, 0x7, 0x1, 0x5, 0xF, 0xD, 0x8, 0x4, 0xA, 0x9, 0xE, 0x0, 0x3, 0xB, 0x2,  // K5
    0x7, 0xD, 0xA, 0x1, 0x0, 0x8, 0x9, 0xF, 0xE, 0x4, 0x6, 0xC, 0xB, 0x2, 0x5, 0x3,  // K4
    0x5, 0x8, 0x1, 0xD, 0xA, 0x3, 0x4, 0x2, 0xE, 0xF, 0xC, 0x7, 0x6, 0x0, 0x9, 0xB,  // K3
    0xE, 0xB, 0x4, 0xC, 0x6, 0xD, 0xF, 0xA, 0x2, 0x3, 0x8, 0x1, 0x0, 0x7, 0x5, 0x9,  // K2
    0x4, 0xA, 0x9, 0x2, 0xD, 0x8, 0x0, 0xE, 0x6, 0xB, 0x1, 0xC, 0x7, 0xF, 0x5, 0x3,  // K1
};

// Key 00 01 .. 1f, synchro 01 02 .. 08, plaintext 00 01 .. 27 (40 bytes).
constexpr uint8_t kEcbExpected[40] = {
    0xd4, 0x8f, 0x98, 0x74, 0x5d, 0x38, 0xb9, 0xd2, 0x47, 0xd4, 0x5a, 0x1e, 0xf3, 0xa9, 0x16, 0x63,
    0xa2, 0x10, 0xf6, 0xae, 0x16, 0xc2, 0x84, 0x80, 0x06, 0x04, 0xcb, 0x19, 0xfd, 0xc2, 0x29, 0xbd,
    0x7c, 0x1a, 0x2b, 0x1e, 0x82, 0x88, 0xd0, 0x5c};
constexpr uint8_t kGammaExpected[40] = {
    0xf7, 0x74, 0x37, 0xf2, 0x52, 0x98, 0xa6, 0xb4, 0xb0, 0x65, 0xac, 0x7d, 0x02, 0x19, 0xfd, 0x4f,
    0xcb, 0xbc, 0xe3, 0x89, 0x7b, 0xa6, 0xb4, 0x6b, 0x8c, 0xdd, 0x3b, 0x38, 0x3d, 0x09, 0x47, 0x46,
    0x02, 0xae, 0x7b, 0x32, 0x1d, 0xcd, 0xf5, 0xd6};
constexpr uint8_t kCfbExpected[40] = {
    0x1b, 0xe8, 0x66, 0x8a, 0xd8, 0x57, 0x8a, 0x44, 0x5e, 0x27, 0x18, 0xdf, 0x2f, 0x3f, 0x15, 0xd3,
    0x82, 0x03, 0x77, 0xa7, 0xbf, 0x8b, 0x53, 0xf3, 0x67, 0x93, 0x73, 0xcd, 0xb9, 0xb3, 0xce, 0x80,
    0xe6, 0xf9, 0x5e, 0xfd, 0x3b, 0xa2, 0x40, 0x4c};
constexpr uint8_t kMacExpected[8] = {0x77, 0xd1, 0x2d, 0x47, 0xa5, 0xa0, 0x5f, 0xea};
// GOST R 34.11-94 of "abc", zero start vector.
constexpr uint8_t kHashAbcExpected[32] = {
    0xf3, 0x13, 0x43, 0x48, 0xc4, 0x4f, 0xb1, 0xb2, 0xa2, 0x77, 0x72, 0x9e, 0x22, 0x85, 0xeb, 0xb5,
    0xcb, 0x5e, 0x0f, 0x29, 0xc9, 0x75, 0xbc, 0x75, 0x3b, 0x70, 0x49, 0x7c, 0x06, 0xa4, 0xd5, 0x1d};
// GOST R 34.11-94 of "Suppose the original message has length = 50 bytes" (RFC 5831 7.3.2).
constexpr char kHashLongText[] = "Suppose the original message has length = 50 bytes";
constexpr uint8_t kHashLongExpected[32] = {
    0x47, 0x1a, 0xba, 0x57, 0xa6, 0x0a, 0x77, 0x0d, 0x3a, 0x76, 0x13, 0x06, 0x35, 0xc1, 0xfb, 0xea,
    0x4e, 0xf1, 0x4d, 0xe5, 0x1f, 0x78, 0xb4, 0xae, 0x57, 0xdd, 0x89, 0x3b, 0x62, 0xf5, 0x52, 0x08};

struct SelfTestData {
  alignas(8) uint8_t params[kCrypCParamBlockLen];
  alignas(8) uint8_t ctx[kCrypCGammaOfbContextLen];  // the largest symmetric context
  uint8_t random[kCrypCRandomStateLen];
  uint8_t key[32];
  uint8_t synchro[8];
  uint8_t plain[40];
  uint8_t out[40];
  uint8_t back[40];
};

void Reset(SelfTestData& d) {
  memset(&d, 0, sizeof d);
  memcpy(d.params, kTestSboxTable, sizeof kTestSboxTable);
  for (int i = 0; i < 32; ++i) d.key[i] = uint8_t(i);
  for (int i = 0; i < 8; ++i) d.synchro[i] = uint8_t(i + 1);
  for (int i = 0; i < 40; ++i) d.plain[i] = uint8_t(i);
}

bool CheckEcb(SelfTestData& d) {
  Reset(d);
  bool ok = CrypC_G28147_1989_block_init(d.ctx, d.params, d.random, d.key) == 0 &&
            CrypC_G28147_1989_block_encrypt(d.ctx, d.plain, d.out, 40) == 0 &&
            memcmp(d.out, kEcbExpected, 40) == 0 &&
            CrypC_G28147_1989_block_decrypt(d.ctx, d.out, d.back, 40) == 0 && memcmp(d.back, d.plain, 40) == 0;
  return CrypC_G28147_1989_block_clear(d.ctx) == 0 && ok;
}

bool CheckGamma(SelfTestData& d) {
  Reset(d);
  // Two pieces, so the carried-over gamma is exercised too.
  bool ok = CrypC_G28147_1989_gamma_init(d.ctx, d.params, d.random, d.key, d.synchro) == 0 &&
            CrypC_G28147_1989_gamma_crypt(d.ctx, d.plain, d.out, 13) == 0 &&
            CrypC_G28147_1989_gamma_crypt(d.ctx, d.plain + 13, d.out + 13, 27) == 0 &&
            memcmp(d.out, kGammaExpected, 40) == 0;
  return CrypC_G28147_1989_gamma_clear(d.ctx) == 0 && ok;
}

bool CheckCfb(SelfTestData& d) {
  Reset(d);
  bool ok = CrypC_G28147_1989_gamma_ofb_init(d.ctx, d.params, d.random, d.key, d.synchro) == 0 &&
            CrypC_G28147_1989_gamma_ofb_encrypt(d.ctx, d.plain, d.out, 40) == 0 &&
            memcmp(d.out, kCfbExpected, 40) == 0 &&
            CrypC_G28147_1989_gamma_ofb_init(d.ctx, d.params, d.random, d.key, d.synchro) == 0 &&
            CrypC_G28147_1989_gamma_ofb_decrypt(d.ctx, d.out, d.back, 21) == 0 &&
            CrypC_G28147_1989_gamma_ofb_decrypt(d.ctx, d.out + 21, d.back + 21, 19) == 0 &&
            memcmp(d.back, d.plain, 40) == 0;
  return CrypC_G28147_1989_gamma_ofb_clear(d.ctx) == 0 && ok;
}

bool CheckMac(SelfTestData& d) {
  Reset(d);
  uint8_t mac[8] = {};
  bool ok = CrypC_G28147_1989_mac_init(d.ctx, d.params, d.random, d.key, mac) == 0 &&
            CrypC_G28147_1989_mac_update(d.ctx, d.plain, 40) == 0 && CrypC_G28147_1989_mac_final(d.ctx, mac) == 0 &&
            memcmp(mac, kMacExpected, 8) == 0;
  return CrypC_G28147_1989_mac_clear(d.ctx) == 0 && ok;
}

bool CheckHash(SelfTestData& d, const uint8_t* text, int textLen, const uint8_t* expected) {
  Reset(d);
  uint8_t startVector[32] = {};
  uint8_t digest[32] = {};
  bool ok = CrypC_R34_11_1994_init(d.ctx, d.params, d.random, startVector) == 0 &&
            CrypC_R34_11_1994_update(d.ctx, text, textLen) == 0 && CrypC_R34_11_1994_final(d.ctx, digest) == 0 &&
            memcmp(digest, expected, 32) == 0;
  return CrypC_R34_11_1994_clear(d.ctx) == 0 && ok;
}

}  // namespace

int RunSymmetricSelfTest() {
  SelfTestData d;
  static const uint8_t kAbc[3] = {'a', 'b', 'c'};
  bool ok = CheckEcb(d) && CheckGamma(d) && CheckCfb(d) && CheckMac(d) &&
            CheckHash(d, kAbc, 3, kHashAbcExpected) &&
            CheckHash(d, reinterpret_cast<const uint8_t*>(kHashLongText), int(sizeof kHashLongText - 1),
                      kHashLongExpected);
  memset(&d, 0, sizeof d);
  return ok ? kOk : kSelfTestFailed;
}

}  // namespace crypc
