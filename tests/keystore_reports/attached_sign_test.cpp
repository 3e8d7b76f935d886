// Attached signatures through the exports: AddSign appends the signature
// block and a length trailer, RemoveSign checks and strips them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_users.h"

namespace tzm::test {
namespace {

constexpr uint8_t kData[10] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};

uint32_t Trailer(const std::vector<uint8_t>& buffer, int32_t len) {
  const uint8_t* p = buffer.data() + len - 4;
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void SetTrailer(std::vector<uint8_t>& buffer, int32_t len, uint32_t value) {
  for (int i = 0; i < 4; ++i) buffer[static_cast<size_t>(len - 4 + i)] = static_cast<uint8_t>(value >> (8 * i));
}

class AttachedSignTest : public TTestUsersFixture {
 protected:
  // Signed answers a buffer with kData signed by |user| (length in |len|).
  std::vector<uint8_t> Signed(const TTestUser& user, int32_t& len) {
    std::vector<uint8_t> buffer(sizeof kData + 323, 0xEE);
    std::memcpy(buffer.data(), kData, sizeof kData);
    len = sizeof kData;
    EXPECT_EQ(Host().AddSign(user.Engine, buffer.data(), &len, nullptr), 0);
    return buffer;
  }
};

TEST_F(AttachedSignTest, AddSignThenRemoveSignRestoresTheData) {
  const TTestUser& signer = AddUser("User1", kAlgorithm2001);
  const TTestUser& reader = AddUser("Reader", kAlgorithm94);
  GiveKeyTo(signer, reader);
  EXPECT_EQ(Host().GetMaxSignatureLength(signer.Engine) + 4, 323);

  int32_t len = 0;
  std::vector<uint8_t> buffer = Signed(signer, len);
  ASSERT_EQ(len, 84);  // 10 + "User1" + 0 + 64 + 4
  EXPECT_EQ(Trailer(buffer, len), 10u);
  EXPECT_EQ(std::memcmp(buffer.data(), kData, sizeof kData), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(buffer.data() + 10), "User1");
  EXPECT_EQ(buffer[84], 0xEE);  // nothing written past the new length

  // The reader verifies it; so does the signer itself.
  for (const TTestUser* user : {&reader, &signer}) {
    std::vector<uint8_t> copy = buffer;
    int32_t copyLen = len;
    std::vector<char> uid(255, 'x');
    ASSERT_EQ(Host().RemoveSign(user->Engine, copy.data(), &copyLen, uid.data()), 0);
    EXPECT_EQ(copyLen, 10);
    EXPECT_STREQ(uid.data(), "User1");
    EXPECT_EQ(std::memcmp(copy.data(), kData, sizeof kData), 0);
  }

  // Changed data fails verification but the host still gets the data length
  // and the claimed signer.
  buffer[3] ^= 1;
  std::vector<char> uid(255, 0);
  int32_t changedLen = len;
  EXPECT_EQ(Host().RemoveSign(reader.Engine, buffer.data(), &changedLen, uid.data()), 5);
  EXPECT_EQ(changedLen, 10);
  EXPECT_STREQ(uid.data(), "User1");
}

TEST_F(AttachedSignTest, AddSignFailuresLeaveTheBufferAlone) {
  const TTestUser& signer = AddUser("User1", kAlgorithm2001);
  std::vector<uint8_t> buffer(400, 0xEE);
  int32_t len = 0;
  EXPECT_EQ(Host().AddSign(signer.Engine, buffer.data(), &len, nullptr), -4);
  EXPECT_EQ(len, 0);
  len = -5;
  EXPECT_EQ(Host().AddSign(signer.Engine, buffer.data(), &len, nullptr), -4);
  EXPECT_EQ(len, -5);
  EXPECT_EQ(buffer, std::vector<uint8_t>(400, 0xEE));
  EXPECT_EQ(Host().AddSign(signer.Engine, buffer.data(), nullptr, nullptr), -4);
  len = 10;
  EXPECT_EQ(Host().AddSign(signer.Engine, nullptr, &len, nullptr), -4);

  // Without the user's public key there is no UID to sign with.
  std::filesystem::remove(signer.PublicKeyPath);
  Host().ClearCash(signer.Engine);
  EXPECT_EQ(Host().AddSign(signer.Engine, buffer.data(), &len, nullptr), -11);
  EXPECT_EQ(len, 10);
  EXPECT_EQ(buffer, std::vector<uint8_t>(400, 0xEE));
}

TEST_F(AttachedSignTest, RemoveSignRefusesBadTrailersAndKeepsTheLength) {
  const TTestUser& signer = AddUser("User1", kAlgorithm2001);
  int32_t len = 0;
  const std::vector<uint8_t> good = Signed(signer, len);
  ASSERT_EQ(len, 84);
  std::vector<char> uid(255, 0);

  // Trailers that leave no room for a signature, or are not positive.
  for (uint32_t trailer : {0u, 80u, 81u, 1000u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu}) {
    std::vector<uint8_t> buffer = good;
    SetTrailer(buffer, len, trailer);
    int32_t bufferLen = len;
    EXPECT_EQ(Host().RemoveSign(signer.Engine, buffer.data(), &bufferLen, uid.data()), -14) << trailer;
    EXPECT_EQ(bufferLen, 84) << trailer;
  }

  // A trailer that passes its check but points into the data: the signature
  // part then names the unknown signer "9User1", and the length has changed.
  std::vector<uint8_t> buffer = good;
  SetTrailer(buffer, len, 9);
  int32_t bufferLen = len;
  EXPECT_EQ(Host().RemoveSign(signer.Engine, buffer.data(), &bufferLen, uid.data()), -11);
  EXPECT_EQ(bufferLen, 9);
  EXPECT_STREQ(uid.data(), "9User1");

  // Lengths too short to hold the trailer are refused before any read.
  for (int32_t shortLen : {1, 2, 3, 0, -1}) {
    bufferLen = shortLen;
    EXPECT_EQ(Host().RemoveSign(signer.Engine, buffer.data() + 80, &bufferLen, uid.data()), -4) << shortLen;
    EXPECT_EQ(bufferLen, shortLen);
  }
  // Exactly a trailer and nothing else.
  std::vector<uint8_t> four = {4, 0, 0, 0};
  bufferLen = 4;
  EXPECT_EQ(Host().RemoveSign(signer.Engine, four.data(), &bufferLen, uid.data()), -14);
  bufferLen = 84;
  EXPECT_EQ(Host().RemoveSign(signer.Engine, nullptr, &bufferLen, uid.data()), -4);
  EXPECT_EQ(Host().RemoveSign(signer.Engine, buffer.data(), nullptr, uid.data()), -4);
}

}  // namespace
}  // namespace tzm::test
