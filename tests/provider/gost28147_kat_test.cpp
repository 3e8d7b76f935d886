// Known answers for GOST 28147-89 ECB, gamma, gamma with feedback and MAC, run
// through the exported entry points on heap contexts of exactly the stated
// sizes. Each vector runs in one shot, split at random points, in place and
// after re-initialising a used context.
#include <gtest/gtest.h>

#include "crypc_exports.h"
#include "sym_test_util.h"

namespace {

using symtest::HeapArea;
using vectest::ToHex;

using CryptFn = int (*)(void*, const uint8_t*, uint8_t*, int);

struct CipherMode {
  const char* file;
  const char* algorithm;
  size_t ctxLen;
  size_t granule;  // pieces must be multiples of this
  int (*init)(void* ctx, void* params, void* random, const uint8_t* key, const uint8_t* synchro);
  CryptFn encrypt;
  CryptFn decrypt;
  int (*clear)(void*);
};

int BlockInit(void* ctx, void* params, void* random, const uint8_t* key, const uint8_t*) {
  return CrypC_G28147_1989_block_init(ctx, params, random, key);
}

const CipherMode kModes[] = {
    {"gost28147/ecb.vec", "Ecb", kCrypCBlockContextLen, 8, BlockInit, CrypC_G28147_1989_block_encrypt,
     CrypC_G28147_1989_block_decrypt, CrypC_G28147_1989_block_clear},
    {"gost28147/gamma.vec", "Gamma", kCrypCGammaContextLen, 1, CrypC_G28147_1989_gamma_init,
     CrypC_G28147_1989_gamma_crypt, CrypC_G28147_1989_gamma_crypt, CrypC_G28147_1989_gamma_clear},
    {"gost28147/cfb.vec", "Cfb", kCrypCGammaOfbContextLen, 1, CrypC_G28147_1989_gamma_ofb_init,
     CrypC_G28147_1989_gamma_ofb_encrypt, CrypC_G28147_1989_gamma_ofb_decrypt, CrypC_G28147_1989_gamma_ofb_clear},
};

// Feed feeds in through fn piece by piece and answers the output.
std::vector<uint8_t> Feed(CryptFn fn, void* ctx, const std::vector<uint8_t>& in, const std::vector<size_t>& pieces) {
  std::vector<uint8_t> out(in.size() + 1, 0xEE);
  size_t pos = 0;
  for (size_t piece : pieces) {
    EXPECT_EQ(0, fn(ctx, in.data() + pos, out.data() + pos, int(piece)));
    pos += piece;
  }
  EXPECT_EQ(pos, in.size());
  EXPECT_EQ(0xEE, out.back()) << "wrote past the end";
  out.pop_back();
  return out;
}

class CipherKat : public ::testing::TestWithParam<CipherMode> {};

TEST_P(CipherKat, AllWays) {
  const CipherMode& m = GetParam();
  std::mt19937 rng(2718);
  const vectest::TVecFile entries(m.file);
  ASSERT_FALSE(entries.empty());
  for (const auto& e : entries) {
    SCOPED_TRACE(e.Where());
    ASSERT_EQ(m.algorithm, e.Algorithm);
    HeapArea params = symtest::ParamBlock(e.Param);
    HeapArea random(kCrypCRandomStateLen);
    HeapArea ctx(m.ctxLen);
    std::vector<uint8_t> key = e.Bytes("Key");
    std::vector<uint8_t> synchro = e.Has("Synchro") ? e.Bytes("Synchro") : std::vector<uint8_t>(8, 0);
    std::vector<uint8_t> in = e.Bytes("In"), expected = e.Bytes("Out");
    ASSERT_EQ(32u, key.size());
    ASSERT_EQ(in.size(), expected.size());
    auto init = [&] { ASSERT_EQ(0, m.init(ctx.get(), params.get(), random.get(), key.data(), synchro.data())); };

    init();
    EXPECT_EQ(ToHex(expected), ToHex(Feed(m.encrypt, ctx.get(), in, {in.size()}))) << "one shot";
    init();
    EXPECT_EQ(ToHex(in), ToHex(Feed(m.decrypt, ctx.get(), expected, {in.size()}))) << "decrypt";
    for (int round = 0; round < 4; ++round) {
      init();
      auto pieces = symtest::RandomPieces(in.size(), rng, m.granule);
      EXPECT_EQ(ToHex(expected), ToHex(Feed(m.encrypt, ctx.get(), in, pieces))) << "split";
      init();
      pieces = symtest::RandomPieces(in.size(), rng, m.granule);
      EXPECT_EQ(ToHex(in), ToHex(Feed(m.decrypt, ctx.get(), expected, pieces))) << "split decrypt";
    }

    // In place.
    init();
    std::vector<uint8_t> buf = in;
    ASSERT_EQ(0, m.encrypt(ctx.get(), buf.data(), buf.data(), int(buf.size())));
    EXPECT_EQ(ToHex(expected), ToHex(buf)) << "in place";

    // A used context initialised again starts afresh.
    init();
    std::vector<uint8_t> junk(13 * m.granule, 0x5A), junkOut(junk.size());
    ASSERT_EQ(0, m.encrypt(ctx.get(), junk.data(), junkOut.data(), int(junk.size())));
    init();
    EXPECT_EQ(ToHex(expected), ToHex(Feed(m.encrypt, ctx.get(), in, {in.size()}))) << "after re-init";

    // Clear wipes the whole context, and a cleared context is refused.
    EXPECT_EQ(0, m.clear(ctx.get()));
    EXPECT_TRUE(ctx.AllZero());
    std::vector<uint8_t> out(8);
    EXPECT_NE(0, m.encrypt(ctx.get(), in.data(), out.data(), 8));
  }
}

void PrintTo(const CipherMode& m, std::ostream* os) { *os << m.algorithm; }

INSTANTIATE_TEST_SUITE_P(Modes, CipherKat, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.algorithm); });

TEST(MacKat, AllWays) {
  std::mt19937 rng(3141);
  const vectest::TVecFile entries("gost28147/mac.vec");
  ASSERT_FALSE(entries.empty());
  for (const auto& e : entries) {
    SCOPED_TRACE(e.Where());
    HeapArea params = symtest::ParamBlock(e.Param);
    HeapArea random(kCrypCRandomStateLen);
    HeapArea ctx(kCrypCMacContextLen);
    std::vector<uint8_t> key = e.Bytes("Key"), in = e.Bytes("In"), expected = e.Bytes("Mac");
    ASSERT_EQ(8u, expected.size());
    uint8_t mac[8];
    auto init = [&] {
      uint8_t zeroMac[8] = {};
      ASSERT_EQ(0, CrypC_G28147_1989_mac_init(ctx.get(), params.get(), random.get(), key.data(), zeroMac));
    };
    auto final = [&] {
      memset(mac, 0xEE, sizeof mac);
      EXPECT_EQ(0, CrypC_G28147_1989_mac_final(ctx.get(), mac));
      return ToHex(mac, 8);
    };

    init();
    ASSERT_EQ(0, CrypC_G28147_1989_mac_update(ctx.get(), in.data(), int(in.size())));
    EXPECT_EQ(ToHex(expected), final()) << "one shot";
    EXPECT_EQ(ToHex(expected), final()) << "final leaves the state alone";

    for (int round = 0; round < 4; ++round) {
      init();
      size_t pos = 0;
      for (size_t piece : symtest::RandomPieces(in.size(), rng)) {
        ASSERT_EQ(0, CrypC_G28147_1989_mac_update(ctx.get(), in.data() + pos, int(piece)));
        pos += piece;
      }
      EXPECT_EQ(ToHex(expected), final()) << "split";
    }

    // A used context initialised again, and the one-shot call on it.
    init();
    uint8_t junk[21] = {1, 2, 3};
    ASSERT_EQ(0, CrypC_G28147_1989_mac_update(ctx.get(), junk, sizeof junk));
    memset(mac, 0xEE, sizeof mac);
    ASSERT_EQ(0, CrypC_G28147_1989_mac_file_const(ctx.get(), in.data(), int(in.size()), mac));
    EXPECT_EQ(ToHex(expected), ToHex(mac, 8)) << "file_const";
    init();
    ASSERT_EQ(0, CrypC_G28147_1989_mac_update(ctx.get(), in.data(), int(in.size())));
    EXPECT_EQ(ToHex(expected), final()) << "after re-init";

    EXPECT_EQ(0, CrypC_G28147_1989_mac_clear(ctx.get()));
    EXPECT_TRUE(ctx.AllZero());
    EXPECT_NE(0, CrypC_G28147_1989_mac_final(ctx.get(), mac));
  }
}

}  // namespace
