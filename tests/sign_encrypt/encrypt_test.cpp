// EncodeData and DecodeData through the exports, between users with keys of
// either algorithm, and the size figures hosts make room with.
#include <cstring>
#include <string>
#include <vector>

#include "test_users.h"

namespace tzm::test {
namespace {

constexpr int32_t kRoomFor100 = 303 * 100 + 279;

std::vector<uint8_t> Pattern(size_t len, uint8_t seed = 1) {
  std::vector<uint8_t> data(len);
  for (size_t i = 0; i < len; ++i) data[i] = static_cast<uint8_t>(i * 31 + seed);
  return data;
}

class EncryptTest : public TTestUsersFixture {
 protected:
  void SetUp() override {
    TTestUsersFixture::SetUp();
    if (HasFatalFailure()) return;
    A = &AddUser("UserA", kAlgorithm94);
    B = &AddUser("UserB", kAlgorithm2001);
    Introduce(*A, *B);
  }

  // Encode encrypts |plain| on |user|'s engine for |list| and answers the
  // block (empty on failure, with the code in LastResult).
  std::vector<uint8_t> Encode(const TTestUser& user, const std::vector<uint8_t>& plain, const char* list) {
    const int32_t room = Host().GetMaxAdditionEx(user.Engine, list);
    std::vector<uint8_t> buffer(plain.size() + static_cast<size_t>(room), 0xCC);
    std::copy(plain.begin(), plain.end(), buffer.begin());
    int32_t len = static_cast<int32_t>(plain.size());
    LastResult = Host().EncodeData(user.Engine, buffer.data(), &len, list);
    if (LastResult != 0) {
      EXPECT_EQ(len, static_cast<int32_t>(plain.size())) << "a failed encryption changed the length";
      EXPECT_TRUE(std::equal(plain.begin(), plain.end(), buffer.begin())) << "a failed encryption changed the data";
      return {};
    }
    buffer.resize(static_cast<size_t>(len));
    return buffer;
  }

  // Decode decrypts |block| on |user|'s engine; the result code is in
  // LastResult, and a failure must leave the block as it was.
  std::vector<uint8_t> Decode(const TTestUser& user, const std::vector<uint8_t>& block) {
    std::vector<uint8_t> buffer = block;
    int32_t len = static_cast<int32_t>(block.size());
    LastResult = Host().DecodeData(user.Engine, buffer.data(), &len, nullptr);
    if (LastResult != 0) {
      EXPECT_EQ(buffer, block) << "a failed decryption changed the block";
      return {};
    }
    buffer.resize(static_cast<size_t>(len));
    return buffer;
  }

  TTestUser* A = nullptr;
  TTestUser* B = nullptr;
  int32_t LastResult = 0;
};

TEST_F(EncryptTest, BlockForTwoDecryptsForBothInEitherMode) {
  const std::vector<uint8_t> plain = Pattern(1000);
  const std::string list = A->UID + ";" + B->UID;
  for (const char* method : {"1", "0"}) {
    SCOPED_TRACE(method);
    SetParam(*A, 5, method);
    const std::vector<uint8_t> block = Encode(*A, plain, list.c_str());
    ASSERT_EQ(LastResult, 0) << ErrorText(*A, LastResult);
    // 8 + (s + 1) + sum(r + 49) + 16 + N
    EXPECT_EQ(block.size(), 8 + (A->UID.size() + 1) + (A->UID.size() + 49) + (B->UID.size() + 49) + 16 + plain.size());
    EXPECT_EQ(DecodeFixed32(block.data()), 2u);
    EXPECT_EQ(DecodeFixed32(block.data() + 4), method[0] == '1' ? 1u : 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + 8)), A->UID);
    EXPECT_EQ(Decode(*A, block), plain);
    EXPECT_EQ(Decode(*B, block), plain);
  }

  // A number other than 0 and 1 means gamma; so does the empty value.
  for (const char* method : {"7", ""}) {
    SetParam(*A, 5, method);
    const std::vector<uint8_t> block = Encode(*A, plain, B->UID.c_str());
    ASSERT_EQ(LastResult, 0);
    EXPECT_EQ(DecodeFixed32(block.data() + 4), 0u);
    EXPECT_EQ(Decode(*B, block), plain);
  }

  // Fresh block key and synchros every time.
  EXPECT_NE(Encode(*A, plain, B->UID.c_str()), Encode(*A, plain, B->UID.c_str()));
  // The smallest block: empty data still carries both MACs.
  const std::vector<uint8_t> empty = Encode(*B, {}, A->UID.c_str());
  ASSERT_EQ(LastResult, 0);
  EXPECT_EQ(empty.size(), 8 + (B->UID.size() + 1) + (A->UID.size() + 49) + 16);
  EXPECT_TRUE(Decode(*A, empty).empty());
  EXPECT_EQ(LastResult, 0);
}

TEST_F(EncryptTest, RecipientListRules) {
  const std::vector<uint8_t> plain = Pattern(64);

  // A block for B alone is not for its sender.
  const std::vector<uint8_t> forB = Encode(*A, plain, B->UID.c_str());
  ASSERT_EQ(LastResult, 0);
  Decode(*A, forB);
  EXPECT_EQ(LastResult, -17);

  // A trailing ";" is an empty last UID, which has no key.
  Encode(*A, plain, (B->UID + ";").c_str());
  EXPECT_EQ(LastResult, -11);
  Encode(*A, plain, "Nobody");
  EXPECT_EQ(LastResult, -11);

  // Without a list, parameter 6 is used, trimmed.
  SetParam(*A, 6, "  " + B->UID + "\t");
  const std::vector<uint8_t> fromParam = Encode(*A, plain, nullptr);
  ASSERT_EQ(LastResult, 0);
  EXPECT_EQ(Decode(*B, fromParam), plain);
  // Blank parameter 6 is refused before any other parameter is read.
  SetParam(*A, 6, " \t ");
  SetParam(*A, 5, "one");
  Encode(*A, plain, "");
  EXPECT_EQ(LastResult, -7);
  SetParam(*A, 6, B->UID);
  Encode(*A, plain, nullptr);
  EXPECT_EQ(LastResult, -13);
  SetParam(*A, 5, "1");

  // Size figures.
  EXPECT_EQ(Host().GetMaxEncodeAddition(A->Engine), kRoomFor100);
  EXPECT_EQ(Host().GetMaxAdditionEx(A->Engine, nullptr), kRoomFor100);
  EXPECT_EQ(Host().GetMaxAdditionEx(A->Engine, ""), kRoomFor100);
  EXPECT_EQ(Host().GetMaxAdditionEx(A->Engine, "a;b;c"), 1188);
  EXPECT_EQ(Host().GetMaxAdditionEx(A->Engine, "a;"), 885);

  // The encryption UID is the signing UID; one of the greatest length is
  // copied whole, with its zero.
  std::vector<char> uid(300, 'X');
  EXPECT_EQ(Host().GetEncodeUIDBySignUID(A->Engine, "Signer", uid.data()), 0);
  EXPECT_STREQ(uid.data(), "Signer");
  const std::string longest(254, 'L');
  EXPECT_EQ(Host().GetEncodeUIDBySignUID(A->Engine, longest.c_str(), uid.data()), 0);
  EXPECT_EQ(std::string(uid.data()), longest);
  EXPECT_EQ(Host().GetEncodeUIDBySignUID(A->Engine, nullptr, uid.data()), -4);
  EXPECT_EQ(Host().GetEncodeUIDBySignUID(A->Engine, "x", nullptr), -4);
}

TEST_F(EncryptTest, DamagedBlocksAreRefused) {
  const std::vector<uint8_t> plain = Pattern(200);
  const std::vector<uint8_t> block = Encode(*A, plain, (A->UID + ";" + B->UID).c_str());
  ASSERT_EQ(LastResult, 0);
  const size_t entryA = 8 + A->UID.size() + 1;
  const size_t entryB = entryA + A->UID.size() + 49;
  const size_t dataPart = entryB + B->UID.size() + 49;

  auto expectRefused = [&](std::vector<uint8_t> damaged, const TTestUser& user, int32_t code, const char* what) {
    Decode(user, damaged);
    EXPECT_EQ(LastResult, code) << what;
  };
  std::vector<uint8_t> damaged = block;
  damaged.back() ^= 1;
  expectRefused(damaged, *B, -15, "cipher text bit");
  damaged = block;
  damaged[entryB + B->UID.size() + 1 + 16] ^= 0x10;
  expectRefused(damaged, *B, -15, "B's encrypted block key");
  expectRefused(damaged, *A, 0, "A's entry is intact");
  damaged = block;
  damaged[dataPart + 8] ^= 1;
  expectRefused(damaged, *A, -15, "data MAC");
  damaged = block;
  EncodeFixed32(damaged.data() + 4, 2);
  expectRefused(damaged, *B, -16, "mode 2");
  // A mode word that would wrap round to an encrypting operation.
  EncodeFixed32(damaged.data() + 4, 0xFFFFFFFEu);
  expectRefused(damaged, *B, -16, "mode -2");
  damaged = block;
  EncodeFixed32(damaged.data(), 0);
  expectRefused(damaged, *B, -17, "count 0");
  EncodeFixed32(damaged.data(), 1);
  expectRefused(damaged, *B, -17, "count 1 leaves B out");
  EncodeFixed32(damaged.data(), 0xFFFFFFFFu);
  expectRefused(damaged, *A, -4, "entries after A's run past the end");

  // A count of 10 with one real entry: the scan reads entries out of the
  // 216 random bytes of the data part, which cannot hold nine entries of at
  // least 49 bytes each, so it must stop at the end of the block.
  std::vector<uint8_t> third = Encode(*B, plain, A->UID.c_str());
  ASSERT_EQ(LastResult, 0);
  EncodeFixed32(third.data(), 10);
  expectRefused(third, *B, -4, "entries run past the end");
  third.resize(8 + B->UID.size() + 1 + A->UID.size() + 49);
  expectRefused(third, *B, -4, "nothing after the entries");

  // Every cut inside the header or the 16 bytes after it is refused with
  // -4 before anything past the length is read; a cut inside the cipher
  // text fails the data MAC.
  for (size_t len = 0; len < block.size(); ++len) {
    std::vector<uint8_t> cut(block.begin(), block.begin() + static_cast<long>(len));
    Decode(*B, cut);
    EXPECT_EQ(LastResult, len < dataPart + 16 ? -4 : -15) << "length " << len;
  }

  int32_t len = 10;
  EXPECT_EQ(Host().DecodeData(B->Engine, nullptr, &len, nullptr), -4);
  EXPECT_EQ(Host().DecodeData(B->Engine, damaged.data(), nullptr, nullptr), -4);
}

TEST_F(EncryptTest, PairwiseKeysAreAgreedOncePerCorrespondent) {
  const std::vector<uint8_t> plain = Pattern(100);
  // With a time-out of 0 every use of the secret key reads the file again.
  SetParam(*A, 7, "0");
  SetParam(*B, 7, "0");
  const std::vector<uint8_t> first = Encode(*A, plain, B->UID.c_str());
  ASSERT_EQ(LastResult, 0);
  ASSERT_EQ(Decode(*B, first), plain);
  // Without the secret key files, only kept pairwise keys can serve.
  std::filesystem::remove(A->SecretKeyPath);
  std::filesystem::remove(B->SecretKeyPath);
  const std::vector<uint8_t> second = Encode(*A, plain, B->UID.c_str());
  ASSERT_EQ(LastResult, 0) << ErrorText(*A, LastResult);
  EXPECT_EQ(Decode(*B, second), plain);
  // A correspondent not met before needs the secret key.
  Encode(*A, plain, A->UID.c_str());
  EXPECT_EQ(LastResult, -10);
}

TEST_F(EncryptTest, ManyRecipientsFitTheRoomOfTheirList) {
  // 150 recipients with long UIDs: more than the fixed room of 100, sized by
  // GetMaxAdditionEx. They all hold B's keys under their own names.
  const std::vector<uint8_t> bKey = ReadFileBytes(B->PublicKeyPath);
  std::string list;
  for (int i = 1; i <= 150; ++i) {
    std::string uid(200, 'x');
    uid.insert(0, std::to_string(i));
    const std::vector<uint8_t> file = RelabelledPublicKey(bKey, uid);
    WriteFileBytes(std::filesystem::path(A->AbonentsDir) / (std::to_string(i) + ".pub"), file);
    if (i > 1) list.push_back(';');
    list.append(uid);
    if (i == 150) WriteFileBytes(B->PublicKeyPath, file);  // B becomes the last recipient
  }
  Host().ClearCash(A->Engine);
  Host().ClearCash(B->Engine);
  const std::vector<uint8_t> plain = Pattern(500);
  const std::vector<uint8_t> block = Encode(*A, plain, list.c_str());
  ASSERT_EQ(LastResult, 0) << ErrorText(*A, LastResult);
  EXPECT_GT(block.size(), plain.size() + kRoomFor100);
  EXPECT_EQ(Decode(*B, block), plain);

  // The same list taken from parameter 6 only has the room of
  // GetMaxAdditionEx(nil) and is refused instead of overflowing it.
  SetParam(*A, 6, list);
  Encode(*A, plain, nullptr);
  EXPECT_EQ(LastResult, -4);
}

}  // namespace
}  // namespace tzm::test
