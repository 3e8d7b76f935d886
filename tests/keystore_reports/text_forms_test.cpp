// Hashes and signature values as text: HashData's three output forms with
// their size protocol, GetPureSign, and the unsupported SaveSignedDataToFile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expected_report.h"
#include "test_users.h"

#ifdef TZM_HAVE_GCRYPT
#include <gcrypt.h>
#endif

namespace tzm::test {
namespace {

std::string Base64(const std::vector<uint8_t>& bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t chunk = static_cast<uint32_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) chunk |= static_cast<uint32_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) chunk |= bytes[i + 2];
    out += kAlphabet[(chunk >> 18) & 63];
    out += kAlphabet[(chunk >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(chunk >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[chunk & 63] : '=';
  }
  return out;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string dump = HexDump(bytes.data(), bytes.size());
  std::string digits;
  for (char c : dump) {
    if (c != ' ' && c != '\r' && c != '\n') digits += c;
  }
  return digits;
}

std::vector<uint8_t> Pattern(size_t count) {
  std::vector<uint8_t> data(count);
  for (size_t i = 0; i < count; ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
  return data;
}

class TextFormsTest : public TTestUsersFixture {
 protected:
  // Hash answers HashData's output in |format| (sized by the size query).
  std::vector<uint8_t> Hash(const TTestUser& user, const std::vector<uint8_t>& data, int32_t format) {
    int32_t outLen = 0;
    EXPECT_EQ(Host().HashData(user.Engine, data.data(), static_cast<int32_t>(data.size()), format, nullptr, &outLen), 0);
    std::vector<uint8_t> out(static_cast<size_t>(outLen) + 1, 0xEE);
    EXPECT_EQ(Host().HashData(user.Engine, data.data(), static_cast<int32_t>(data.size()), format, out.data(), &outLen), 0);
    EXPECT_EQ(out[static_cast<size_t>(outLen)], 0xEE) << "no terminating zero is written";
    out.resize(static_cast<size_t>(outLen));
    return out;
  }
};

TEST_F(TextFormsTest, HashDataFormsAndSizeProtocol) {
  const TTestUser& user = AddUser("User1", kAlgorithm2001);
  SetParam(user, 13, "gost");
  const std::vector<uint8_t> data = Pattern(1000);

  const std::vector<uint8_t> raw = Hash(user, data, 0);
  ASSERT_EQ(raw.size(), 32u);
  EXPECT_EQ(Hash(user, data, 7), raw);
  const std::vector<uint8_t> base64 = Hash(user, data, 1);
  EXPECT_EQ(std::string(base64.begin(), base64.end()), Base64(raw));
  EXPECT_EQ(base64.size(), 44u);
  const std::vector<uint8_t> hex = Hash(user, data, 2);
  EXPECT_EQ(std::string(hex.begin(), hex.end()), Hex(raw));

  // Exactly 64 bytes of room suffice; 63 give -3 and the needed length.
  std::vector<uint8_t> out(64, 0);
  int32_t outLen = 64;
  EXPECT_EQ(Host().HashData(user.Engine, data.data(), 1000, 2, out.data(), &outLen), 0);
  EXPECT_EQ(outLen, 64);
  outLen = 63;
  std::vector<uint8_t> small(63, 0xEE);
  EXPECT_EQ(Host().HashData(user.Engine, data.data(), 1000, 2, small.data(), &outLen), -3);
  EXPECT_EQ(outLen, 64);
  EXPECT_EQ(small, std::vector<uint8_t>(63, 0xEE));

  // Below 65536 bytes both hash variants give the same digest; invalid
  // time-outs do not matter to a hash.
  SetParam(user, 13, "");
  SetParam(user, 7, "never");
  EXPECT_EQ(Hash(user, data, 0), raw);
  EXPECT_EQ(Host().HashData(user.Engine, data.data(), 1000, 0, out.data(), nullptr), -4);
  outLen = 64;
  EXPECT_EQ(Host().HashData(user.Engine, nullptr, 1000, 0, out.data(), &outLen), -4);

#ifdef TZM_HAVE_GCRYPT
  // GOST R 34.11-94 with the test parameter set, as libgcrypt computes it,
  // also for a buffer long enough to tell the two variants apart.
  ASSERT_NE(gcry_check_version(nullptr), nullptr);
  SetParam(user, 13, "GOST");
  for (size_t count : {size_t{1000}, size_t{70000}}) {
    const std::vector<uint8_t> message = Pattern(count);
    std::vector<uint8_t> expected(32);
    gcry_md_hash_buffer(GCRY_MD_GOSTR3411_94, expected.data(), message.data(), message.size());
    const std::vector<uint8_t> digits = Hash(user, message, 2);
    EXPECT_EQ(std::string(digits.begin(), digits.end()), Hex(expected)) << count;
  }
#endif
}

TEST_F(TextFormsTest, PureSignShowsTheSixtyFourSignatureBytes) {
  const TTestUser& user = AddUser("User1", kAlgorithm2001);
  std::vector<uint8_t> block = {'U', 's', 'e', 'r', '1', 0};
  const std::vector<uint8_t> value = Pattern(64);
  block.insert(block.end(), value.begin(), value.end());
  ASSERT_EQ(block.size(), 70u);

  int32_t textLen = 0;
  EXPECT_EQ(Host().GetPureSign(user.Engine, block.data(), 70, nullptr, nullptr, &textLen), 0);
  EXPECT_EQ(textLen, 129);
  std::vector<char> text(129, 'x');
  textLen = 129;
  ASSERT_EQ(Host().GetPureSign(user.Engine, block.data(), 70, nullptr, text.data(), &textLen), 0);
  EXPECT_EQ(textLen, 129);
  EXPECT_EQ(std::string(text.data()), Hex(value));

  std::vector<char> small(128, 'x');
  textLen = 128;
  EXPECT_EQ(Host().GetPureSign(user.Engine, block.data(), 70, nullptr, small.data(), &textLen), -4);
  EXPECT_EQ(textLen, 129);
  EXPECT_EQ(small, std::vector<char>(128, 'x'));

  // No value bytes, one too many, or a value shorter than 64 bytes (which
  // could only be shown by reading past the block) are not signature blocks.
  for (int32_t blockLen : {6, 71, 69, 7, 5, 0, -1}) {
    std::vector<uint8_t> longer = block;
    longer.push_back(0x11);
    textLen = 129;
    EXPECT_EQ(Host().GetPureSign(user.Engine, longer.data(), blockLen, nullptr, text.data(), &textLen), -14)
        << blockLen;
    EXPECT_EQ(textLen, 129);
  }
  textLen = 129;
  EXPECT_EQ(Host().GetPureSign(user.Engine, nullptr, 70, nullptr, text.data(), &textLen), -14);
  std::vector<uint8_t> emptyUID(65, 0);
  EXPECT_EQ(Host().GetPureSign(user.Engine, emptyUID.data(), 65, nullptr, text.data(), &textLen), -14);
  std::vector<uint8_t> unterminated(255 + 64, 'A');
  EXPECT_EQ(Host().GetPureSign(user.Engine, unterminated.data(), 319, nullptr, text.data(), &textLen), -14);

  // The longest UID still works.
  std::vector<uint8_t> longest(254, 'A');
  longest.push_back(0);
  longest.insert(longest.end(), value.begin(), value.end());
  ASSERT_EQ(Host().GetPureSign(user.Engine, longest.data(), 319, nullptr, text.data(), &textLen), 0);
  EXPECT_EQ(std::string(text.data()), Hex(value));
}

TEST_F(TextFormsTest, SaveSignedDataToFileIsNotSupported) {
  const TTestUser& user = AddUser("User1", kAlgorithm2001);
  const uint8_t data[4] = {1, 2, 3, 4};
  const std::string file = (Root / "signed.dat").string();
  EXPECT_EQ(Host().SaveSignedDataToFile(user.Engine, data, 4, data, 4, file.c_str()), -2);
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace tzm::test
