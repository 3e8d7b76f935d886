// Key replacement under faults, on the binding directly. A crash between any
// two of its steps is simulated in a child process that dies at the k-th
// rename or deletion (this program interposes both calls); whatever the
// crash leaves, the old pair and the new public key are still on disk, and
// either the new pair is complete or the old one can be put back from
// old.sec and old.pub. Failures it can report must leave the old pair in
// place.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cryptlib.h"
#include "fault_helpers.h"
#include "test_users.h"

namespace {

// Armed in a child only: the process ends (as if the power failed) when the
// count of renames and deletions reaches gCrashAt.
int gCrashAt = 0;
int gMutations = 0;

void CountMutation() {
  if (gCrashAt > 0 && ++gMutations == gCrashAt) ::_exit(77);
}

}  // namespace

extern "C" int rename(const char* from, const char* to) {
  CountMutation();
  using TRename = int (*)(const char*, const char*);
  static const auto real = reinterpret_cast<TRename>(::dlsym(RTLD_NEXT, "rename"));
  return real(from, to);
}

extern "C" int unlink(const char* path) {
  CountMutation();
  using TUnlink = int (*)(const char*);
  static const auto real = reinterpret_cast<TUnlink>(::dlsym(RTLD_NEXT, "unlink"));
  return real(path);
}

namespace tzm::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class KeyReplacement : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Root = fs::temp_directory_path() / ("tzm_faults_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::remove_all(Root);
    fs::create_directories(Root / "rg");
    Old = GeneratedKeyPair("REPLACE-OLD", kAlgorithm2001);
    New = GeneratedKeyPair("REPLACE-NEW", kAlgorithm2001);
    ASSERT_FALSE(Old.PublicKey.empty());
    ASSERT_FALSE(New.PublicKey.empty());
    PublicPath = (Root / "self.pub").string();
    SecretPath = (Root / "self.sec").string();
    NewPublicPath = (Root / "rg" / "new.pub").string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(Root, ignored);
  }

  // Lay out the start state: the current pair, the pending new public key
  // and, with |earlierBackups|, old.sec and old.pub of an earlier replacement.
  void Prepare(bool earlierBackups) {
    fs::remove_all(Root);
    fs::create_directories(Root / "rg");
    WriteFileBytes(PublicPath, Old.PublicKey);
    WriteFileBytes(SecretPath, Old.SecretKey);
    WriteFileBytes(NewPublicPath, New.PublicKey);
    if (earlierBackups) {
      WriteFileBytes(Root / "old.sec", Bytes(164, 0xEE));
      WriteFileBytes(Root / "old.pub", Bytes(100, 0xEE));
    }
  }

  int32_t Replace() {
    TCryptoC_DLL binding;
    return binding.ReplaceKeyFiles(PublicPath, SecretPath, New.SecretKey, NewPublicPath);
  }

  Bytes Read(const fs::path& path) const { return fs::exists(path) ? ReadFileBytes(path) : Bytes{}; }

  // ExpectOldPair checks that the key files are exactly the old pair.
  void ExpectOldPair() const {
    EXPECT_EQ(Read(SecretPath), Old.SecretKey);
    EXPECT_EQ(Read(PublicPath), Old.PublicKey);
  }

  fs::path Root;
  TKeyPairFiles Old;
  TKeyPairFiles New;
  std::string PublicPath;
  std::string SecretPath;
  std::string NewPublicPath;
};

TEST_F(KeyReplacement, CrashAfterAnyStepLeavesARecoverablePair) {
  for (const bool earlierBackups : {false, true}) {
    bool completed = false;
    for (int crashAt = 1; crashAt < 40 && !completed; ++crashAt) {
      SCOPED_TRACE("crash at mutation " + std::to_string(crashAt) + (earlierBackups ? " with backups" : ""));
      Prepare(earlierBackups);
      std::fflush(nullptr);
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        gCrashAt = crashAt;
        gMutations = 0;
        ::_exit(Replace() == 0 ? 0 : 1);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status));
      const int exitCode = WEXITSTATUS(status);
      ASSERT_TRUE(exitCode == 77 || exitCode == 0) << "replacement failed without a crash: " << exitCode;
      completed = exitCode == 0;
      if (crashAt == 1) {
        ASSERT_EQ(exitCode, 77) << "the interposed rename and unlink are not reached";
      }

      const Bytes secret = Read(SecretPath);
      const Bytes publicKey = Read(PublicPath);
      const Bytes oldSecret = Read(Root / "old.sec");
      const Bytes oldPublic = Read(Root / "old.pub");
      // Nothing is lost: the old pair and the new public key are on disk.
      EXPECT_TRUE(secret == Old.SecretKey || oldSecret == Old.SecretKey);
      EXPECT_TRUE(publicKey == Old.PublicKey || oldPublic == Old.PublicKey);
      EXPECT_TRUE(publicKey == New.PublicKey || Read(NewPublicPath) == New.PublicKey);
      if (completed) {
        EXPECT_EQ(secret, New.SecretKey);
        EXPECT_EQ(publicKey, New.PublicKey);
        EXPECT_EQ(oldSecret, Old.SecretKey);
        EXPECT_EQ(oldPublic, Old.PublicKey);
        continue;
      }
      // Recovery: unless the new pair is complete, the old pair goes back.
      if (!(secret == New.SecretKey && publicKey == New.PublicKey)) {
        if (secret != Old.SecretKey) fs::copy_file(Root / "old.sec", SecretPath, fs::copy_options::overwrite_existing);
        if (publicKey != Old.PublicKey) fs::copy_file(Root / "old.pub", PublicPath, fs::copy_options::overwrite_existing);
        ExpectOldPair();
        TCryptoC_DLL binding;
        TKeySet keys;
        keys.PublicKeyPath = PublicPath;
        keys.SecretKeyPath = SecretPath;
        int32_t algorithm = -1;
        TSecureArray<32> key;
        EXPECT_EQ(binding.GetSigningKey(keys, algorithm, key.Span()), 0) << "the recovered pair loads";
      }
    }
    EXPECT_TRUE(completed) << "the replacement never ran to its end";
  }
}

TEST_F(KeyReplacement, MissingNewPublicKeyMovesNothing) {
  Prepare(false);
  fs::remove(NewPublicPath);
  EXPECT_EQ(Replace(), -31);
  ExpectOldPair();
  EXPECT_FALSE(fs::exists(Root / "old.sec"));
  EXPECT_FALSE(fs::exists(Root / "old.pub"));
}

TEST_F(KeyReplacement, PublicSideFailurePutsTheSecretKeyBack) {
  Prepare(false);
  fs::create_directories(Root / "old.pub" / "inside");  // cannot be deleted
  EXPECT_EQ(Replace(), -31);
  ExpectOldPair();
  EXPECT_EQ(Read(NewPublicPath), New.PublicKey);
}

TEST_F(KeyReplacement, FullDiskWhileWritingTheSecretKeyPutsItBack) {
  Prepare(false);
  int32_t result = 0;
  {
    TDiskFull full;
    ASSERT_TRUE(full.Works());
    result = Replace();
  }
  EXPECT_EQ(result, -18);
  ExpectOldPair();
  EXPECT_EQ(Read(NewPublicPath), New.PublicKey);
}

TEST_F(KeyReplacement, UnwritableKeyFolderMovesNothing) {
  Prepare(false);
  TReadOnlyFolder readOnly(Root);
  if (!readOnly.Works()) GTEST_SKIP() << "cannot make a folder unwritable here";
  EXPECT_EQ(Replace(), -18);
  ExpectOldPair();
}

}  // namespace
}  // namespace tzm::test
