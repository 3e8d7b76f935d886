// GetCurrentUserUID through the exports of the loaded library, with the
// real provider beside the test executable.
#include <gtest/gtest.h>

#include "cryptlib_test_util.h"
#include "export_loader.h"

namespace tzm {
namespace {

using test::Bytes;
using test::PublicImage;
using test::WriteAll;

class EngineUID : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exports.Ready());
    Engine = Exports.NewEngine(Folder.Root.string() + "/");
  }
  void TearDown() override { Exports.DoneEngine(Engine); }

  test::TScratchFolder Folder;
  test::TMorkaExports Exports;
  TZMEngine Engine = nullptr;
};

TEST_F(EngineUID, AnswersTheUIDHeadingThePublicKeyFile) {
  std::string uid;
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), -11);  // no file yet
  WriteAll(Folder.Path("self.pub"), PublicImage("\xCF\xE5\xF2\xF0\xEE\xE2", 1));
  ASSERT_EQ(Exports.CurrentUID(Engine, uid), 0);
  EXPECT_EQ(uid, "\xCF\xE5\xF2\xF0\xEE\xE2");
  // Only the head is read: a short file still names its owner.
  WriteAll(Folder.Path("self.pub"), Bytes{'Q', 0});
  ASSERT_EQ(Exports.CurrentUID(Engine, uid), 0);
  EXPECT_EQ(uid, "Q");
  std::string longest(254, 'L');
  WriteAll(Folder.Path("self.pub"), PublicImage(longest, 0));
  ASSERT_EQ(Exports.CurrentUID(Engine, uid), 0);
  EXPECT_EQ(uid, longest);
}

TEST_F(EngineUID, RefusesPublicKeyFilesThatCannotNameAUser) {
  std::string uid;
  WriteAll(Folder.Path("self.pub"), Bytes{0, 'A', 0});
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), -11);
  Bytes large = PublicImage("A", 0);
  large.resize(516, 0);
  WriteAll(Folder.Path("self.pub"), large);
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), -11);
  WriteAll(Folder.Path("self.pub"), Bytes(255, 'A'));  // unterminated
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), -11);
  WriteAll(Folder.Path("self.pub"), PublicImage(std::string(255, 'A'), 1));
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), -11);
  WriteAll(Folder.Path("self.pub"), Bytes{});
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), -11);
  // A missing buffer is refused instead of written through.
  WriteAll(Folder.Path("self.pub"), PublicImage("A", 1));
  EXPECT_EQ(Exports.GetCurrentUserUID(Engine, nullptr), -4);
}

TEST_F(EngineUID, TimeoutsThatAreNotIntegersStopBeforeTheBinding) {
  WriteAll(Folder.Path("self.pub"), PublicImage("A", 1));
  std::string uid;
  Exports.SetCryptoParamValue(Engine, 7, "60 ");
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), -13);
  Exports.SetCryptoParamValue(Engine, 7, "");
  Exports.SetCryptoParamValue(Engine, 8, "five");
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), -13);
  Exports.SetCryptoParamValue(Engine, 8, "-1");
  EXPECT_EQ(Exports.CurrentUID(Engine, uid), 0);
}

TEST(EngineLifetime, UnloadingTheLibraryDestroysBindingsAndReleasesLibcrypt) {
  test::TScratchFolder folder;
  WriteAll(folder.Path("self.pub"), PublicImage("A", 1));
  for (int round = 0; round < 2; ++round) {
    test::TMorkaExports exports;
    ASSERT_TRUE(exports.Ready());
    TZMEngine engine = exports.NewEngine(folder.Root.string() + "/");
    std::string uid;
    ASSERT_EQ(exports.CurrentUID(engine, uid), 0);
    EXPECT_NE(platform::LoadedModulePath("libcrypt.dll"), platform::HostExecutablePath());
    exports.DoneEngine(engine);
    exports.Unload();
    // The host executable's name is the answer for a module not loaded.
    EXPECT_EQ(platform::LoadedModulePath("libcrypt.dll"), platform::HostExecutablePath()) << round;
  }
}

}  // namespace
}  // namespace tzm
