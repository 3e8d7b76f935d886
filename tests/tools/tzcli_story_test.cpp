// Two operators with their own profiles, as the tool is meant to be used:
// keys, the key store, signatures, encryption, transfers and remote
// regeneration, each through tzcli runs and the files they leave.
#include <filesystem>

#include "tzcli_runner.h"

namespace tzm::test {
namespace {

const std::string kIvanov = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2 \xD0\x98.\xD0\x98.";  // UTF-8
const std::string kPetrov = "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2 \xD0\x9F.\xD0\x9F.";
const std::string kSidorov = "\xD0\xA1\xD0\xB8\xD0\xB4\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB2";

// TzcliStoryTest gives each user a folder "<name>/" with keys, a store and a
// profile "<name>.profile"; Ivanov (2001) and Petrov (1994) know each other.
class TzcliStoryTest : public TTzcliFixture {
 protected:
  void SetUp() override {
    TTzcliFixture::SetUp();
    AddUser("ivanov", kIvanov, "2001");
    AddUser("petrov", kPetrov, "1994");
    ASSERT_RUN(Tzcli({"--profile", "ivanov.profile", "abonents", "include", "petrov/self.pub"}), 0);
    ASSERT_RUN(Tzcli({"--profile", "petrov.profile", "abonents", "include", "ivanov/self.pub"}), 0);
  }

  void AddUser(const std::string& name, const std::string& uid, const std::string& algorithm) {
    const std::filesystem::path home = Dir / name;
    std::filesystem::create_directories(home / "abonents");
    std::filesystem::create_directories(home / "ca");
    Spit(Dir / (name + ".profile"), "User PKey/Certificate = " + (home / "self.pub").string() + "\n" +
                                        "User Secret key = " + (home / "self.sec").string() + "\n" +
                                        "Abonents dir = " + (home / "abonents").string() + "\n" +
                                        "CA dir = " + (home / "ca").string() + "\n");
    const TRun run = Tzcli({"--profile", name + ".profile", "keygen", algorithm, uid, "--pub", name + "/self.pub",
                            "--sec", name + "/self.sec"});
    ASSERT_RUN(run, 0);
  }

  TRun As(const std::string& name, std::vector<std::string> args) const {
    args.insert(args.begin(), {"--profile", name + ".profile"});
    return Tzcli(args);
  }
};

// Data longer than one 65535-byte hash piece, so that both digests differ.
std::string LongData() {
  std::string data;
  for (int i = 0; data.size() < 200000; ++i) data += "line " + std::to_string(i) + "\n";
  return data;
}

TEST_F(TzcliStoryTest, KeysAndTheStore) {
  TRun run = As("ivanov", {"whoami"});
  EXPECT_RUN(run, 0);
  EXPECT_EQ(run.Out, kIvanov + "\n");
  // An existing key pair is not replaced by accident.
  run = As("ivanov", {"keygen", "2001", "X", "--pub", "ivanov/self.pub", "--sec", "ivanov/new.sec"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Has("use --force"));
  EXPECT_FALSE(std::filesystem::exists(Dir / "ivanov" / "new.sec"));

  run = As("ivanov", {"--json", "abonents", "list"});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("\"uid\":\"" + kIvanov + "\"") && run.Has("\"uid\":\"" + kPetrov + "\"")) << run.Out;
  EXPECT_TRUE(run.Has("\"correspondents\":1"));

  // include leaves the operator's file alone unless --move; the own key is refused.
  EXPECT_TRUE(std::filesystem::exists(Dir / "petrov" / "self.pub"));
  ASSERT_RUN(As("ivanov", {"keygen", "1994", kSidorov, "--pub", "sidorov.pub", "--sec", "sidorov.sec"}), 0);
  EXPECT_RUN(As("ivanov", {"abonents", "include", "--move", "sidorov.pub"}), 0);
  EXPECT_FALSE(std::filesystem::exists(Dir / "sidorov.pub"));
  run = As("ivanov", {"abonents", "include", "ivanov/self.pub"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Has("error -20: "));
  EXPECT_TRUE(std::filesystem::exists(Dir / "ivanov" / "self.pub"));
  EXPECT_RUN(As("ivanov", {"abonents", "update", kSidorov}), 0);
  run = As("ivanov", {"report", kSidorov});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("UID=" + kSidorov + "\nPKeyAlg="));
  EXPECT_RUN(As("ivanov", {"abonents", "remove", kSidorov}), 0);
  EXPECT_TRUE(As("ivanov", {"report", kSidorov}).Has("error -11: "));
  EXPECT_TRUE(As("ivanov", {"abonents", "remove", kIvanov}).Has("error -21: "));

  run = As("petrov", {"selftest"});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("secret key: ready, signs as " + kPetrov));
  EXPECT_TRUE(run.Has("cipher and hash test: passed") && run.Has("signature test: passed"));
}

TEST_F(TzcliStoryTest, SignaturesDetachedAndAttachedRefuseChangedData) {
  const std::string data = LongData();
  Spit(Dir / "contract.txt", data);
  TRun run = As("ivanov", {"sign", "contract.txt"});
  ASSERT_RUN(run, 0);
  EXPECT_EQ(Slurp(Dir / "contract.txt.sig").size(), 11u + 65u);  // the UID has 11 Windows-1251 characters
  run = As("petrov", {"verify", "contract.txt"});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("signer: " + kIvanov) && run.Has("signature: valid"));

  // The last byte changed: refused with 5, and the claimed signer is shown.
  std::string changed = data;
  changed.back() ^= 1;
  Spit(Dir / "changed.txt", changed);
  run = As("petrov", {"verify", "changed.txt", "contract.txt.sig"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Has("signer: " + kIvanov) && run.Has("tzcli verify: error 5: "));
  run = As("petrov", {"--json", "verify", "changed.txt", "contract.txt.sig"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Out.rfind("{\"command\":\"verify\",\"ok\":false,\"code\":5,\"message\":\"", 0) == 0);
  EXPECT_TRUE(run.Has(",\"signer\":\"" + kIvanov + "\"}\n")) << run.Out;

  ASSERT_RUN(As("petrov", {"sign", "--attached", "contract.txt", "-o", "signed.bin"}), 0);
  run = As("ivanov", {"verify", "--attached", "signed.bin", "-o", "plain.txt"});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("signer: " + kPetrov));
  EXPECT_EQ(Slurp(Dir / "plain.txt"), data);
  std::string signedBytes = Slurp(Dir / "signed.bin");
  signedBytes[10] ^= 1;
  Spit(Dir / "signed.bin", signedBytes);
  EXPECT_TRUE(As("ivanov", {"verify", "--attached", "signed.bin"}).Has("error 5: "));
}

TEST_F(TzcliStoryTest, SignaturesThatCoverOnlyTheFirstPieceAreNotCalledValid) {
  // The engine's OLD_FORMAT digest hashes the first 65535 bytes again in
  // place of every later piece: such a signature survives any change after
  // them. The tool must not report it as a valid signature of the file.
  Spit(Dir / "long.txt", LongData());
  TRun run = As("ivanov", {"--set", "Hash method=OLD_FORMAT", "sign", "long.txt"});
  ASSERT_RUN(run, 0);
  EXPECT_TRUE(run.Has("warning: the OLD_FORMAT digest covers only the first 65535 bytes"));
  run = As("petrov", {"verify", "long.txt"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Has("does not cover the whole data"));
  std::string tail = LongData();
  tail.replace(tail.size() - 100, 100, std::string(100, 'X'));
  Spit(Dir / "long.txt", tail);
  run = As("petrov", {"verify", "--allow-partial", "long.txt"});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("valid for the first 65535 bytes only"));

  // Short data is covered whole by either digest.
  Spit(Dir / "short.txt", "short");
  ASSERT_RUN(As("ivanov", {"--set", "Hash method=", "sign", "short.txt"}), 0);
  EXPECT_RUN(As("petrov", {"verify", "short.txt"}), 0);
}

TEST_F(TzcliStoryTest, EncryptionForBothAndRefusals) {
  const std::string data = LongData();
  Spit(Dir / "report.xml", data);
  TRun run = As("ivanov", {"encrypt", "report.xml", "--to", kIvanov + ";" + kPetrov});
  ASSERT_RUN(run, 0);
  EXPECT_RUN(As("petrov", {"decrypt", "report.xml.enc", "-o", "petrov.xml"}), 0);
  EXPECT_RUN(As("ivanov", {"decrypt", "report.xml.enc"}), 0);  // default output: the .enc ending dropped
  EXPECT_EQ(Slurp(Dir / "petrov.xml"), data);
  EXPECT_EQ(Slurp(Dir / "report.xml"), data);

  // Addressed to Petrov alone: the sender cannot read it.
  ASSERT_RUN(As("ivanov", {"encrypt", "report.xml", "--to", kPetrov, "-o", "for-petrov.bin"}), 0);
  EXPECT_TRUE(As("ivanov", {"decrypt", "for-petrov.bin"}).Has("error -17: "));
  std::string changed = Slurp(Dir / "for-petrov.bin");
  changed[changed.size() - 5] ^= 1;
  Spit(Dir / "for-petrov.bin", changed);
  run = As("petrov", {"decrypt", "for-petrov.bin"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Has("error -15: "));
  EXPECT_FALSE(std::filesystem::exists(Dir / "for-petrov.bin.dec"));
  EXPECT_TRUE(As("ivanov", {"encrypt", "report.xml", "--to", kSidorov}).Has("error -11: "));
}

TEST_F(TzcliStoryTest, HashForms) {
  Spit(Dir / "a.txt", "abc");
  TRun hex = As("ivanov", {"hash", "a.txt"});
  ASSERT_RUN(hex, 0);
  ASSERT_EQ(hex.Out.size(), 65u);
  EXPECT_EQ(hex.Out.find_first_not_of("0123456789ABCDEF"), 64u);
  const TRun base64 = As("ivanov", {"hash", "a.txt", "--form", "base64"});
  EXPECT_EQ(base64.Out.size(), 45u);
  EXPECT_EQ(base64.Out[43], '=');
  ASSERT_RUN(As("ivanov", {"hash", "a.txt", "--form", "raw", "-o", "a.hash"}), 0);
  EXPECT_EQ(Slurp(Dir / "a.hash").size(), 32u);
  // The OLD_FORMAT digest equals the GOST one below 65536 bytes.
  EXPECT_EQ(As("ivanov", {"--set", "Hash method=OLD_FORMAT", "hash", "a.txt"}).Out, hex.Out);
}

TEST_F(TzcliStoryTest, TransfersBetweenProfiles) {
  TRun run = As("ivanov", {"transfer", "export", "-o", "ivanov.transfer"});
  ASSERT_RUN(run, 0);
  EXPECT_TRUE(run.Has("uid: " + kIvanov));
  run = As("petrov", {"transfer", "uid", "ivanov.transfer"});
  EXPECT_EQ(run.Out, kIvanov + "\n");
  EXPECT_RUN(As("petrov", {"transfer", "import", "ivanov.transfer"}), 0);
  EXPECT_TRUE(As("petrov", {"report", "--transfer", "ivanov.transfer"}).Has("UID=" + kIvanov));
  std::filesystem::create_directories(Dir / "saved");
  EXPECT_RUN(As("petrov", {"transfer", "save", "ivanov.transfer", "--dir", "saved"}), 0);
  EXPECT_EQ(Slurp(Dir / "saved" / "tran.pub"), Slurp(Dir / "ivanov" / "self.pub"));
  EXPECT_RUN(As("petrov", {"transfer", "content", "ivanov.transfer", "-o", "content.pub"}), 0);
  EXPECT_EQ(Slurp(Dir / "content.pub"), Slurp(Dir / "ivanov" / "self.pub"));
  // Text on standard input; a transfer of a correspondent's key by UID.
  run = As("ivanov", {"transfer", "export", kPetrov});
  ASSERT_RUN(run, 0);
  EXPECT_EQ(Tzcli({"--profile", "petrov.profile", "transfer", "uid", "-"}, run.Out).Out, kPetrov + "\n");

  // A signer nobody knows is refused; so is a changed text.
  std::filesystem::create_directories(Dir / "s");
  ASSERT_RUN(As("ivanov", {"keygen", "2001", kSidorov, "--pub", "s/self.pub", "--sec", "s/self.sec"}), 0);
  run = As("ivanov", {"transfer", "export", "--file", "s/self.pub", "-o", "s.transfer"});
  ASSERT_RUN(run, 0);
  Spit(Dir / "sidorov.profile", "User PKey/Certificate = s/self.pub\nUser Secret key = s/self.sec\nAbonents dir = s\n");
  ASSERT_RUN(Tzcli({"--profile", "sidorov.profile", "transfer", "export", "-o", "self-signed.transfer"}), 0);
  run = As("petrov", {"transfer", "import", "self-signed.transfer"});
  EXPECT_TRUE(run.Has("error -11: ") && run.Has("hint: the signer's public key is not known here"));
  EXPECT_TRUE(As("petrov", {"transfer", "export", kSidorov}).Has("error -11: "));
  std::string text = Slurp(Dir / "ivanov.transfer");
  text[100] = text[100] == 'A' ? 'B' : 'A';
  Spit(Dir / "ivanov.transfer", text);
  EXPECT_RUN(As("petrov", {"transfer", "import", "ivanov.transfer"}), 1);
}

TEST_F(TzcliStoryTest, RemoteRegenerationReplacesTheKeyTheOtherSideAccepted) {
  Spit(Dir / "doc.txt", "document");
  TRun run = As("petrov", {"regen", "status"});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("pending: no"));
  EXPECT_TRUE(As("petrov", {"report", "--pending"}).Has("error -22: "));
  EXPECT_TRUE(As("petrov", {"regen", "finish"}).Has("error -25: "));
  run = As("petrov", {"--set", "Key gen - GOST=2001", "regen", "start", "-o", "request.transfer"});
  ASSERT_RUN(run, 0);
  EXPECT_TRUE(run.Has("new uid: " + kPetrov));
  EXPECT_TRUE(As("petrov", {"regen", "status"}).Has("pending: yes"));
  EXPECT_TRUE(As("petrov", {"report", "--pending"}).Has("PKeyAlg="));

  // A transfer of another key does not finish it.
  ASSERT_RUN(As("petrov", {"transfer", "export", kIvanov, "-o", "other.transfer"}), 0);
  EXPECT_TRUE(As("petrov", {"regen", "finish", "--ex", "other.transfer"}).Has("error -27: "));

  ASSERT_RUN(As("ivanov", {"transfer", "import", "request.transfer"}), 0);
  run = As("petrov", {"regen", "finish", "--ex", "request.transfer"});
  ASSERT_RUN(run, 0);
  EXPECT_TRUE(run.Has("uid: " + kPetrov));
  EXPECT_TRUE(std::filesystem::exists(Dir / "petrov" / "old.sec"));
  ASSERT_RUN(As("petrov", {"sign", "doc.txt"}), 0);
  EXPECT_RUN(As("ivanov", {"verify", "doc.txt"}), 0);
  EXPECT_TRUE(As("ivanov", {"report", kPetrov}).Has("2001"));
  EXPECT_TRUE(As("petrov", {"regen", "finish"}).Has("error -23: "));
}

TEST_F(TzcliStoryTest, RootMacroPathsCyrillicFoldersAndStandardInput) {
  // Keys under %KVLRoot% (the engine upper-cases expanded paths) in a
  // Cyrillic folder; the root is relative to the profile's folder.
  const std::string keys = "\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87\xD0\xB8";  // UTF-8 folder name
  std::filesystem::create_directories(Dir / "bank" / "root" / keys / "abonents");
  Spit(Dir / "bank" / "s.profile", "Root = root\n"
                                   "User PKey/Certificate = %KVLRoot%\\" + keys + "\\self.pub\n"
                                   "User Secret key = %kvlroot%\\" + keys + "\\self.sec\n"
                                   "Abonents dir = %KVLRoot%\\" + keys + "\\abonents\n"
                                   "Key gen - PKey filename = %KVLRoot%\\" + keys + "\\self.pub\n"
                                   "Key gen - SKey filename = %KVLRoot%\\" + keys + "\\self.sec\n");
  const std::vector<std::string> profile = {"--profile", "bank/s.profile"};
  auto as = [&](std::vector<std::string> args, const std::string& input = std::string()) {
    args.insert(args.begin(), profile.begin(), profile.end());
    return Tzcli(args, input);
  };
  ASSERT_RUN(as({"keygen", "2001", kSidorov}), 0);
  EXPECT_EQ(as({"whoami"}).Out, kSidorov + "\n");
  // The existing files are found behind the macro too.
  EXPECT_TRUE(as({"keygen", "2001", kSidorov}).Has("use --force"));
  EXPECT_RUN(as({"keygen", "2001", kSidorov, "--force"}), 0);
  TRun run = as({"abonents", "list"});
  EXPECT_RUN(run, 0);
  EXPECT_FALSE(run.Has("(missing)")) << run.Out;

  // Data from standard input, a Cyrillic file name for the signature.
  const std::string document = "\xD0\xB4\xD0\xBE\xD0\xB3\xD0\xBE\xD0\xB2\xD0\xBE\xD1\x80.sig";
  ASSERT_RUN(as({"sign", "-", "-o", document}, "from a pipe"), 0);
  ASSERT_TRUE(std::filesystem::exists(Dir / document));
  Spit(Dir / "piped.txt", "from a pipe");
  run = as({"verify", "piped.txt", document});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("signer: " + kSidorov));

  // A regeneration under a chosen UID, reported before it is finished.
  run = as({"regen", "start", "--uid", kPetrov + " 2", "-o", "req.transfer"});
  ASSERT_RUN(run, 0);
  EXPECT_TRUE(run.Has("new uid: " + kPetrov + " 2"));
  EXPECT_TRUE(as({"report", "--pending"}).Has("UID=" + kPetrov + " 2\n"));
  ASSERT_RUN(as({"regen", "finish"}), 0);
  EXPECT_EQ(as({"whoami"}).Out, kPetrov + " 2\n");
}

}  // namespace
}  // namespace tzm::test
