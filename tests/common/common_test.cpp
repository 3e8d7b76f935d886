// The shared helpers themselves: every export resolves, and users come with
// key files of the right shape and engines pointed at them.
#include "test_users.h"

namespace tzm::test {
namespace {

TEST(AbiHostTest, ResolvesEveryExport) {
  const TAbiHost& host = AbiHost();
  EXPECT_TRUE(host.Module.IsLoaded());
  EXPECT_TRUE(host.Missing.empty()) << host.Missing.size() << " missing, first " << host.Missing.front();
  EXPECT_EQ(kExportCount, 76);
}

using TestUsersTest = TTestUsersFixture;

TEST_F(TestUsersTest, UsersHaveKeyFilesAndEngines) {
  const TTestUser& a = AddUser("Alice", kAlgorithm94);
  const TTestUser& b = AddUser("Bob", kAlgorithm2001);
  Introduce(a, b);
  // Public key file: UID, zero, algorithm word, signing key (128 or 100), exchange key (128).
  EXPECT_EQ(ReadFileBytes(a.PublicKeyPath).size(), a.UID.size() + 1 + 4 + 128 + 128);
  EXPECT_EQ(ReadFileBytes(b.PublicKeyPath).size(), b.UID.size() + 1 + 4 + 100 + 128);
  EXPECT_EQ(ReadFileBytes(a.SecretKeyPath).size(), 164u);
  EXPECT_EQ(ReadFileBytes(std::filesystem::path(a.AbonentsDir) / "Bob.pub"), ReadFileBytes(b.PublicKeyPath));
  std::vector<char> value(1025, 0);
  Host().GetCryptoParamValue(b.Engine, 3, value.data());
  EXPECT_EQ(std::string(value.data()), b.AbonentsDir);
}

}  // namespace
}  // namespace tzm::test
