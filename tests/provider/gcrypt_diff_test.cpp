// Differential tests against Debian's libgcrypt on random keys, synchros and
// messages of random lengths: the hash with the test and the CryptoPro S-boxes,
// ECB and CFB with the test and CryptoPro-A S-boxes, the MAC (all 8 bytes), and
// gamma against a counter construction built here from libgcrypt's ECB (libgcrypt
// has no GOST counter mode).
#include <gcrypt.h>
#include <gtest/gtest.h>

#include "crypc_exports.h"
#include "sym_test_util.h"

namespace {

using symtest::HeapArea;
using vectest::ToHex;

constexpr const char* kTestSboxOid = "1.2.643.2.2.30.0";
constexpr const char* kCryptoProASboxOid = "1.2.643.2.2.31.1";

class GcryptDiff : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NE(nullptr, gcry_check_version(nullptr));
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
  }

  std::vector<uint8_t> RandomBytes(size_t n) {
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = uint8_t(rng_());
    return v;
  }
  size_t RandomLen(size_t max) {
    // Favour the lengths around block boundaries, where mistakes live.
    static const size_t kEdges[] = {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65};
    if (rng_() % 3 == 0) return kEdges[rng_() % std::size(kEdges)];
    return rng_() % (max + 1);
  }

  std::mt19937 rng_{4242};
};

TEST_F(GcryptDiff, Hash) {
  struct Variant {
    const char* sbox;
    int algo;
  } variants[] = {{"test", GCRY_MD_GOSTR3411_94}, {"cryptopro-hash", GCRY_MD_GOSTR3411_CP}};
  for (const auto& v : variants) {
    HeapArea params = symtest::ParamBlock(v.sbox);
    HeapArea random(kCrypCRandomStateLen), ctx(kCrypCHashContextLen);
    uint8_t startVector[32] = {};
    for (int round = 0; round < 150; ++round) {
      std::vector<uint8_t> msg = RandomBytes(RandomLen(3000));
      uint8_t expected[32], ours[32];
      gcry_md_hash_buffer(v.algo, expected, msg.data(), msg.size());
      ASSERT_EQ(0, CrypC_R34_11_1994_init(ctx.get(), params.get(), random.get(), startVector));
      size_t pos = 0;
      for (size_t piece : symtest::RandomPieces(msg.size(), rng_)) {
        ASSERT_EQ(0, CrypC_R34_11_1994_update(ctx.get(), msg.data() + pos, int(piece)));
        pos += piece;
      }
      ASSERT_EQ(0, CrypC_R34_11_1994_final(ctx.get(), ours));
      ASSERT_EQ(ToHex(expected, 32), ToHex(ours, 32)) << v.sbox << " len " << msg.size();
    }
    EXPECT_EQ(0, CrypC_R34_11_1994_clear(ctx.get()));
  }
}

// GcryCipher opens libgcrypt's GOST 28147-89 with the given S-box, key and mode.
struct GcryCipher {
  GcryCipher(int mode, const char* oid, const std::vector<uint8_t>& key) {
    EXPECT_EQ(0u, gcry_cipher_open(&h, GCRY_CIPHER_GOST28147, mode, 0));
    EXPECT_EQ(0u, gcry_cipher_ctl(h, GCRYCTL_SET_SBOX, const_cast<char*>(oid), 0));
    EXPECT_EQ(0u, gcry_cipher_setkey(h, key.data(), key.size()));
  }
  ~GcryCipher() { gcry_cipher_close(h); }
  std::vector<uint8_t> Encrypt(const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out(in.size());
    EXPECT_EQ(0u, gcry_cipher_encrypt(h, out.data(), out.size(), in.data(), in.size()));
    return out;
  }
  gcry_cipher_hd_t h = nullptr;
};

struct SboxVariant {
  const char* name;
  const char* oid;
};
const SboxVariant kCipherSboxes[] = {{"test", kTestSboxOid}, {"cryptopro-a", kCryptoProASboxOid}};

TEST_F(GcryptDiff, EcbAndCfb) {
  for (const auto& v : kCipherSboxes) {
    HeapArea params = symtest::ParamBlock(v.name);
    HeapArea random(kCrypCRandomStateLen), block(kCrypCBlockContextLen), cfb(kCrypCGammaOfbContextLen);
    for (int round = 0; round < 60; ++round) {
      std::vector<uint8_t> key = RandomBytes(32), synchro = RandomBytes(8);

      std::vector<uint8_t> plain = RandomBytes(8 * (rng_() % 40));
      GcryCipher ecb(GCRY_CIPHER_MODE_ECB, v.oid, key);
      std::vector<uint8_t> ours(plain.size());
      ASSERT_EQ(0, CrypC_G28147_1989_block_init(block.get(), params.get(), random.get(), key.data()));
      ASSERT_EQ(0, CrypC_G28147_1989_block_encrypt(block.get(), plain.data(), ours.data(), int(plain.size())));
      ASSERT_EQ(ToHex(ecb.Encrypt(plain)), ToHex(ours)) << v.name;
      ASSERT_EQ(0, CrypC_G28147_1989_block_decrypt(block.get(), ours.data(), ours.data(), int(ours.size())));
      ASSERT_EQ(ToHex(plain), ToHex(ours)) << v.name << " ECB decrypt";

      plain = RandomBytes(RandomLen(700));
      GcryCipher ref(GCRY_CIPHER_MODE_CFB, v.oid, key);
      ASSERT_EQ(0u, gcry_cipher_setiv(ref.h, synchro.data(), synchro.size()));
      std::vector<uint8_t> expected = ref.Encrypt(plain);
      ours.assign(plain.size(), 0);
      ASSERT_EQ(0, CrypC_G28147_1989_gamma_ofb_init(cfb.get(), params.get(), random.get(), key.data(), synchro.data()));
      size_t pos = 0;
      for (size_t piece : symtest::RandomPieces(plain.size(), rng_)) {
        ASSERT_EQ(0, CrypC_G28147_1989_gamma_ofb_encrypt(cfb.get(), plain.data() + pos, ours.data() + pos, int(piece)));
        pos += piece;
      }
      ASSERT_EQ(ToHex(expected), ToHex(ours)) << v.name << " CFB len " << plain.size();

      // Decryption (which runs blocks four at a time) in place, split differently.
      ASSERT_EQ(0, CrypC_G28147_1989_gamma_ofb_init(cfb.get(), params.get(), random.get(), key.data(), synchro.data()));
      pos = 0;
      for (size_t piece : symtest::RandomPieces(ours.size(), rng_)) {
        ASSERT_EQ(0, CrypC_G28147_1989_gamma_ofb_decrypt(cfb.get(), ours.data() + pos, ours.data() + pos, int(piece)));
        pos += piece;
      }
      ASSERT_EQ(ToHex(plain), ToHex(ours)) << v.name << " CFB decrypt len " << plain.size();
    }
    EXPECT_EQ(0, CrypC_G28147_1989_block_clear(block.get()));
    EXPECT_EQ(0, CrypC_G28147_1989_gamma_ofb_clear(cfb.get()));
  }
}

TEST_F(GcryptDiff, Mac) {
  for (const auto& v : kCipherSboxes) {
    HeapArea params = symtest::ParamBlock(v.name);
    HeapArea random(kCrypCRandomStateLen), ctx(kCrypCMacContextLen);
    for (int round = 0; round < 150; ++round) {
      std::vector<uint8_t> key = RandomBytes(32), msg = RandomBytes(RandomLen(600));
      gcry_mac_hd_t h;
      ASSERT_EQ(0u, gcry_mac_open(&h, GCRY_MAC_GOST28147_IMIT, 0, nullptr));
      ASSERT_EQ(0u, gcry_mac_ctl(h, GCRYCTL_SET_SBOX, const_cast<char*>(v.oid), 0));
      ASSERT_EQ(0u, gcry_mac_setkey(h, key.data(), key.size()));
      ASSERT_EQ(0u, gcry_mac_write(h, msg.data(), msg.size()));
      uint8_t expected[8];
      size_t expectedLen = sizeof expected;
      ASSERT_EQ(0u, gcry_mac_read(h, expected, &expectedLen));
      gcry_mac_close(h);
      ASSERT_EQ(8u, expectedLen);

      uint8_t ours[8] = {};
      ASSERT_EQ(0, CrypC_G28147_1989_mac_init(ctx.get(), params.get(), random.get(), key.data(), ours));
      size_t pos = 0;
      for (size_t piece : symtest::RandomPieces(msg.size(), rng_)) {
        ASSERT_EQ(0, CrypC_G28147_1989_mac_update(ctx.get(), msg.data() + pos, int(piece)));
        pos += piece;
      }
      ASSERT_EQ(0, CrypC_G28147_1989_mac_final(ctx.get(), ours));
      ASSERT_EQ(ToHex(expected, 8), ToHex(ours, 8)) << v.name << " len " << msg.size();
    }
    EXPECT_EQ(0, CrypC_G28147_1989_mac_clear(ctx.get()));
  }
}

// ReferenceGamma builds the counter-mode gamma from libgcrypt's ECB: Y = E(S),
// then N3 += 0x01010101 mod 2^32 and N4 += 0x01010104 mod 2^32-1 per block.
std::vector<uint8_t> ReferenceGamma(GcryCipher& ecb, const std::vector<uint8_t>& synchro, size_t len) {
  auto le32 = [](const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; };
  std::vector<uint8_t> y = ecb.Encrypt(synchro);
  uint32_t n3 = le32(y.data()), n4 = le32(y.data() + 4);
  std::vector<uint8_t> counters;
  while (counters.size() < len) {
    n3 += 0x01010101u;
    uint64_t sum = uint64_t(n4) + 0x01010104u;
    n4 = uint32_t(sum >= (uint64_t(1) << 32) ? sum - 0xFFFFFFFFu : sum);
    for (int i = 0; i < 4; ++i) counters.push_back(uint8_t(n3 >> (8 * i)));
    for (int i = 0; i < 4; ++i) counters.push_back(uint8_t(n4 >> (8 * i)));
  }
  std::vector<uint8_t> gamma = ecb.Encrypt(counters);
  gamma.resize(len);
  return gamma;
}

TEST_F(GcryptDiff, GammaAgainstCounterFromEcb) {
  for (const auto& v : kCipherSboxes) {
    HeapArea params = symtest::ParamBlock(v.name);
    HeapArea random(kCrypCRandomStateLen), ctx(kCrypCGammaContextLen);
    for (int round = 0; round < 60; ++round) {
      std::vector<uint8_t> key = RandomBytes(32), synchro = RandomBytes(8), plain = RandomBytes(RandomLen(900));
      GcryCipher ecb(GCRY_CIPHER_MODE_ECB, v.oid, key);
      std::vector<uint8_t> expected = ReferenceGamma(ecb, synchro, plain.size());
      for (size_t i = 0; i < plain.size(); ++i) expected[i] ^= plain[i];

      std::vector<uint8_t> ours(plain.size());
      ASSERT_EQ(0, CrypC_G28147_1989_gamma_init(ctx.get(), params.get(), random.get(), key.data(), synchro.data()));
      size_t pos = 0;
      for (size_t piece : symtest::RandomPieces(plain.size(), rng_)) {
        ASSERT_EQ(0, CrypC_G28147_1989_gamma_crypt(ctx.get(), plain.data() + pos, ours.data() + pos, int(piece)));
        pos += piece;
      }
      ASSERT_EQ(ToHex(expected), ToHex(ours)) << v.name << " len " << plain.size();
    }
    EXPECT_EQ(0, CrypC_G28147_1989_gamma_clear(ctx.get()));
  }
}

}  // namespace
