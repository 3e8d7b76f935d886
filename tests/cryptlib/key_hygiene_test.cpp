// Key generation leaves no copy of the new exchange secret key in the stack
// memory it used: every buffer that held it is wiped before release.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "cryptlib_test_util.h"

namespace tzm {
namespace {

constexpr size_t kScanLen = 256 * 1024;

// ScanStack looks for |needle| in the stack area below the caller's frame,
// where the generation's frames lay. The area is read through a volatile
// pointer so the compiler keeps the reads.
[[gnu::noinline]] bool ScanStack(const uint8_t* needle, size_t needleLen) {
  uint8_t area[kScanLen];
  volatile uint8_t* view = area;
  static uint8_t copy[kScanLen];
  for (size_t i = 0; i < kScanLen; ++i) copy[i] = view[i];
  const uint8_t* end = copy + kScanLen;
  const uint8_t* begin = copy;
  return std::search(begin, end, needle, needle + needleLen) != end;
}

[[gnu::noinline]] int32_t Generate(TCryptoC_DLL& dll, const test::TScratchFolder& folder) {
  return dll.GenerateKeyPair(1, "U", folder.Text("h.pub"), folder.Text("h.sec"));
}

TEST(KeyHygiene, GenerationWipesTheExchangeKeyBuffers) {
  test::TScratchFolder folder;
  TCryptoC_DLL dll;
  for (int round = 0; round < 4; ++round) {
    ASSERT_EQ(Generate(dll, folder), 0);
    const test::Bytes secret = test::ReadAll(folder.Path("h.sec"));
    ASSERT_EQ(secret.size(), 164u);
    // The exchange secret is a 256-bit number stored little-endian in 128
    // bytes: its first 32 bytes recognise a copy.
    EXPECT_FALSE(ScanStack(secret.data() + 36, 32)) << round;
  }
}

}  // namespace
}  // namespace tzm
