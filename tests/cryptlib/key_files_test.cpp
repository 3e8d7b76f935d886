// Key files and the key held in memory: generation, loading with its checks
// on damaged files, the two time-outs, UID lookup and replacement.
#include <gtest/gtest.h>

#include <cstring>

#include "cryptlib_test_util.h"

namespace tzm {
namespace {

using test::Bytes;
using test::CopyOver;
using test::ReadAll;
using test::WriteAll;
namespace R = crypt_result;

double gClock = 0.5;  // time of day seen by the binding under test
double FakeClock() { return gClock; }
constexpr double kSecond = kSecondAsDayFraction;

class KeyFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    gClock = 0.5;
    Dll.TimeOfDay = &FakeClock;
    ASSERT_TRUE(Dll.EntriesResolved);
  }

  // Generate writes a pair into self.pub/self.sec (or other names).
  void Generate(int32_t algorithm, const std::string& uid, const std::string& pub = "self.pub",
                const std::string& sec = "self.sec") {
    ASSERT_EQ(Dll.GenerateKeyPair(algorithm, uid, Folder.Text(pub), Folder.Text(sec)), 0);
  }

  Bytes SigningKeyOf(const std::string& sec) {
    const Bytes file = ReadAll(Folder.Path(sec));
    return Bytes(file.begin() + 4, file.begin() + 36);
  }

  int32_t SigningKey(const TKeySet& keys, Bytes& key, int32_t& algorithm) {
    TSecureArray<32> out;
    const int32_t result = Dll.GetSigningKey(keys, algorithm, out.Span());
    key.assign(out.data(), out.data() + 32);
    return result;
  }

  test::TScratchFolder Folder;
  TCryptoC_DLL Dll;
};

TEST_F(KeyFiles, GeneratesBothAlgorithmsWithTheFileSizesOfTheirLayouts) {
  Generate(0, "U", "a.pub", "a.sec");
  Generate(1, "U", "b.pub", "b.sec");
  const Bytes pub94 = ReadAll(Folder.Path("a.pub"));
  const Bytes pub01 = ReadAll(Folder.Path("b.pub"));
  ASSERT_EQ(pub94.size(), 262u);
  ASSERT_EQ(pub01.size(), 234u);
  EXPECT_EQ(ReadAll(Folder.Path("a.sec")).size(), 164u);
  EXPECT_EQ(ReadAll(Folder.Path("b.sec")).size(), 164u);
  // UID, zero, algorithm word in the public file; the same word heads the secret file.
  EXPECT_EQ(pub94[0], 'U');
  EXPECT_EQ(pub94[1], 0);
  EXPECT_EQ(DecodeFixed32(&pub94[2]), 0u);
  EXPECT_EQ(DecodeFixed32(&pub01[2]), 1u);
  EXPECT_EQ(DecodeFixed32(ReadAll(Folder.Path("b.sec")).data()), 1u);
  // The 2001 blob is stored as 100 bytes whose tail the library leaves zero.
  EXPECT_TRUE(std::all_of(pub01.begin() + 6 + 64, pub01.begin() + 6 + 100, [](uint8_t b) { return b == 0; }));

  // Two generations never give the same keys.
  Generate(1, "U", "c.pub", "c.sec");
  EXPECT_NE(SigningKeyOf("b.sec"), SigningKeyOf("c.sec"));
}

TEST_F(KeyFiles, GenerationRefusesBadArguments) {
  EXPECT_EQ(Dll.GenerateKeyPair(2, "U", Folder.Text("x.pub"), Folder.Text("x.sec")), R::kUnsupportedAlgorithm);
  EXPECT_EQ(Dll.GenerateKeyPair(-1, "", Folder.Text("x.pub"), Folder.Text("x.sec")), R::kUnsupportedAlgorithm);
  EXPECT_EQ(Dll.GenerateKeyPair(1, "", Folder.Text("x.pub"), Folder.Text("x.sec")), R::kEmptyUID);
  // A UID too long for any public key file is refused, not written.
  EXPECT_EQ(Dll.GenerateKeyPair(1, std::string(255, 'A'), Folder.Text("x.pub"), Folder.Text("x.sec")),
            R::kEmptyUID);
  EXPECT_FALSE(std::filesystem::exists(Folder.Path("x.pub")));
  EXPECT_EQ(Dll.GenerateKeyPair(1, std::string(254, 'A'), Folder.Text("x.pub"), Folder.Text("x.sec")), 0);
  EXPECT_EQ(ReadAll(Folder.Path("x.pub")).size(), 254u + 233u);
  // An unwritable target folder.
  EXPECT_EQ(Dll.GenerateKeyPair(1, "U", Folder.Text("missing/x.pub"), Folder.Text("missing/x.sec")),
            R::kKeyFileNotWritten);
}

TEST_F(KeyFiles, LoadedKeysAreTheFileKeysAndTheUIDIsTheFileUID) {
  Generate(1, "User One");
  const TKeySet keys = Folder.Keys();
  Bytes key;
  int32_t algorithm = -1;
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(algorithm, 1);
  EXPECT_EQ(key, SigningKeyOf("self.sec"));
  EXPECT_EQ(Dll.LoadedKeyAlgorithm(), 1);

  TSecureArray<128> exchange;
  ASSERT_EQ(Dll.GetExchangeKey(keys, exchange.Span()), 0);
  const Bytes file = ReadAll(Folder.Path("self.sec"));
  EXPECT_EQ(0, std::memcmp(exchange.data(), file.data() + 36, 128));

  std::string uid;
  ASSERT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), 0);
  EXPECT_EQ(uid, "User One");

  // A loaded key answers its own UID even when the file changes underneath.
  WriteAll(Folder.Path("self.pub"), test::PublicImage("Other", 1));
  ASSERT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), 0);
  EXPECT_EQ(uid, "User One");
  Dll.ClearKeys();
  EXPECT_FALSE(Dll.HasLoadedKey());
  EXPECT_EQ(Dll.LoadedKeyAlgorithm(), -1);
  ASSERT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), 0);
  EXPECT_EQ(uid, "Other");
}

// One damaged pair of key files and the code loading must answer.
struct TDamage {
  const char* Name;
  void (*Apply)(Bytes& pub, Bytes& sec);
  int32_t Expected;
};

const TDamage kDamages[] = {
    {"secret one byte long", [](Bytes&, Bytes& s) { s.push_back(0); }, R::kSecretKeyBad},
    {"secret one byte short", [](Bytes&, Bytes& s) { s.pop_back(); }, R::kSecretKeyBad},
    {"secret empty", [](Bytes&, Bytes& s) { s.clear(); }, R::kSecretKeyBad},
    {"secret algorithm 2", [](Bytes&, Bytes& s) { s[0] = 2; }, R::kSecretKeyBad},
    {"secret algorithm high byte", [](Bytes&, Bytes& s) { s[3] = 0x80; }, R::kSecretKeyBad},
    {"public algorithm differs", [](Bytes& p, Bytes&) { p[2] = 0; }, R::kKeyAlgorithmMismatch},
    {"public one byte long", [](Bytes& p, Bytes&) { p.push_back(0); }, R::kPublicKeyBad},
    {"public one byte short", [](Bytes& p, Bytes&) { p.pop_back(); }, R::kPublicKeyBad},
    {"public empty", [](Bytes& p, Bytes&) { p.clear(); }, R::kPublicKeyBad},
    {"public starts with zero", [](Bytes& p, Bytes&) { p[0] = 0; }, R::kPublicKeyBad},
    {"public cut inside the UID", [](Bytes& p, Bytes&) { p.resize(1); }, R::kPublicKeyBad},
    {"public cut inside the algorithm word", [](Bytes& p, Bytes&) { p.resize(4); }, R::kPublicKeyBad},
    {"public UID unterminated", [](Bytes& p, Bytes&) { p.assign(300, 'A'); }, R::kPublicKeyBad},
    {"public UID of 255 characters",
     [](Bytes& p, Bytes&) {
       p.erase(p.begin(), p.begin() + 1);
       p.insert(p.begin(), 255, 'A');
     },
     R::kPublicKeyBad},
    {"public longer than 515 bytes", [](Bytes& p, Bytes&) { p.resize(516, 0); }, R::kPublicKeyBad},
};

TEST_F(KeyFiles, DamagedKeyFilesGiveTheirCodesAndLeaveNoKeyLoaded) {
  Generate(1, "U");
  const Bytes goodPub = ReadAll(Folder.Path("self.pub"));
  const Bytes goodSec = ReadAll(Folder.Path("self.sec"));
  const TKeySet keys = Folder.Keys(0, 0);
  for (const TDamage& damage : kDamages) {
    SCOPED_TRACE(damage.Name);
    Bytes pub = goodPub;
    Bytes sec = goodSec;
    damage.Apply(pub, sec);
    WriteAll(Folder.Path("self.pub"), pub);
    WriteAll(Folder.Path("self.sec"), sec);
    Bytes key;
    int32_t algorithm = 7;
    EXPECT_EQ(SigningKey(keys, key, algorithm), damage.Expected);
    TSecureArray<128> exchange;
    EXPECT_EQ(Dll.GetExchangeKey(keys, exchange.Span()), damage.Expected);
    EXPECT_FALSE(Dll.HasLoadedKey());
    EXPECT_EQ(Dll.LoadedKeyAlgorithm(), -1);
  }
  // Missing files.
  std::filesystem::remove(Folder.Path("self.sec"));
  Bytes key;
  int32_t algorithm = 0;
  EXPECT_EQ(SigningKey(keys, key, algorithm), R::kSecretKeyBad);
  WriteAll(Folder.Path("self.sec"), goodSec);
  std::filesystem::remove(Folder.Path("self.pub"));
  EXPECT_EQ(SigningKey(keys, key, algorithm), R::kPublicKeyBad);
  // And the good pair loads again.
  WriteAll(Folder.Path("self.pub"), goodPub);
  EXPECT_EQ(SigningKey(keys, key, algorithm), 0);
}

TEST_F(KeyFiles, UserUIDFromTheFileIsCheckedWithoutLoadingAKey) {
  const TKeySet keys = Folder.Keys();
  std::string uid;
  EXPECT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), R::kPublicKeyBad);  // missing
  WriteAll(Folder.Path("self.pub"), Bytes{0, 'A', 0});
  EXPECT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), R::kPublicKeyBad);
  Bytes large = test::PublicImage("A", 0);
  large.resize(516, 1);
  WriteAll(Folder.Path("self.pub"), large);
  EXPECT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), R::kPublicKeyBad);
  Bytes unterminated(254, 'B');
  WriteAll(Folder.Path("self.pub"), unterminated);
  EXPECT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), R::kPublicKeyBad);
  // Only the head counts here: a file that is too short for any key still names its owner.
  WriteAll(Folder.Path("self.pub"), Bytes{0xC8, 0xE2, 0});
  ASSERT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), 0);
  EXPECT_EQ(uid, "\xC8\xE2");
  EXPECT_FALSE(Dll.HasLoadedKey());
}

TEST_F(KeyFiles, ZeroTimeoutsReadTheKeyFilesForEveryRequest) {
  Generate(1, "U", "a.pub", "a.sec");
  Generate(1, "U", "b.pub", "b.sec");
  std::filesystem::copy_file(Folder.Path("a.pub"), Folder.Path("self.pub"));
  std::filesystem::copy_file(Folder.Path("a.sec"), Folder.Path("self.sec"));
  const TKeySet keys = Folder.Keys(0, 0);
  Bytes key;
  int32_t algorithm = 0;
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("a.sec"));
  // Swap the pair on disk between two requests at the same instant.
  CopyOver(Folder.Path("b.pub"), Folder.Path("self.pub"));
  CopyOver(Folder.Path("b.sec"), Folder.Path("self.sec"));
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("b.sec"));
  // Negative time-outs behave like 0.
  CopyOver(Folder.Path("a.sec"), Folder.Path("self.sec"));
  CopyOver(Folder.Path("a.pub"), Folder.Path("self.pub"));
  ASSERT_EQ(SigningKey(Folder.Keys(-5, -5), key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("a.sec"));
}

TEST_F(KeyFiles, KeyStaysWhileBothTimeoutsAllowAndIsReadAgainAfter) {
  Generate(1, "U", "a.pub", "a.sec");
  Generate(1, "U", "b.pub", "b.sec");
  auto install = [&](const char* pub, const char* sec) {
    CopyOver(Folder.Path(pub), Folder.Path("self.pub"));
    CopyOver(Folder.Path(sec), Folder.Path("self.sec"));
  };
  install("a.pub", "a.sec");
  const TKeySet keys = Folder.Keys(60, 5);
  Bytes key;
  int32_t algorithm = 0;
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  install("b.pub", "b.sec");

  gClock += 3 * kSecond;  // within both time-outs: the loaded key is used
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("a.sec"));
  gClock += 10 * kSecond;  // 10 s after the last use: read again
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("b.sec"));

  // The request time-out counts from the load even when uses keep coming.
  install("a.pub", "a.sec");
  for (int i = 0; i < 14; ++i) {
    gClock += 4 * kSecond;  // 56 s in all
    ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
    EXPECT_EQ(key, SigningKeyOf("b.sec")) << i;
  }
  gClock += 5 * kSecond;  // 61 s after the load
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("a.sec"));

  // The request time-out recorded at the load counts too: a caller with
  // long time-outs does not extend a key loaded under a short one.
  install("b.pub", "b.sec");
  gClock += 3 * kSecond;
  ASSERT_EQ(SigningKey(Folder.Keys(3600, 3600), key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("a.sec"));
  gClock += 58 * kSecond;  // 61 s after the load made with 60
  ASSERT_EQ(SigningKey(Folder.Keys(3600, 3600), key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("b.sec"));
}

TEST_F(KeyFiles, KeyLoadedBeforeMidnightIsReadAgainAfterIt) {
  Generate(0, "U", "a.pub", "a.sec");
  Generate(0, "U", "b.pub", "b.sec");
  std::filesystem::copy_file(Folder.Path("a.pub"), Folder.Path("self.pub"));
  std::filesystem::copy_file(Folder.Path("a.sec"), Folder.Path("self.sec"));
  const TKeySet keys = Folder.Keys(60, 60);
  gClock = 1.0 - 2 * kSecond;
  Bytes key;
  int32_t algorithm = -1;
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(algorithm, 0);
  CopyOver(Folder.Path("b.sec"), Folder.Path("self.sec"));
  gClock = 2 * kSecond;
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("b.sec"));
}

TEST_F(KeyFiles, ReplaceKeepsOldFilesBesideTheSecretKeyAndForgetsTheKey) {
  std::filesystem::create_directories(Folder.Path("pubdir"));
  Generate(1, "Old", "pubdir/self.pub", "self.sec");
  Generate(1, "New", "new.pub", "new.sec");
  TKeySet keys = Folder.Keys();
  keys.PublicKeyPath = Folder.Text("pubdir/self.pub");
  Bytes key;
  int32_t algorithm = 0;
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  const Bytes oldPub = ReadAll(Folder.Path("pubdir/self.pub"));
  const Bytes oldSec = ReadAll(Folder.Path("self.sec"));
  const Bytes newPub = ReadAll(Folder.Path("new.pub"));
  const Bytes newSec = ReadAll(Folder.Path("new.sec"));
  WriteAll(Folder.Path("old.sec"), Bytes{1});  // stale backups are replaced
  WriteAll(Folder.Path("old.pub"), Bytes{2});

  ASSERT_EQ(Dll.ReplaceKeyFiles(keys.PublicKeyPath, keys.SecretKeyPath, newSec, Folder.Text("new.pub")), 0);
  EXPECT_EQ(ReadAll(Folder.Path("old.sec")), oldSec);
  EXPECT_EQ(ReadAll(Folder.Path("old.pub")), oldPub);
  EXPECT_EQ(ReadAll(Folder.Path("self.sec")), newSec);
  EXPECT_EQ(ReadAll(Folder.Path("pubdir/self.pub")), newPub);
  EXPECT_FALSE(std::filesystem::exists(Folder.Path("new.pub")));
  EXPECT_FALSE(Dll.HasLoadedKey());
  std::string uid;
  ASSERT_EQ(Dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid), 0);
  EXPECT_EQ(uid, "New");
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(key, SigningKeyOf("new.sec"));
}

TEST_F(KeyFiles, ReplaceStopsAtTheFirstFailingStep) {
  Generate(1, "Old");
  const TKeySet keys = Folder.Keys();
  const Bytes secret(164, 7);
  EXPECT_EQ(Dll.ReplaceKeyFiles(Folder.Text("none.pub"), keys.SecretKeyPath, secret, Folder.Text("new.pub")),
            R::kPublicKeyBad);
  EXPECT_EQ(Dll.ReplaceKeyFiles(keys.PublicKeyPath, Folder.Text("none.sec"), secret, Folder.Text("new.pub")),
            R::kSecretKeyBad);
  // The new public key file is missing: -31 before anything is moved (a
  // half-swapped pair would match nothing), and the loaded key stays.
  Bytes key;
  int32_t algorithm = 0;
  ASSERT_EQ(SigningKey(keys, key, algorithm), 0);
  EXPECT_EQ(Dll.ReplaceKeyFiles(keys.PublicKeyPath, keys.SecretKeyPath, secret, Folder.Text("new.pub")),
            R::kPublicKeyFileWrite);
  EXPECT_NE(ReadAll(Folder.Path("self.sec")), secret);
  EXPECT_FALSE(std::filesystem::exists(Folder.Path("old.sec")));
  EXPECT_TRUE(Dll.HasLoadedKey());
}

}  // namespace
}  // namespace tzm
