// Remote key regeneration through the exports: the full exchange between two
// users, the state kept on disk between the steps, and every refusal.
#include <gtest/gtest.h>

#include "transfer_helpers.h"

namespace tzm::test {
namespace {

class RemoteGenTest : public TTransferFixture {
 protected:
  static std::filesystem::path RGDir(const TTestUser& user) { return user.Folder / ("RG" + user.UID); }

  static std::string CurrentUID(const TTestUser& user) {
    char uid[256] = {};
    EXPECT_EQ(Host().GetCurrentUserUID(user.Engine, uid), 0);
    return uid;
  }

  static std::string CarriedUID(const TTestUser& receiver, const char* text) {
    char uid[256] = {};
    EXPECT_EQ(Host().GetUIDByPublicKeyTransfer(receiver.Engine, text, uid), 0);
    return uid;
  }

  std::vector<char> Text = std::vector<char>(kTransferRoom, 0);
};

TEST_F(RemoteGenTest, FullRegenerationBetweenTwoUsers) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  TTestUser& bob = AddUser("Bob", kAlgorithm94);
  Introduce(alice, bob);
  const std::vector<uint8_t> oldKey = ReadFileBytes(alice.PublicKeyPath);
  EXPECT_EQ(Host().GetRemoteGenType(alice.Engine), 0);

  // Start: the new key waits in the user's directory, its secret sealed.
  int32_t state = 0;
  ASSERT_EQ(Host().RemoteGenerateStartEx(alice.Engine, nullptr, Text.data(), &state), 0);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(FileNames(RGDir(alice)), (std::set<std::string>{"new.pub", "sec.dat"}));
  const std::string newUID = CarriedUID(bob, Text.data());
  ASSERT_EQ(newUID.size(), 5u + 22u);
  EXPECT_EQ(newUID.substr(0, 7), "Alice (");
  std::vector<char> pending(2048, 0);
  EXPECT_EQ(Host().GetReport(alice.Engine, "", pending.data()), 0);
  EXPECT_EQ(std::string(pending.data()).substr(0, 4 + newUID.size()), "UID=" + newUID);

  // The other side accepts the new key; the user finishes with the same text.
  ASSERT_EQ(Host().IncludePublicKeyTransfer(bob.Engine, Text.data()), 0);
  state = 0;
  ASSERT_EQ(Host().RemoteGenerateFinishEx(alice.Engine, Text.data(), &state), 0);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(CurrentUID(alice), newUID);

  // The new key signs, the other side verifies it.
  const std::string data = "payment order 42";
  std::vector<uint8_t> signature(319);
  int32_t signatureLen = 0;
  ASSERT_EQ(Host().SignData(alice.Engine, reinterpret_cast<const unsigned char*>(data.data()),
                            static_cast<int32_t>(data.size()), signature.data(), &signatureLen, nullptr),
            0);
  char signer[256] = {};
  EXPECT_EQ(Host().VerifyData(bob.Engine, reinterpret_cast<const unsigned char*>(data.data()),
                              static_cast<int32_t>(data.size()), signature.data(), signatureLen, signer),
            0);
  EXPECT_EQ(std::string(signer), newUID);

  // The previous key is kept: as a correspondent's key and as backups.
  EXPECT_FALSE(FindFileWithBytes(alice.AbonentsDir, oldKey).empty());
  EXPECT_EQ(ReadFileBytes(alice.Folder / "old.pub"), oldKey);
  EXPECT_TRUE(std::filesystem::exists(alice.Folder / "old.sec"));
  EXPECT_TRUE(std::filesystem::is_directory(RGDir(alice)));
  EXPECT_TRUE(FileNames(RGDir(alice)).empty());
}

TEST_F(RemoteGenTest, PlainStepsKeepTheUIDAndChosenUIDsAreUsed) {
  TTestUser& alice = AddUser("Alice", kAlgorithm94);
  TTestUser& bob = AddUser("Bob", kAlgorithm2001);
  Introduce(alice, bob);

  int32_t state = 7;  // any value but 0 skips the file check
  ASSERT_EQ(Host().RemoteGenerateStartEx(alice.Engine, "Alice Two", Text.data(), &state), 0);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(CarriedUID(bob, Text.data()), "Alice Two");

  // Starting again replaces the pending key; the plain start keeps the UID.
  ASSERT_EQ(Host().RemoteGenerateStart(alice.Engine, Text.data()), 0);
  EXPECT_EQ(CarriedUID(bob, Text.data()), "Alice");
  const std::vector<uint8_t> newKey = ReadFileBytes(RGDir(alice) / "new.pub");
  ASSERT_EQ(Host().RemoteGenerateFinish(alice.Engine, nullptr), 0);
  EXPECT_EQ(ReadFileBytes(alice.PublicKeyPath), newKey);
  EXPECT_EQ(CurrentUID(alice), "Alice");
  EXPECT_TRUE(FileNames(RGDir(alice)).empty());
}

TEST_F(RemoteGenTest, FinishRefusesWhatWasNotStartedOrDoesNotMatch) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  TTestUser& bob = AddUser("Bob", kAlgorithm2001);
  Introduce(alice, bob);

  std::vector<char> report(2048, 0);
  EXPECT_EQ(Host().RemoteGenerateFinish(alice.Engine, nullptr), -25);  // no directory, no fallback
  EXPECT_EQ(Host().GetReport(alice.Engine, "", report.data()), -22);
  std::filesystem::create_directories(RGDir(alice));
  EXPECT_EQ(Host().RemoteGenerateFinish(alice.Engine, nullptr), -23);
  EXPECT_EQ(Host().GetReport(alice.Engine, "", report.data()), -23);

  // A validly signed transfer of another key: nothing is touched.
  const std::string oldTransfer = SelfTransfer(alice);
  ASSERT_EQ(Host().RemoteGenerateStart(alice.Engine, Text.data()), 0);
  const auto before = FileNames(RGDir(alice));
  int32_t state = 0;
  EXPECT_EQ(Host().RemoteGenerateFinishEx(alice.Engine, oldTransfer.c_str(), &state), -27);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(FileNames(RGDir(alice)), before);
  EXPECT_EQ(Host().RemoteGenerateFinishEx(alice.Engine, "not a transfer!", &state), -4);

  // A sealed secret that is not a whole secret key file.
  std::vector<uint8_t> sealed(100 + 30579, 0x11);
  int32_t sealedLen = 100;
  ASSERT_EQ(Host().EncodeData(alice.Engine, sealed.data(), &sealedLen, "Alice"), 0);
  sealed.resize(static_cast<size_t>(sealedLen));
  WriteFileBytes(RGDir(alice) / "sec.dat", sealed);
  EXPECT_EQ(Host().RemoteGenerateFinish(alice.Engine, nullptr), -26);
  std::filesystem::remove(RGDir(alice) / "sec.dat");
  EXPECT_EQ(Host().RemoteGenerateFinish(alice.Engine, nullptr), -23);
}

TEST_F(RemoteGenTest, KeyGenStateChecksTheKeyFilesFirst) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  std::filesystem::remove(alice.SecretKeyPath);

  int32_t state = 0;
  EXPECT_EQ(Host().RemoteGenerateStartEx(alice.Engine, nullptr, Text.data(), &state), 0);
  EXPECT_EQ(state, 2);
  EXPECT_FALSE(std::filesystem::exists(RGDir(alice)));
  state = 0;
  EXPECT_EQ(Host().RemoteGenerateFinishEx(alice.Engine, "", &state), 0);
  EXPECT_EQ(state, 2);

  // Another value skips the check and the start fails on the missing key,
  // leaving no plain secret key behind.
  state = 5;
  EXPECT_NE(Host().RemoteGenerateStartEx(alice.Engine, nullptr, Text.data(), &state), 0);
  EXPECT_EQ(state, 5);
  EXPECT_FALSE(std::filesystem::exists(RGDir(alice) / "new.sec"));
  EXPECT_EQ(Host().RemoteGenerateStartEx(alice.Engine, nullptr, Text.data(), nullptr), -4);
}

TEST_F(RemoteGenTest, StartFailuresLeaveNoPlainSecretKey) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);

  SetParam(alice, 9, "2012");
  EXPECT_EQ(Host().RemoteGenerateStart(alice.Engine, Text.data()), -5);
  EXPECT_TRUE(std::filesystem::is_directory(RGDir(alice)));

  // "sec.dat" cannot be written: the start fails and the plain key is gone.
  SetParam(alice, 9, " \t2001 ");
  std::filesystem::create_directories(RGDir(alice) / "sec.dat");
  EXPECT_EQ(Host().RemoteGenerateStart(alice.Engine, Text.data()), -31);
  EXPECT_EQ(FileNames(RGDir(alice)), (std::set<std::string>{"new.pub", "sec.dat"}));

  std::filesystem::remove(RGDir(alice) / "sec.dat");
  EXPECT_EQ(Host().RemoteGenerateStart(alice.Engine, Text.data()), 0);
  EXPECT_EQ(Host().RemoteGenerateStart(alice.Engine, nullptr), -4);
}

}  // namespace
}  // namespace tzm::test
