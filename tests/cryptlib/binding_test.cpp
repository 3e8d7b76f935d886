// The binding's construction against the real provider beside the test
// executable: library loading, entry points, random state, parameter block.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "cryptlib.h"

namespace tzm {
namespace {

TEST(Binding, LoadsOnceAndSharesTheModuleBetweenBindings) {
  auto first = std::make_unique<TCryptoC_DLL>();
  ASSERT_TRUE(first->LibraryLoaded);
  ASSERT_TRUE(first->EntriesResolved);
  TCryptoC_DLL second;
  EXPECT_TRUE(second.LibraryLoaded);
  EXPECT_EQ(first->Entries.CrypC_Random_Fill, second.Entries.CrypC_Random_Fill);

  // A new binding starts from an all-zero random state.
  const auto fresh = second.RandomStateSnapshot();
  EXPECT_TRUE(std::all_of(fresh.begin(), fresh.end(), [](uint8_t b) { return b == 0; }));

  // Destroying one binding leaves the module and the other binding working.
  first.reset();
  EXPECT_TRUE(TCryptoC_DLL::IsLibraryLoaded());
  std::array<uint8_t, 64> a{};
  std::array<uint8_t, 64> b{};
  ASSERT_EQ(second.RandomFill(a), 0);
  ASSERT_EQ(second.RandomFill(b), 0);
  EXPECT_NE(a, b);
}

TEST(Binding, ParamBlockHoldsTheTestSboxesK8FirstThenZeros) {
  const TGostParamBlock block;
  const auto bytes = block.View();
  ASSERT_EQ(bytes.size(), 4228u);
  // K8 starts 1 F D 0, K1 starts 4 A 9 2 (GOST R 34.11-94 test parameters).
  EXPECT_EQ(bytes[0], 0x01);
  EXPECT_EQ(bytes[1], 0x0F);
  EXPECT_EQ(bytes[15], 0x0C);
  EXPECT_EQ(bytes[112], 0x04);
  EXPECT_EQ(bytes[113], 0x0A);
  EXPECT_EQ(bytes[127], 0x03);
  // Every box is a permutation of 0..15.
  for (size_t box = 0; box < 8; ++box) {
    std::array<bool, 16> seen{};
    for (size_t i = 0; i < 16; ++i) seen.at(bytes[box * 16 + i]) = true;
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](bool s) { return s; })) << "box " << box;
  }
  EXPECT_TRUE(std::all_of(bytes.begin() + 128, bytes.end(), [](uint8_t b) { return b == 0; }));
}

TEST(Binding, ResultTranslatorPassesLibraryCodesAndRefusesOthers) {
  EXPECT_EQ(TranslateCrypCResult("CrypC_x", 0), 0);
  EXPECT_EQ(TranslateCrypCResult("CrypC_x", 5), 5);
  EXPECT_EQ(TranslateCrypCResult("CrypC_x", 15), 15);
  EXPECT_THROW((void)TranslateCrypCResult("CrypC_x", 16), ECryptLibError);
  try {
    (void)TranslateCrypCResult("CrypC_R34_11_1994_init", -11);
    FAIL();
  } catch (const ECryptLibError& e) {
    EXPECT_STREQ(e.ClassName(), "ECryptLibError");
    EXPECT_NE(e.GetMessage().find("CrypC_R34_11_1994_init"), std::string::npos);
  }
}

}  // namespace
}  // namespace tzm
