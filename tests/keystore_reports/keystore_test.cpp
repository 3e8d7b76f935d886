// Key store operations through the exports: new key pairs from the key
// generation parameters, including, removing and refreshing correspondents'
// keys, and ClearCash.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "expected_report.h"
#include "test_users.h"

namespace tzm::test {
namespace {

namespace fs = std::filesystem;

class KeyStoreTest : public TTestUsersFixture {
 protected:
  // PubFilesIn lists the files of |dir| (not recursive).
  static std::vector<fs::path> FilesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path());
    return files;
  }

  std::string Report(const TTestUser& user, const char* uid, int32_t* result) {
    std::vector<char> buffer(2048, 0);
    *result = Host().GetReport(user.Engine, uid, buffer.data());
    return std::string(buffer.data());
  }
};

TEST_F(KeyStoreTest, GenerateNewKeyPairFromParameters) {
  const TTestUser& user = AddUser("User1", kAlgorithm2001);
  const std::string pub = (Root / "gen.pub").string();
  const std::string sec = (Root / "gen.sec").string();
  SetParam(user, 10, " NewUser ");
  SetParam(user, 11, pub);
  SetParam(user, 12, sec);
  // Generation does not read the time-out parameters.
  SetParam(user, 7, "soon");
  SetParam(user, 8, "later");

  SetParam(user, 9, " \t2001 ");
  ASSERT_EQ(Host().GenerateNewSEK(user.Engine), 0);
  std::vector<uint8_t> made = ReadFileBytes(pub);
  ASSERT_EQ(made.size(), 7u + 233u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(made.data())), "NewUser");
  EXPECT_EQ(made[8], 1);
  EXPECT_EQ(fs::file_size(sec), 164u);

  SetParam(user, 9, "1994");
  ASSERT_EQ(Host().GenerateNewSSK(user.Engine), 0);
  made = ReadFileBytes(pub);
  ASSERT_EQ(made.size(), 7u + 261u);
  EXPECT_EQ(made[8], 0);

  // The key set in use is untouched.
  SetParam(user, 7, "60");
  SetParam(user, 8, "5");
  std::vector<char> uid(255, 0);
  ASSERT_EQ(Host().GetCurrentUserUID(user.Engine, uid.data()), 0);
  EXPECT_STREQ(uid.data(), "User1");

  for (const char* bad : {"2001a", "2000", "", "94"}) {
    SetParam(user, 9, bad);
    EXPECT_EQ(Host().GenerateNewSEK(user.Engine), -5) << bad;
    EXPECT_EQ(Host().GenerateNewSSK(user.Engine), -5) << bad;
  }
  SetParam(user, 9, "2001");
  SetParam(user, 10, "  ");
  EXPECT_EQ(Host().GenerateNewSEK(user.Engine), -7);
}

TEST_F(KeyStoreTest, IncludeTwiceKeepsOneFileAndDeletesBothSources) {
  const TTestUser& self = AddUser("Self", kAlgorithm2001);
  const TTestUser& other = AddUser("Other", kAlgorithm94);
  const std::vector<uint8_t> key = ReadFileBytes(other.PublicKeyPath);
  const fs::path first = Root / "first.pub";
  const fs::path second = Root / "second.pub";
  WriteFileBytes(first, key);
  WriteFileBytes(second, key);

  ASSERT_EQ(Host().IncludePublicKey(self.Engine, first.string().c_str()), 0);
  EXPECT_FALSE(fs::exists(first));
  ASSERT_EQ(Host().IncludePublicEncodeKey(self.Engine, second.string().c_str()), 0);
  EXPECT_FALSE(fs::exists(second));

  const std::vector<fs::path> stored = FilesIn(self.AbonentsDir);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(ReadFileBytes(stored[0]), key);

  int32_t result = 0;
  const std::string report = Report(self, "Other", &result);
  ASSERT_EQ(result, 0);
  EXPECT_EQ(report, ExpectedReport(key));
}

TEST_F(KeyStoreTest, IncludeRefusalsLeaveTheSourceInPlace) {
  const TTestUser& self = AddUser("Self", kAlgorithm2001);
  const TTestUser& other = AddUser("Other", kAlgorithm2001);

  const fs::path own = Root / "own.pub";
  WriteFileBytes(own, ReadFileBytes(self.PublicKeyPath));
  EXPECT_EQ(Host().IncludePublicKey(self.Engine, own.string().c_str()), -20);
  EXPECT_EQ(Host().IncludePublicEncodeKey(self.Engine, own.string().c_str()), -20);
  EXPECT_TRUE(fs::exists(own));

  std::vector<uint8_t> big = ReadFileBytes(other.PublicKeyPath);
  big.resize(516, 0);
  const fs::path tooLong = Root / "long.pub";
  WriteFileBytes(tooLong, big);
  EXPECT_EQ(Host().IncludePublicKey(self.Engine, tooLong.string().c_str()), -11);
  EXPECT_TRUE(fs::exists(tooLong));
  std::vector<char> report(2048, 0);
  EXPECT_EQ(Host().GetPublicKeyPropertiesByFile(self.Engine, tooLong.string().c_str(), report.data()), -19);
  EXPECT_TRUE(fs::exists(tooLong));

  const fs::path emptyUID = Root / "empty.pub";
  WriteFileBytes(emptyUID, std::vector<uint8_t>(40, 0));
  EXPECT_EQ(Host().IncludePublicKey(self.Engine, emptyUID.string().c_str()), -11);
  EXPECT_TRUE(fs::exists(emptyUID));

  EXPECT_EQ(Host().IncludePublicKey(self.Engine, (Root / "missing.pub").string().c_str()), -11);
  EXPECT_EQ(Host().IncludePublicKey(self.Engine, nullptr), -11);
  EXPECT_TRUE(FilesIn(self.AbonentsDir).empty());

  // A time-out parameter that is not a number stops the include early.
  SetParam(self, 8, "x");
  const fs::path good = Root / "good.pub";
  WriteFileBytes(good, ReadFileBytes(other.PublicKeyPath));
  EXPECT_EQ(Host().IncludePublicKey(self.Engine, good.string().c_str()), -13);
  EXPECT_TRUE(fs::exists(good));
}

TEST_F(KeyStoreTest, RemoveCertificate) {
  const TTestUser& self = AddUser("Self", kAlgorithm2001);
  const TTestUser& other = AddUser("Other", kAlgorithm2001);
  GiveKeyTo(other, self);

  EXPECT_EQ(Host().RemoveCertificate(self.Engine, "Self"), -21);
  Host().ClearCash(self.Engine);  // no secret key loaded: the UID comes from the file
  EXPECT_EQ(Host().RemoveCertificate(self.Engine, "Self"), -21);
  EXPECT_TRUE(fs::exists(self.PublicKeyPath));
  EXPECT_EQ(FilesIn(self.AbonentsDir).size(), 1u);

  EXPECT_EQ(Host().RemoveCertificate(self.Engine, "Nobody"), -11);
  EXPECT_EQ(Host().RemoveCertificate(self.Engine, "Other"), 0);
  EXPECT_TRUE(FilesIn(self.AbonentsDir).empty());
  int32_t result = 0;
  Report(self, "Other", &result);
  EXPECT_EQ(result, -11);
  EXPECT_EQ(Host().RemoveCertificate(self.Engine, "Other"), -11);
}

TEST_F(KeyStoreTest, UpdateCertificateCashRereadsTheFile) {
  const TTestUser& self = AddUser("Self", kAlgorithm2001);
  const TTestUser& other = AddUser("Other", kAlgorithm2001);
  const TTestUser& other94 = AddUser("Other", kAlgorithm94);  // same UID, another key
  GiveKeyTo(other, self);

  int32_t result = 0;
  EXPECT_EQ(Report(self, "Other", &result), ExpectedReport(ReadFileBytes(other.PublicKeyPath)));
  ASSERT_EQ(result, 0);

  const std::vector<uint8_t> replaced = ReadFileBytes(other94.PublicKeyPath);
  WriteFileBytes(fs::path(self.AbonentsDir) / "Other.pub", replaced);
  // The cache still holds the old key until it is refreshed.
  EXPECT_EQ(Report(self, "Other", &result), ExpectedReport(ReadFileBytes(other.PublicKeyPath)));
  ASSERT_EQ(Host().UpdateCertificateCash(self.Engine, "Other"), 0);
  EXPECT_EQ(Report(self, "Other", &result), ExpectedReport(replaced));

  EXPECT_EQ(Host().UpdateCertificateCash(self.Engine, "Nobody"), -11);
}

TEST_F(KeyStoreTest, ClearCashForgetsKeysOfEveryBinding) {
  TTestUser& self = AddUser("Self", kAlgorithm2001);
  const TTestUser& other = AddUser("Other", kAlgorithm2001);
  const TTestUser& third = AddUser("Third", kAlgorithm94);
  GiveKeyTo(third, other);

  // Load the secret key (and with it the UID) and keep it for an hour.
  SetParam(self, 7, "3600");
  SetParam(self, 8, "3600");
  const uint8_t data[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  std::vector<uint8_t> signature(319, 0);
  int32_t signatureLen = 0;
  ASSERT_EQ(Host().SignData(self.Engine, data, 10, signature.data(), &signatureLen, nullptr), 0);
  int32_t result = 0;
  Report(other, "Third", &result);
  ASSERT_EQ(result, 0);

  // Swap the key files on disk behind both bindings' backs: they keep what
  // they hold.
  WriteFileBytes(self.PublicKeyPath, ReadFileBytes(other.PublicKeyPath));
  WriteFileBytes(self.SecretKeyPath, ReadFileBytes(other.SecretKeyPath));
  fs::remove(fs::path(other.AbonentsDir) / "Third.pub");
  std::vector<char> uid(255, 0);
  ASSERT_EQ(Host().GetCurrentUserUID(self.Engine, uid.data()), 0);
  EXPECT_STREQ(uid.data(), "Self");
  Report(other, "Third", &result);
  EXPECT_EQ(result, 0);

  // One engine's ClearCash reaches the binding of the other key set too.
  Host().ClearCash(self.Engine);
  ASSERT_EQ(Host().GetCurrentUserUID(self.Engine, uid.data()), 0);
  EXPECT_STREQ(uid.data(), "Other");
  Report(other, "Third", &result);
  EXPECT_EQ(result, -11);
}

}  // namespace
}  // namespace tzm::test
