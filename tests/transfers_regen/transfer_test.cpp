// Public key transfers between two users with real keys, through the exports:
// the text form, what receivers accept and refuse, and what they deliver.
#include <gtest/gtest.h>

#include <cstring>

#include "transfer_helpers.h"

namespace tzm::test {
namespace {

class TransferTest : public TTransferFixture {
 protected:
  // Uid asks the receiver for the UID carried by text; "" on failure.
  static int32_t Uid(const TTestUser& receiver, const std::string& text, std::string& uid) {
    char out[256] = {};
    const int32_t result = Host().GetUIDByPublicKeyTransfer(receiver.Engine, text.c_str(), out);
    uid = out;
    return result;
  }

  static int32_t ExportContent(const TTestUser& receiver, const std::string& text, uint8_t* out, int32_t* outLen) {
    return Host().ExportObject(receiver.Engine, 6, const_cast<char*>(text.c_str()), nullptr, nullptr, out, outLen);
  }
};

TEST_F(TransferTest, TextLengthFollowsTheSignersUID) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  TTestUser& bob = AddUser("B", kAlgorithm94);
  GiveKeyTo(bob, alice);
  EXPECT_EQ(Host().GetMaxSignAddition(alice.Engine), 323);
  EXPECT_EQ(Host().GetMaxPublicKeyTransferSize(alice.Engine), 2198);

  // 776 + (5 + 1 + 64) + 4 = 850 payload bytes: 1136 characters with "==".
  const std::string own = SelfTransfer(alice);
  EXPECT_EQ(own.size(), 1136u);
  EXPECT_EQ(own.substr(own.size() - 2), "==");
  EXPECT_EQ(own.find_first_of("\r\n "), std::string::npos);

  // Whatever key it carries, the signer decides the length.
  std::vector<char> text(kTransferRoom, 0);
  ASSERT_EQ(Host().GetPublicKeyTransfer(alice.Engine, "B", text.data()), 0);
  EXPECT_EQ(std::strlen(text.data()), 1136u);

  const std::string shortSigner = SelfTransfer(bob);
  EXPECT_EQ(shortSigner.size(), 1128u);
  EXPECT_EQ(shortSigner.find('='), std::string::npos);
}

TEST_F(TransferTest, ReceiversSkipLineBreaksAndRefuseOtherCharacters) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  TTestUser& bob = AddUser("Bob", kAlgorithm2001);
  Introduce(alice, bob);
  const std::string text = SelfTransfer(alice);
  std::string uid;

  std::string broken = "\r\n" + text.substr(0, 76) + "\r\n" + text.substr(76, 3) + "\r\n" + text.substr(79);
  broken.insert(broken.size() - 2, "\r\n");
  broken += "\r\n";
  EXPECT_EQ(Uid(bob, broken, uid), 0);
  EXPECT_EQ(uid, "Alice");
  std::vector<char> report(2048, 0);
  EXPECT_EQ(Host().GetPublicKeyPropertiesByTransfer(bob.Engine, broken.c_str(), report.data()), 0);

  for (const char* inserted : {" ", "\t"}) {
    std::string spoiled = text;
    spoiled.insert(100, inserted);
    EXPECT_EQ(Uid(bob, spoiled, uid), -4);
  }
  EXPECT_EQ(Uid(bob, "", uid), -4);
  char out[256];
  EXPECT_EQ(Host().GetUIDByPublicKeyTransfer(bob.Engine, nullptr, out), -4);
  EXPECT_EQ(Host().GetUIDByPublicKeyTransfer(bob.Engine, text.c_str(), nullptr), -4);
}

TEST_F(TransferTest, TamperedOrShortenedTransfersAreRefused) {
  TTestUser& alice = AddUser("Alice", kAlgorithm94);
  TTestUser& bob = AddUser("Bob", kAlgorithm2001);
  Introduce(alice, bob);
  const std::string text = SelfTransfer(alice);
  std::vector<uint8_t> payload = Base64Decode(text);
  ASSERT_EQ(payload.size(), 850u);
  ASSERT_EQ(payload[260], 'A');  // first letter of the carried UID
  payload[260] = 'E';
  const std::string tampered = Base64Encode(payload);

  std::string uid;
  EXPECT_NE(Uid(bob, tampered, uid), 0);
  const std::filesystem::path target = Root / "saved";
  std::filesystem::create_directories(target);
  EXPECT_NE(Host().SavePublicKeyFromTransfer(bob.Engine, target.string().c_str(), tampered.c_str()), 0);
  EXPECT_NE(Host().IncludePublicKeyTransfer(bob.Engine, tampered.c_str()), 0);
  EXPECT_TRUE(FileNames(target).empty());

  EXPECT_NE(Uid(bob, text.substr(0, text.size() - 4), uid), 0);
}

TEST_F(TransferTest, ReceiversDeliverTheCarriedKey) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  TTestUser& bob = AddUser("Bob", kAlgorithm94);
  TTestUser& carol = AddUser("Carol", kAlgorithm94);
  Introduce(alice, bob);
  GiveKeyTo(carol, alice);
  const std::vector<uint8_t> aliceKey = ReadFileBytes(alice.PublicKeyPath);
  const std::vector<uint8_t> carolKey = ReadFileBytes(carol.PublicKeyPath);
  const std::string text = SelfTransfer(alice);

  // Saved under the block's file name in the chosen directory.
  const std::filesystem::path target = Root / "saved";
  std::filesystem::create_directories(target);
  EXPECT_EQ(Host().SavePublicKeyFromTransfer(bob.Engine, target.string().c_str(), text.c_str()), 0);
  EXPECT_EQ(ReadFileBytes(target / "tran.pub"), aliceKey);
  const std::string missing = (Root / "no" / "such").string();
  EXPECT_EQ(Host().SavePublicKeyFromTransfer(bob.Engine, missing.c_str(), "garbage !"), -32);
  EXPECT_EQ(Host().SavePublicKeyFromTransfer(bob.Engine, nullptr, text.c_str()), -4);

  // The report is the one of the key file.
  std::vector<char> byTransfer(2048, 0), byFile(2048, 0);
  ASSERT_EQ(Host().GetPublicKeyPropertiesByTransfer(bob.Engine, text.c_str(), byTransfer.data()), 0);
  ASSERT_EQ(Host().GetPublicKeyPropertiesByFile(bob.Engine, alice.PublicKeyPath.c_str(), byFile.data()), 0);
  EXPECT_STREQ(byTransfer.data(), byFile.data());
  EXPECT_EQ(Host().GetPublicKeyPropertiesByTransfer(bob.Engine, text.c_str(), nullptr), -4);

  // Raw key bytes with the size protocol.
  int32_t len = 0;
  EXPECT_EQ(ExportContent(bob, text, nullptr, &len), 0);
  EXPECT_EQ(len, static_cast<int32_t>(aliceKey.size()));
  std::vector<uint8_t> raw(aliceKey.size());
  len = static_cast<int32_t>(raw.size()) - 1;
  EXPECT_EQ(ExportContent(bob, text, raw.data(), &len), -4);
  EXPECT_EQ(len, static_cast<int32_t>(aliceKey.size()));
  EXPECT_EQ(ExportContent(bob, text, raw.data(), &len), 0);
  EXPECT_EQ(raw, aliceKey);

  // Carol's key reaches Bob through Alice and lands in his Abonents folder.
  std::vector<char> carolText(kTransferRoom, 0);
  ASSERT_EQ(Host().GetPublicKeyTransfer(alice.Engine, "Carol", carolText.data()), 0);
  EXPECT_EQ(Host().IncludePublicKeyTransfer(bob.Engine, carolText.data()), 0);
  EXPECT_FALSE(FindFileWithBytes(bob.AbonentsDir, carolKey).empty());
  std::vector<char> report(2048, 0);
  EXPECT_EQ(Host().GetReport(bob.Engine, "Carol", report.data()), 0);

  // A user's own key is not a correspondent's.
  EXPECT_EQ(Host().IncludePublicKeyTransfer(alice.Engine, text.c_str()), -20);
}

TEST_F(TransferTest, LongestKeyFileRoundTripsAndUIDIsCut) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  TTestUser& bob = AddUser("Bob", kAlgorithm2001);
  Introduce(alice, bob);
  const std::string longUID(254, 'u');
  const std::vector<uint8_t> longKey = GeneratedKeyPair(longUID, kAlgorithm94).PublicKey;
  ASSERT_EQ(longKey.size(), 515u);
  const std::filesystem::path keyFile = Root / "long.pub";
  WriteFileBytes(keyFile, longKey);

  std::vector<char> text(kTransferRoom, 0);
  ASSERT_EQ(Host().GetPublicKeyTransferByFile(alice.Engine, text.data(), keyFile.string().c_str()), 0);
  std::vector<uint8_t> raw(515);
  int32_t len = 515;
  EXPECT_EQ(ExportContent(bob, text.data(), raw.data(), &len), 0);
  EXPECT_EQ(len, 515);
  EXPECT_EQ(raw, longKey);
  std::string uid;
  EXPECT_EQ(Uid(bob, text.data(), uid), 0);
  EXPECT_EQ(uid, std::string(253, 'u'));

  std::vector<uint8_t> tooLong = longKey;
  tooLong.push_back(0);
  WriteFileBytes(Root / "too_long.pub", tooLong);
  EXPECT_EQ(Host().GetPublicKeyTransferByFile(alice.Engine, text.data(), (Root / "too_long.pub").string().c_str()),
            -19);
  EXPECT_EQ(Host().GetPublicKeyTransferByFile(alice.Engine, text.data(), (Root / "absent.pub").string().c_str()), -19);

  EXPECT_EQ(Host().GetPublicKeyTransfer(alice.Engine, longUID.c_str(), text.data()), -11);
  EXPECT_EQ(Host().GetPublicKeyTransfer(alice.Engine, (longUID + "u").c_str(), text.data()), -7);
  EXPECT_EQ(Host().GetPublicKeyTransfer(alice.Engine, "", text.data()), -7);
}

TEST_F(TransferTest, VerifiedPayloadsThatHoldNoWholeBlockAreRefused) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  TTestUser& bob = AddUser("Bob", kAlgorithm2001);
  Introduce(alice, bob);
  const std::vector<uint8_t> key = ReadFileBytes(alice.PublicKeyPath);
  const std::filesystem::path target = Root / "saved";
  std::filesystem::create_directories(target);
  std::string uid;

  // Correctly signed, but the key length points past the block, or the
  // payload is shorter than a block.
  for (const int32_t keyLength : {516, 600, -1, INT32_MIN}) {
    const std::string text = SignedTransferOf(alice, BlockBytes(key, keyLength));
    EXPECT_EQ(Uid(bob, text, uid), -4) << keyLength;
    int32_t len = 1000;
    std::vector<uint8_t> raw(1000);
    EXPECT_EQ(ExportContent(bob, text, raw.data(), &len), -4) << keyLength;
    EXPECT_EQ(Host().SavePublicKeyFromTransfer(bob.Engine, target.string().c_str(), text.c_str()), -4);
  }
  std::vector<uint8_t> shortBlock = BlockBytes(key, static_cast<int32_t>(key.size()));
  shortBlock.resize(775);
  EXPECT_EQ(Uid(bob, SignedTransferOf(alice, shortBlock), uid), -4);
  EXPECT_TRUE(FileNames(target).empty());

  // The same construction with a fitting length is accepted, and a sender's
  // file name cannot lead out of the chosen directory.
  const std::string fine = SignedTransferOf(alice, BlockBytes(key, static_cast<int32_t>(key.size()), "..\\../up.pub"));
  EXPECT_EQ(Uid(bob, fine, uid), 0);
  EXPECT_EQ(uid, "Alice");
  EXPECT_EQ(Host().SavePublicKeyFromTransfer(bob.Engine, target.string().c_str(), fine.c_str()), 0);
  EXPECT_EQ(FileNames(target), std::set<std::string>{"up.pub"});
}

}  // namespace
}  // namespace tzm::test
