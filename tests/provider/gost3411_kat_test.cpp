// Known answers for GOST R 34.11-94 with the test and the CryptoPro S-boxes,
// through the exported entry points: one shot, pieces of random size (at most
// 65535 bytes, as the binding feeds them), a digest read mid-stream, and a used
// context initialised again.
#include <gtest/gtest.h>

#include "crypc_exports.h"
#include "sym_test_util.h"

namespace {

using symtest::HeapArea;
using vectest::ToHex;

class HashKat : public ::testing::TestWithParam<const char*> {};

TEST_P(HashKat, AllWays) {
  std::mt19937 rng(1618);
  const vectest::TVecFile entries(GetParam());
  ASSERT_FALSE(entries.empty());
  for (const auto& e : entries) {
    SCOPED_TRACE(e.Where());
    HeapArea params = symtest::ParamBlock(e.Param);
    HeapArea random(kCrypCRandomStateLen);
    HeapArea ctx(kCrypCHashContextLen);
    std::vector<uint8_t> msg = symtest::Message(e), expected = e.Bytes("Digest");
    uint8_t startVector[32] = {};
    auto init = [&] { ASSERT_EQ(0, CrypC_R34_11_1994_init(ctx.get(), params.get(), random.get(), startVector)); };
    auto feed = [&](const std::vector<size_t>& pieces) {
      size_t pos = 0;
      for (size_t piece : pieces) {
        ASSERT_EQ(0, CrypC_R34_11_1994_update(ctx.get(), msg.data() + pos, int(piece)));
        pos += piece;
      }
    };
    auto digest = [&] {
      uint8_t out[32];
      EXPECT_EQ(0, CrypC_R34_11_1994_final(ctx.get(), out));
      return ToHex(out, 32);
    };

    init();
    feed({msg.size()});
    EXPECT_EQ(ToHex(expected), digest()) << "one shot";

    for (int round = 0; round < 3; ++round) {
      init();
      feed(symtest::RandomPieces(msg.size(), rng, 1, 65535));
      EXPECT_EQ(ToHex(expected), digest()) << "split";
    }

    // Reading the digest halfway does not disturb the running hash.
    init();
    size_t half = msg.size() / 2;
    ASSERT_EQ(0, CrypC_R34_11_1994_update(ctx.get(), msg.data(), int(half)));
    digest();
    ASSERT_EQ(0, CrypC_R34_11_1994_update(ctx.get(), msg.data() + half, int(msg.size() - half)));
    EXPECT_EQ(ToHex(expected), digest()) << "digest read mid-stream";

    init();
    uint8_t junk[77] = {9};
    ASSERT_EQ(0, CrypC_R34_11_1994_update(ctx.get(), junk, sizeof junk));
    init();
    feed({msg.size()});
    EXPECT_EQ(ToHex(expected), digest()) << "after re-init";

    EXPECT_EQ(0, CrypC_R34_11_1994_clear(ctx.get()));
    EXPECT_TRUE(ctx.AllZero());
    uint8_t out[32];
    EXPECT_NE(0, CrypC_R34_11_1994_final(ctx.get(), out));
  }
}

INSTANTIATE_TEST_SUITE_P(ParamSets, HashKat,
                         ::testing::Values("gost3411/test_params.vec", "gost3411/cryptopro_params.vec"));

// The start vector passed to init is the initial hash value: a non-zero one
// gives the digest of a hash whose first step starts from it, not from zero.
TEST(Hash, StartVectorIsUsed) {
  HeapArea params = symtest::ParamBlock("test");
  HeapArea random(kCrypCRandomStateLen);
  HeapArea ctx(kCrypCHashContextLen);
  uint8_t zero[32] = {}, other[32] = {1}, a[32], b[32];
  const uint8_t msg[3] = {'a', 'b', 'c'};
  ASSERT_EQ(0, CrypC_R34_11_1994_init(ctx.get(), params.get(), random.get(), zero));
  ASSERT_EQ(0, CrypC_R34_11_1994_update(ctx.get(), msg, 3));
  ASSERT_EQ(0, CrypC_R34_11_1994_final(ctx.get(), a));
  ASSERT_EQ(0, CrypC_R34_11_1994_init(ctx.get(), params.get(), random.get(), other));
  ASSERT_EQ(0, CrypC_R34_11_1994_update(ctx.get(), msg, 3));
  ASSERT_EQ(0, CrypC_R34_11_1994_final(ctx.get(), b));
  EXPECT_NE(ToHex(a, 32), ToHex(b, 32));
  EXPECT_EQ(0, CrypC_R34_11_1994_clear(ctx.get()));
}

}  // namespace
