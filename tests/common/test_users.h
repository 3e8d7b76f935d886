// Users with real key pairs for tests that go through the exports: each test
// gets a scratch folder, and each user in it a folder with a public key file,
// a secret key file, an Abonents folder and a CA folder, plus an engine of
// the loaded library whose parameters 1 to 4 point there. Key pairs are made
// by the binding itself (GenerateKeyPair), once per UID and algorithm for the
// whole test program, and written afresh into every test's folders.
#ifndef TZM_TESTS_COMMON_TEST_USERS_H
#define TZM_TESTS_COMMON_TEST_USERS_H

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "abi_host.h"
#include "cryptlib.h"
#include "key_pairs.h"

namespace tzm::test {

inline constexpr int32_t kAlgorithm94 = 0;    // GOST R 34.10-94
inline constexpr int32_t kAlgorithm2001 = 1;  // GOST R 34.10-2001

// TTestUser is one key owner of a test.
struct TTestUser {
  std::string UID;
  int32_t Algorithm = kAlgorithm2001;
  std::filesystem::path Folder;
  std::string PublicKeyPath;  // as given to the engine (parameter 1)
  std::string SecretKeyPath;  // parameter 2
  std::string AbonentsDir;    // parameter 3, ending in "/"
  std::string CADir;          // parameter 4, ending in "/"
  TZMEngine Engine = nullptr;

  // KeySet is the key set the engine derives from its parameters, for tests
  // that call the binding directly.
  TKeySet KeySet() const {
    TKeySet keys;
    keys.PublicKeyPath = PublicKeyPath;
    keys.SecretKeyPath = SecretKeyPath;
    keys.AbonentsDir = AbonentsDir;
    keys.CADir = CADir;
    return keys;
  }
};

// TTestUsersFixture gives a test its folder and its users. Engines are
// released and the folder removed after the test.
class TTestUsersFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Host().Loaded()) << "tz_morka not loaded; missing: " << MissingText();
    ASSERT_TRUE(TestBinding().LibraryLoaded && TestBinding().EntriesResolved) << "libcrypt.dll not usable";
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "tzm_" + std::string(info->test_suite_name()) + "_" + std::string(info->name()) + "_" +
                       std::to_string(platform::CurrentThreadId()) + "_" + std::to_string(counter++);
    for (char& c : name) {
      if (c == '/') c = '_';  // parameterised test names
    }
    Root = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Root);
  }

  void TearDown() override {
    for (TTestUser& user : Users) {
      if (user.Engine != nullptr) {
        Host().ClearCash(user.Engine);
        Host().DoneEngine(user.Engine);
      }
    }
    Users.clear();
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
  }

  static TAbiHost& Host() { return AbiHost(); }

  // AddUser makes a user with a key pair of |algorithm| and an engine set up
  // for it. The UID must be a plain ASCII name (it is also the folder name).
  TTestUser& AddUser(const std::string& uid, int32_t algorithm) {
    const TKeyPairFiles& files = GeneratedKeyPair(uid, algorithm);
    EXPECT_FALSE(files.PublicKey.empty()) << "key generation failed for " << uid;
    TTestUser& user = Users.emplace_back();
    user.UID = uid;
    user.Algorithm = algorithm;
    user.Folder = Root / ("user_" + std::to_string(Users.size()));
    std::filesystem::create_directories(user.Folder / "abonents");
    std::filesystem::create_directories(user.Folder / "ca");
    user.PublicKeyPath = (user.Folder / "self.pub").string();
    user.SecretKeyPath = (user.Folder / "self.sec").string();
    user.AbonentsDir = (user.Folder / "abonents").string() + "/";
    user.CADir = (user.Folder / "ca").string() + "/";
    WriteFileBytes(user.PublicKeyPath, files.PublicKey);
    WriteFileBytes(user.SecretKeyPath, files.SecretKey);
    user.Engine = Host().GetCryptObj(0);
    EXPECT_NE(user.Engine, nullptr);
    SetParam(user, 1, user.PublicKeyPath);
    SetParam(user, 2, user.SecretKeyPath);
    SetParam(user, 3, user.AbonentsDir);
    SetParam(user, 4, user.CADir);
    return user;
  }

  // SetParam sets parameter |index| (1-based) of the user's engine.
  static void SetParam(const TTestUser& user, int32_t index, const std::string& value) {
    EXPECT_EQ(Host().SetCryptoParamValue(user.Engine, index, value.c_str()), 0) << "parameter " << index;
  }

  // GiveKeyTo copies |owner|'s public key file into |reader|'s Abonents
  // folder (as "<UID>.pub") and clears the reader's cache so it is seen.
  void GiveKeyTo(const TTestUser& owner, const TTestUser& reader) {
    WriteFileBytes(std::filesystem::path(reader.AbonentsDir) / (owner.UID + ".pub"), ReadFileBytes(owner.PublicKeyPath));
    Host().ClearCash(reader.Engine);
  }

  // Introduce gives each of the two users the other's public key.
  void Introduce(const TTestUser& a, const TTestUser& b) {
    GiveKeyTo(a, b);
    GiveKeyTo(b, a);
  }

  // ErrorText answers GetCryptoErrorString of |code| for the user's engine.
  static std::string ErrorText(const TTestUser& user, int32_t code) {
    std::vector<char> text(static_cast<size_t>(Host().GetMaxErrorStringLength(user.Engine)) + 1, 0);
    Host().GetCryptoErrorString(user.Engine, code, text.data());
    return std::string(text.data());
  }

  std::filesystem::path Root;
  std::deque<TTestUser> Users;

 private:
  static std::string MissingText() {
    std::string text;
    for (const std::string& name : Host().Missing) text += name + " ";
    return text;
  }
};

}  // namespace tzm::test

#endif  // TZM_TESTS_COMMON_TEST_USERS_H
