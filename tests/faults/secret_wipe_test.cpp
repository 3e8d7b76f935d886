// Secret key material is wiped: after each signing (the plain signing key
// copy), after each decryption (the exchange key copy and the pairwise key),
// after ClearCash and after a time-out (the loaded key buffer, its mask and
// the cached pairwise keys). Observed through the one wipe helper, which
// shows this test every region just before clearing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cryptlib.h"
#include "test_users.h"

namespace tzm::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// TWipeLog remembers, for each secret the test looks for, the sizes of the
// wiped regions that held it.
struct TWipeLog {
  struct TNeedle {
    Bytes Secret;
    std::vector<size_t> WipedIn;
  };
  std::vector<TNeedle> Needles;

  static TWipeLog& Get() {
    static TWipeLog log;
    return log;
  }
  static void Observe(const void* ptr, size_t len) {
    const auto* bytes = static_cast<const uint8_t*>(ptr);
    for (TNeedle& needle : Get().Needles) {
      if (std::search(bytes, bytes + len, needle.Secret.begin(), needle.Secret.end()) != bytes + len) {
        needle.WipedIn.push_back(len);
      }
    }
  }
  size_t Watch(Bytes secret) {
    Needles.push_back({std::move(secret), {}});
    return Needles.size() - 1;
  }
  void Reset() {
    for (TNeedle& needle : Needles) needle.WipedIn.clear();
  }
  bool Wiped(size_t needle) const { return !Needles[needle].WipedIn.empty(); }
  bool WipedIn(size_t needle, size_t regionLen) const {
    const auto& sizes = Needles[needle].WipedIn;
    return std::find(sizes.begin(), sizes.end(), regionLen) != sizes.end();
  }
  bool WipedOutside(size_t needle, size_t regionLen) const {
    const auto& sizes = Needles[needle].WipedIn;
    return std::any_of(sizes.begin(), sizes.end(), [&](size_t s) { return s != regionLen; });
  }
};

double gNow = 0.5;
double TestClock() { return gNow; }

class SecretWipe : public ::testing::TestWithParam<int32_t> {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("tzm_wipe_") + info->name() + "_" + std::to_string(::getpid());
    std::replace(name.begin(), name.end(), '/', '_');
    Root = fs::temp_directory_path() / name;
    fs::remove_all(Root);
    fs::create_directories(Root / "abonents");
    const std::string uid = GetParam() == kAlgorithm94 ? "WIPE-94" : "WIPE-2001";
    Pair = GeneratedKeyPair(uid, GetParam());
    ASSERT_EQ(Pair.SecretKey.size(), 164u);
    WriteFileBytes(Root / "self.pub", Pair.PublicKey);
    WriteFileBytes(Root / "self.sec", Pair.SecretKey);
    Keys.PublicKeyPath = (Root / "self.pub").string();
    Keys.SecretKeyPath = (Root / "self.sec").string();
    Keys.AbonentsDir = (Root / "abonents").string() + "/";
    Keys.CADir = (Root / "ca").string() + "/";
    Keys.KeyRequestTimeout = 60;
    Keys.LastOperationTimeout = 60;
    UID = uid;

    TWipeLog& log = TWipeLog::Get();
    log.Needles.clear();
    SigningKey = log.Watch(Bytes(Pair.SecretKey.begin() + 4, Pair.SecretKey.begin() + 36));
    ExchangeKey = log.Watch(Bytes(Pair.SecretKey.begin() + 36, Pair.SecretKey.end()));
    SetWipeObserver(&TWipeLog::Observe);
    gNow = 0.5;
    Binding.TimeOfDay = &TestClock;
  }
  void TearDown() override {
    SetWipeObserver(nullptr);
    std::error_code ignored;
    fs::remove_all(Root, ignored);
  }

  int32_t Sign() {
    const Bytes data(300, 0x31);
    Bytes signature(319);
    int32_t signatureLen = 0;
    return Binding.SignBuffer(data, signature, signatureLen, Keys, true);
  }

  fs::path Root;
  TKeyPairFiles Pair;
  TKeySet Keys;
  std::string UID;
  TCryptoC_DLL Binding;
  size_t SigningKey = 0;
  size_t ExchangeKey = 0;
};

TEST_P(SecretWipe, EachSigningWipesThePlainKeyCopy) {
  TWipeLog& log = TWipeLog::Get();
  for (int round = 0; round < 3; ++round) {
    log.Reset();
    ASSERT_EQ(Sign(), 0);
    EXPECT_TRUE(log.Wiped(SigningKey)) << "round " << round;
    EXPECT_TRUE(Binding.HasLoadedKey());
  }
}

TEST_P(SecretWipe, EachDecryptionWipesTheExchangeKeyCopyAndThePairwiseKey) {
  TWipeLog& log = TWipeLog::Get();
  const Bytes plain(200, 0x5C);
  for (int round = 0; round < 2; ++round) {
    Binding.ClearKeys();  // the pairwise key is derived again, from the exchange key
    Bytes block(plain);
    block.resize(plain.size() + kMaxEncodeAddition);
    int32_t len = static_cast<int32_t>(plain.size());
    ASSERT_EQ(Binding.EncryptBuffer(block, len, Keys, UID, round), 0);
    std::array<uint8_t, kPairKeyLen> pairKey{};
    ASSERT_TRUE(Binding.FindCachedPairKey(UID, pairKey));
    const size_t pairNeedle = log.Watch(Bytes(pairKey.begin(), pairKey.end()));

    Binding.ClearKeys();
    log.Reset();
    ASSERT_EQ(Binding.DecryptBuffer(block, len, Keys), 0);
    ASSERT_EQ(len, static_cast<int32_t>(plain.size()));
    // The copy handed out for the derivation, not the loaded key buffer.
    EXPECT_TRUE(log.WipedOutside(ExchangeKey, kSecretKeyBufferLen)) << "round " << round;
    EXPECT_TRUE(log.Wiped(pairNeedle)) << "round " << round;
  }
}

TEST_P(SecretWipe, ClearCashWipesTheLoadedKeyAndThePairwiseKeys) {
  TWipeLog& log = TWipeLog::Get();
  Bytes block(Bytes(50, 0x11));
  block.resize(50 + kMaxEncodeAddition);
  int32_t len = 50;
  ASSERT_EQ(Binding.EncryptBuffer(block, len, Keys, UID, 0), 0);
  std::array<uint8_t, kPairKeyLen> pairKey{};
  ASSERT_TRUE(Binding.FindCachedPairKey(UID, pairKey));
  const size_t pairNeedle = log.Watch(Bytes(pairKey.begin(), pairKey.end()));
  ASSERT_TRUE(Binding.HasLoadedKey());

  log.Reset();
  Binding.ClearKeys();
  EXPECT_FALSE(Binding.HasLoadedKey());
  EXPECT_TRUE(log.WipedIn(ExchangeKey, kSecretKeyBufferLen)) << "the loaded key buffer";
  EXPECT_TRUE(log.Wiped(pairNeedle)) << "the cached pairwise key";
}

TEST_P(SecretWipe, TimeOutWipesTheLoadedKeyBeforeReading) {
  TWipeLog& log = TWipeLog::Get();
  Keys.KeyRequestTimeout = 60;
  Keys.LastOperationTimeout = 5;
  ASSERT_EQ(Sign(), 0);
  gNow += 3 * kSecondAsDayFraction;
  log.Reset();
  ASSERT_EQ(Sign(), 0);
  EXPECT_FALSE(log.WipedIn(ExchangeKey, kSecretKeyBufferLen)) << "still within both time-outs";

  gNow += 10 * kSecondAsDayFraction;
  log.Reset();
  ASSERT_EQ(Sign(), 0);
  EXPECT_TRUE(log.WipedIn(ExchangeKey, kSecretKeyBufferLen)) << "the expired key buffer";
  EXPECT_TRUE(log.Wiped(SigningKey));
}

INSTANTIATE_TEST_SUITE_P(Algorithms, SecretWipe, ::testing::Values(kAlgorithm94, kAlgorithm2001),
                         [](const auto& info) { return info.param == kAlgorithm94 ? "GOST94" : "GOST2001"; });

}  // namespace
}  // namespace tzm::test
