// Bounded block reading and writing, the size-query helpers and the secure
// containers.
#include <gtest/gtest.h>

#include "support.h"

namespace tzm {
namespace {

TEST(ByteReaderTest, NeverReadsPastTheEnd) {
  const uint8_t block[] = {0x78, 0x56, 0x34, 0x12, 'U', 's', 'r', 0, 0xAA, 0xBB, 0xCC};
  TByteReader reader(block);
  uint32_t value = 0;
  ASSERT_TRUE(reader.ReadU32(value));
  EXPECT_EQ(value, 0x12345678u);
  std::string text;
  EXPECT_FALSE(reader.ReadZString(2, text));  // the zero lies beyond maxLen
  EXPECT_EQ(reader.Position(), 4u);
  ASSERT_TRUE(reader.ReadZString(3, text));  // exactly maxLen characters
  EXPECT_EQ(text, "Usr");
  EXPECT_EQ(reader.Remaining(), 3u);
  EXPECT_FALSE(reader.ReadU32(value));
  EXPECT_FALSE(reader.ReadZString(100, text));  // no zero inside the block
  std::span<const uint8_t> bytes;
  EXPECT_FALSE(reader.ReadBytes(4, bytes));
  EXPECT_FALSE(reader.Skip(4));
  uint8_t copy[4] = {};
  EXPECT_FALSE(reader.CopyBytes(copy));
  EXPECT_EQ(reader.Position(), 8u);  // nothing moved on any failure
  ASSERT_TRUE(reader.ReadBytes(2, bytes));
  EXPECT_EQ(bytes[1], 0xBB);
  ASSERT_TRUE(reader.Skip(1));
  EXPECT_EQ(reader.Remaining(), 0u);
  EXPECT_FALSE(reader.ReadZString(0, text));
  EXPECT_TRUE(reader.ReadBytes(0, bytes));

  const uint8_t empty_text[] = {0};
  TByteReader zero(empty_text);
  ASSERT_TRUE(zero.ReadZString(0, text));
  EXPECT_EQ(text, "");
}

TEST(ByteWriterTest, ChecksCapacityFirst) {
  uint8_t out[9] = {};
  TByteWriter writer(out);
  ASSERT_TRUE(writer.WriteU32(0x01020304));
  EXPECT_EQ(out[0], 4);
  EXPECT_EQ(DecodeFixed32(out), 0x01020304u);
  EXPECT_FALSE(writer.WriteZString("abcde"));  // 6 bytes into 5
  ASSERT_TRUE(writer.WriteZString("abcd"));
  EXPECT_EQ(out[8], 0);
  EXPECT_FALSE(writer.WriteZeros(1));
  EXPECT_FALSE(writer.WriteU32(0));
  EXPECT_EQ(writer.Written().size(), 9u);
}

TEST(SizeQueryTest, NilTooSmallAndFits) {
  const uint8_t data[] = {1, 2, 3};
  int len = 0;
  EXPECT_EQ(CopyOutBytes(data, nullptr, &len), 0);
  EXPECT_EQ(len, 3);
  uint8_t out[3] = {};
  len = 2;
  EXPECT_EQ(CopyOutBytes(data, out, &len), -4);
  EXPECT_EQ(len, 3);
  EXPECT_EQ(out[0], 0);
  len = 10;
  EXPECT_EQ(CopyOutBytes(data, out, &len), 0);
  EXPECT_EQ(len, 3);
  EXPECT_EQ(out[2], 3);
  EXPECT_EQ(CopyOutBytes(data, out, nullptr), -4);
  len = -1;
  EXPECT_EQ(CopyOutBytes(data, out, &len), -4);

  char text[4] = {'x', 'x', 'x', 'x'};
  len = 0;
  EXPECT_EQ(CopyOutText("abc", nullptr, &len), 0);
  EXPECT_EQ(len, 4);  // the terminating zero counts
  len = 3;
  EXPECT_EQ(CopyOutText("abc", text, &len), -4);
  EXPECT_EQ(text[0], 'x');
  len = 4;
  EXPECT_EQ(CopyOutText("abc", text, &len), 0);
  EXPECT_STREQ(text, "abc");
}

TEST(SecureTest, WipeAndCompare) {
  uint8_t secret[16];
  for (auto& b : secret) b = 0xA5;
  SecureWipe(secret, sizeof(secret));
  for (auto b : secret) EXPECT_EQ(b, 0);
  SecureWipe(nullptr, 0);

  TSecureArray<32> key;
  EXPECT_EQ(key[31], 0);
  key[0] = 7;
  TSecureArray<32> copy = key;
  EXPECT_EQ(copy[0], 7);
  copy.Wipe();
  EXPECT_EQ(copy[0], 0);

  SecureVector<uint8_t> buffer(100, 1);
  buffer.resize(1000, 2);  // growth goes through the wiping allocator
  EXPECT_EQ(buffer[0], 1);
  EXPECT_EQ(buffer[999], 2);

  const uint8_t a[] = {1, 2, 3}, b[] = {1, 2, 4};
  EXPECT_TRUE(ConstantTimeEqual(a, a));
  EXPECT_FALSE(ConstantTimeEqual(a, b));
  EXPECT_FALSE(ConstantTimeEqual(a, std::span<const uint8_t>(a, 2)));
  EXPECT_TRUE(ConstantTimeEqual({}, {}));
}

TEST(ExceptionTest, ClassNamesAndDescriptions) {
  const EMimeException mime("m");
  EXPECT_EQ(DescribeException(&mime), "EMimeException: m");
  const EException base("b");
  EXPECT_EQ(DescribeException(&base), "Exception: b");
  const std::bad_alloc oom;
  EXPECT_EQ(DescribeException(&oom), "EOutOfMemory: Out of memory");
  EXPECT_EQ(DescribeException(nullptr), "Exception: Unknown exception");
  EXPECT_EQ(FormatText("%s-%d", "a", 5), "a-5");
  EXPECT_EQ(AnsiUpperCase("ab\xE0\xB8"), "AB\xC0\xA8");
  EXPECT_TRUE(SameText("C:\\Soft\\\xFF", "c:\\SOFT\\\xDF"));
  EXPECT_FALSE(SameText("a", "ab"));
}

}  // namespace
}  // namespace tzm
