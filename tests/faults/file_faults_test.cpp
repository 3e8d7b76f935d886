// File-system faults through the exports of the built library: folders that
// cannot be written, a full disk, files removed between calls, and a key
// replacement that cannot complete. Each gives its result code, and no key
// the user had before is lost.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fault_helpers.h"
#include "test_users.h"

namespace tzm::test {
namespace {

namespace fs = std::filesystem;

class FileFaults : public TTestUsersFixture {
 protected:
  void SetUp() override {
    TTestUsersFixture::SetUp();
    A = &AddUser("FAULT-A", kAlgorithm2001);
    B = &AddUser("FAULT-B", kAlgorithm2001);
    Introduce(*A, *B);
    // Keep loaded keys for the whole test, however slow the machine.
    for (const TTestUser* user : {A, B}) {
      SetParam(*user, 7, "600");
      SetParam(*user, 8, "600");
    }
  }

  // SignedBy answers 0 when |signer| signs and |verifier| verifies.
  int32_t SignAndVerify(const TTestUser& signer, const TTestUser& verifier) {
    const std::string data = "payment order 17";
    std::vector<uint8_t> block(320);
    int32_t blockLen = static_cast<int32_t>(block.size());
    char uid[256] = {0};
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    const int32_t signedResult =
        Host().SignData(signer.Engine, bytes, static_cast<int32_t>(data.size()), block.data(), &blockLen, uid);
    if (signedResult != 0) return signedResult;
    return Host().VerifyData(verifier.Engine, bytes, static_cast<int32_t>(data.size()), block.data(), blockLen, uid);
  }

  std::string TransferOf(const TTestUser& user) {
    std::vector<char> text(static_cast<size_t>(Host().GetMaxPublicKeyTransferSize(user.Engine)) + 1, 0);
    EXPECT_EQ(Host().ExcludeSelfPublicKeyTransfer(user.Engine, text.data()), 0);
    return text.data();
  }

  TTestUser* A = nullptr;
  TTestUser* B = nullptr;
};

TEST_F(FileFaults, UnwritableAbonentsFolderKeepsEveryKey) {
  const std::string transfer = TransferOf(*B);
  const fs::path incoming = Root / "incoming.pub";
  WriteFileBytes(incoming, GeneratedKeyPair("FAULT-C", kAlgorithm2001).PublicKey);
  ASSERT_EQ(SignAndVerify(*B, *A), 0);
  {
    TReadOnlyFolder readOnly(A->AbonentsDir);
    if (!readOnly.Works()) GTEST_SKIP() << "cannot make a folder unwritable here";
    EXPECT_EQ(Host().IncludePublicKey(A->Engine, incoming.string().c_str()), -31);
    EXPECT_TRUE(fs::exists(incoming)) << "a key that was not included must not be deleted";
    EXPECT_EQ(Host().IncludePublicKeyTransfer(A->Engine, transfer.c_str()), -31);
    EXPECT_EQ(Host().RemoveCertificate(A->Engine, B->UID.c_str()), -19);
    EXPECT_EQ(Host().SavePublicKeyFromTransfer(A->Engine, A->AbonentsDir.c_str(), transfer.c_str()), -31);
    EXPECT_EQ(SignAndVerify(*B, *A), 0);
  }
  Host().ClearCash(A->Engine);
  EXPECT_EQ(SignAndVerify(*B, *A), 0) << "the correspondent's key file survived";
}

TEST_F(FileFaults, UnwritableKeyFolderRefusesGenerationAndKeepsThePair) {
  SetParam(*A, 10, "FAULT-NEW");
  SetParam(*A, 11, (A->Folder / "new.pub").string());
  SetParam(*A, 12, (A->Folder / "new.sec").string());
  {
    TReadOnlyFolder readOnly(A->Folder);
    if (!readOnly.Works()) GTEST_SKIP() << "cannot make a folder unwritable here";
    EXPECT_EQ(Host().GenerateNewSEK(A->Engine), -9);
    std::vector<char> text(static_cast<size_t>(Host().GetMaxPublicKeyTransferSize(A->Engine)) + 1, 0);
    EXPECT_EQ(Host().RemoteGenerateStart(A->Engine, text.data()), -25) << "no remote-generation folder can be made";
  }
  Host().ClearCash(A->Engine);
  EXPECT_EQ(SignAndVerify(*A, *B), 0);
}

TEST_F(FileFaults, FullDiskGivesWriteCodesAndLosesNoKey) {
  const std::string transfer = TransferOf(*B);
  SetParam(*A, 10, "FAULT-NEW");
  SetParam(*A, 11, (A->Folder / "new.pub").string());
  SetParam(*A, 12, (A->Folder / "new.sec").string());
  std::vector<char> text(static_cast<size_t>(Host().GetMaxPublicKeyTransferSize(A->Engine)) + 1, 0);
  int32_t generated = 0;
  int32_t included = 0;
  int32_t started = 0;
  {
    TDiskFull full;
    ASSERT_TRUE(full.Works());
    generated = Host().GenerateNewSEK(A->Engine);
    // B is known already: re-including it must not lose the key it replaces.
    included = Host().IncludePublicKeyTransfer(A->Engine, transfer.c_str());
    started = Host().RemoteGenerateStart(A->Engine, text.data());
  }
  EXPECT_EQ(generated, -9);
  EXPECT_EQ(included, -31);
  EXPECT_NE(started, 0);
  Host().ClearCash(A->Engine);
  EXPECT_EQ(SignAndVerify(*B, *A), 0) << "B's key survived the failed include";
  EXPECT_EQ(SignAndVerify(*A, *B), 0) << "A's pair survived the failed generation";
  EXPECT_EQ(ReadFileBytes(A->PublicKeyPath), GeneratedKeyPair(A->UID, kAlgorithm2001).PublicKey);
  EXPECT_EQ(ReadFileBytes(A->SecretKeyPath), GeneratedKeyPair(A->UID, kAlgorithm2001).SecretKey);
}

TEST_F(FileFaults, FilesRemovedBetweenCalls) {
  ASSERT_EQ(SignAndVerify(*A, *B), 0);

  // The loaded key outlives its file until the cache is cleared.
  const std::vector<uint8_t> secret = ReadFileBytes(A->SecretKeyPath);
  fs::remove(A->SecretKeyPath);
  EXPECT_EQ(SignAndVerify(*A, *B), 0);
  Host().ClearCash(A->Engine);
  EXPECT_EQ(SignAndVerify(*A, *B), -10);
  WriteFileBytes(A->SecretKeyPath, secret);
  EXPECT_EQ(SignAndVerify(*A, *B), 0);

  const std::vector<uint8_t> own = ReadFileBytes(A->PublicKeyPath);
  fs::remove(A->PublicKeyPath);
  Host().ClearCash(A->Engine);
  EXPECT_EQ(SignAndVerify(*A, *B), -11);
  char uid[256] = {0};
  EXPECT_EQ(Host().GetCurrentUserUID(A->Engine, uid), -11);
  WriteFileBytes(A->PublicKeyPath, own);

  // A correspondent's file removed behind the cache's back.
  ASSERT_EQ(SignAndVerify(*B, *A), 0);  // the cache is loaded again
  fs::remove(fs::path(A->AbonentsDir) / (B->UID + ".pub"));
  EXPECT_EQ(SignAndVerify(*B, *A), 0) << "the cached entry still serves";
  EXPECT_EQ(Host().UpdateCertificateCash(A->Engine, B->UID.c_str()), -11);
  EXPECT_EQ(SignAndVerify(*B, *A), -11);
  EXPECT_EQ(Host().RemoveCertificate(A->Engine, B->UID.c_str()), -11);

  // The whole Abonents folder gone: the own key still verifies.
  fs::remove_all(A->AbonentsDir);
  Host().ClearCash(A->Engine);
  EXPECT_EQ(SignAndVerify(*A, *A), 0);
  EXPECT_EQ(SignAndVerify(*B, *A), -11);
}

TEST_F(FileFaults, RemoteFinishThatCannotMoveThePublicKeyKeepsTheOldPair) {
  std::vector<char> text(static_cast<size_t>(Host().GetMaxPublicKeyTransferSize(A->Engine)) + 1, 0);
  int32_t state = 1;
  ASSERT_EQ(Host().RemoteGenerateStartEx(A->Engine, "FAULT-A2", text.data(), &state), 0);
  const std::vector<uint8_t> oldSecret = ReadFileBytes(A->SecretKeyPath);
  const std::vector<uint8_t> oldPublic = ReadFileBytes(A->PublicKeyPath);

  // old.pub cannot be cleared out of the way: a folder that is not empty.
  const fs::path blocker = A->Folder / "old.pub";
  fs::create_directories(blocker / "inside");
  EXPECT_EQ(Host().RemoteGenerateFinish(A->Engine, nullptr), -31);
  EXPECT_EQ(ReadFileBytes(A->SecretKeyPath), oldSecret) << "the secret key file is put back";
  EXPECT_EQ(ReadFileBytes(A->PublicKeyPath), oldPublic);
  Host().ClearCash(A->Engine);
  EXPECT_EQ(SignAndVerify(*A, *B), 0) << "the pair on disk still matches";

  // With the obstacle gone the pending generation finishes.
  fs::remove_all(blocker);
  EXPECT_EQ(Host().RemoteGenerateFinish(A->Engine, nullptr), 0);
  char uid[256] = {0};
  EXPECT_EQ(Host().GetCurrentUserUID(A->Engine, uid), 0);
  EXPECT_STREQ(uid, "FAULT-A2");
  EXPECT_EQ(ReadFileBytes(A->Folder / "old.sec"), oldSecret);
  EXPECT_EQ(ReadFileBytes(A->Folder / "old.pub"), oldPublic);
  EXPECT_EQ(SignAndVerify(*A, *A), 0);
}

}  // namespace
}  // namespace tzm::test
