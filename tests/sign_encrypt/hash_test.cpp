// The binding's two digests and their rendering. The OLD_FORMAT digest must
// stay exactly what stored signatures were made with: every 65535-byte piece
// is taken from the start of the buffer.
#include <array>
#include <string>
#include <vector>

#include "test_users.h"

namespace tzm::test {
namespace {

using THash = std::array<uint8_t, 32>;

std::vector<uint8_t> Pattern(size_t len) {
  std::vector<uint8_t> data(len);
  for (size_t i = 0; i < len; ++i) data[i] = static_cast<uint8_t>(i * 13 + i / 251);
  return data;
}

TEST(HashVariantsTest, OldFormatRestartsEveryPieceAtTheStart) {
  TCryptoC_DLL& dll = TestBinding();
  ASSERT_TRUE(dll.EntriesResolved);
  THash gost{}, old{}, expected{};

  const std::vector<uint8_t> small = Pattern(65535);
  ASSERT_EQ(dll.HashGost(small, gost), 0);
  ASSERT_EQ(dll.HashOldFormat(small, old), 0);
  EXPECT_EQ(gost, old);

  // 65535 + 1000 bytes: the OLD_FORMAT digest is the GOST digest of the
  // first 65535 bytes followed by the first 1000 again.
  const std::vector<uint8_t> large = Pattern(65535 + 1000);
  std::vector<uint8_t> reread(large.begin(), large.begin() + 65535);
  reread.insert(reread.end(), large.begin(), large.begin() + 1000);
  ASSERT_EQ(dll.HashOldFormat(large, old), 0);
  ASSERT_EQ(dll.HashGost(reread, expected), 0);
  EXPECT_EQ(old, expected);
  ASSERT_EQ(dll.HashGost(large, gost), 0);
  EXPECT_NE(gost, old);

  // Three pieces: 65535, 65535 and 10 bytes, all from the start.
  const std::vector<uint8_t> three = Pattern(2 * 65535 + 10);
  reread.assign(three.begin(), three.begin() + 65535);
  reread.insert(reread.end(), three.begin(), three.begin() + 65535);
  reread.insert(reread.end(), three.begin(), three.begin() + 10);
  ASSERT_EQ(dll.HashOldFormat(three, old), 0);
  ASSERT_EQ(dll.HashGost(reread, expected), 0);
  EXPECT_EQ(old, expected);

  EXPECT_EQ(dll.HashGost(std::span<const uint8_t>(), gost), -4);
  EXPECT_EQ(dll.HashOldFormat(std::span<const uint8_t>(small.data(), 0), old), -4);
}

TEST(HashVariantsTest, HashBufferForms) {
  TCryptoC_DLL& dll = TestBinding();
  const std::vector<uint8_t> data = Pattern(100);
  THash raw{};
  ASSERT_EQ(dll.HashGost(data, raw), 0);

  int32_t len = 0;
  EXPECT_EQ(dll.HashBuffer(data, 2, nullptr, true, len), 0);
  EXPECT_EQ(len, 64);
  std::vector<uint8_t> out(64);
  EXPECT_EQ(dll.HashBuffer(data, 2, out.data(), true, len), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()), BufferToHex(raw, 0, 0));

  len = 43;
  EXPECT_EQ(dll.HashBuffer(data, 1, out.data(), false, len), -3);
  EXPECT_EQ(len, 44);
  EXPECT_EQ(dll.HashBuffer(data, 1, out.data(), false, len), 0);
  EXPECT_EQ(std::string(out.begin(), out.begin() + 44), Base64Encode(raw));

  len = 32;
  EXPECT_EQ(dll.HashBuffer(data, 7, out.data(), false, len), 0);
  EXPECT_EQ(len, 32);
  EXPECT_TRUE(std::equal(raw.begin(), raw.end(), out.begin()));
}

}  // namespace
}  // namespace tzm::test
