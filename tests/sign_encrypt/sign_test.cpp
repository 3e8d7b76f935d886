// SignData and VerifyData through the exports, between two users A and B with
// keys of either algorithm.
#include <cstring>
#include <string>
#include <vector>

#include "test_users.h"

namespace tzm::test {
namespace {

std::vector<uint8_t> Pattern(size_t len) {
  std::vector<uint8_t> data(len);
  for (size_t i = 0; i < len; ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
  return data;
}

// SignTest runs each case with A's key of one algorithm and B's of the other.
class SignTest : public TTestUsersFixture {
 protected:
  explicit SignTest(int32_t algorithm) : Algorithm(algorithm) {}

  void SetUp() override {
    TTestUsersFixture::SetUp();
    if (HasFatalFailure()) return;
    A = &AddUser("SignerA", Algorithm);
    B = &AddUser("CheckerB", Algorithm == kAlgorithm94 ? kAlgorithm2001 : kAlgorithm94);
    Introduce(*A, *B);
  }

  void SignatureNamesSignerAndVerifiesForBothSides();
  void LargeBuffersUnderBothHashMethods();
  void MalformedSignatureBlocksAreRefused();
  void UnknownSignersAndMissingKeys();

  // Sign signs |data| on |user|'s engine; the block is returned.
  std::vector<uint8_t> Sign(const TTestUser& user, const std::vector<uint8_t>& data, int32_t* result = nullptr) {
    std::vector<uint8_t> signature(static_cast<size_t>(Host().GetMaxSignatureLength(user.Engine)), 0xEE);
    int32_t len = -1;
    const int32_t code =
        Host().SignData(user.Engine, data.data(), static_cast<int32_t>(data.size()), signature.data(), &len, nullptr);
    if (result != nullptr) {
      *result = code;
    } else {
      EXPECT_EQ(code, 0) << ErrorText(user, code);
    }
    signature.resize(code == 0 ? static_cast<size_t>(len) : 0);
    return signature;
  }

  // Verify checks |signature| over |data| on |user|'s engine and stores the
  // reported signer in Signer.
  int32_t Verify(const TTestUser& user, const std::vector<uint8_t>& data, const std::vector<uint8_t>& signature) {
    std::vector<char> signer(256, 'X');  // a stale 255-byte buffer, terminated for reading it back
    signer.back() = '\0';
    const int32_t code = Host().VerifyData(user.Engine, data.data(), static_cast<int32_t>(data.size()),
                                           signature.data(), static_cast<int32_t>(signature.size()), signer.data());
    Signer = signer.data();
    return code;
  }

  const int32_t Algorithm;
  TTestUser* A = nullptr;
  TTestUser* B = nullptr;
  std::string Signer;
};

void SignTest::SignatureNamesSignerAndVerifiesForBothSides() {
  const std::vector<uint8_t> data = Pattern(100);
  const std::vector<uint8_t> signature = Sign(*A, data);
  ASSERT_EQ(signature.size(), A->UID.size() + 65);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(signature.data())), A->UID);

  EXPECT_EQ(Verify(*B, data, signature), 0);
  EXPECT_EQ(Signer, A->UID);
  EXPECT_EQ(Verify(*A, data, signature), 0);  // the own key is in the own cache

  std::vector<uint8_t> altered = data;
  altered[50] ^= 1;
  EXPECT_EQ(Verify(*B, altered, signature), 5);
  EXPECT_EQ(Signer, A->UID);

  // The signer argument is ignored: a block always names the key's owner.
  std::vector<uint8_t> other(319);
  int32_t len = 0;
  ASSERT_EQ(Host().SignData(A->Engine, data.data(), 100, other.data(), &len, "Somebody"), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(other.data())), A->UID);

  // Signer UIDs are looked up without regard to letter case.
  std::vector<uint8_t> lower = signature;
  for (size_t i = 0; i < A->UID.size(); ++i) lower[i] = static_cast<uint8_t>(std::tolower(lower[i]));
  EXPECT_EQ(Verify(*B, data, lower), 0);
  EXPECT_EQ(Signer, "signera");
}

void SignTest::LargeBuffersUnderBothHashMethods() {
  const std::vector<uint8_t> data = Pattern(70000);

  // OLD_FORMAT (the default): verified through the fallback digest, which
  // does not cover the bytes after the first 65535 of the buffer.
  const std::vector<uint8_t> oldFormat = Sign(*A, data);
  EXPECT_EQ(Verify(*B, data, oldFormat), 0);
  std::vector<uint8_t> tailChanged = data;
  tailChanged.back() ^= 0x80;
  EXPECT_EQ(Verify(*B, tailChanged, oldFormat), 0);
  std::vector<uint8_t> headChanged = data;
  headChanged[0] ^= 0x80;
  EXPECT_EQ(Verify(*B, headChanged, oldFormat), 5);

  // "gost" in any letter case covers the whole buffer.
  SetParam(*A, 13, "gost");
  const std::vector<uint8_t> gost = Sign(*A, data);
  EXPECT_EQ(Verify(*B, data, gost), 0);
  EXPECT_EQ(Verify(*B, tailChanged, gost), 5);
  EXPECT_EQ(Signer, A->UID);

  // Up to 65535 bytes the two methods give the same digest.
  const std::vector<uint8_t> small = Pattern(65535);
  EXPECT_EQ(Verify(*B, small, Sign(*A, small)), 0);
  SetParam(*A, 13, "");
  EXPECT_EQ(Verify(*B, small, Sign(*A, small)), 0);
}

void SignTest::MalformedSignatureBlocksAreRefused() {
  const std::vector<uint8_t> data = Pattern(100);
  const std::vector<uint8_t> good = Sign(*A, data);
  const size_t n = A->UID.size();

  auto expectRefused = [&](const std::vector<uint8_t>& block, const char* what) {
    EXPECT_EQ(Verify(*B, data, block), -14) << what;
    EXPECT_EQ(Signer, "") << what;
  };
  std::vector<uint8_t> emptyUID(good.begin() + static_cast<long>(n), good.end());
  expectRefused(emptyUID, "empty UID");
  std::vector<uint8_t> longValue = good;
  longValue.push_back(0);
  expectRefused(longValue, "65 value bytes");
  expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(n + 1)), "no value");
  // The library always reads 64 value bytes; a shorter value would make it
  // read past the caller's block.
  expectRefused(std::vector<uint8_t>(good.begin(), good.end() - 1), "63 value bytes");
  expectRefused(std::vector<uint8_t>(300, 'U'), "UID without its zero");
  std::vector<uint8_t> longUID(255, 'U');
  longUID.push_back(0);
  longUID.resize(longUID.size() + 64);
  expectRefused(longUID, "255-character UID");

  std::vector<char> signer(255, 'X');
  EXPECT_EQ(Host().VerifyData(B->Engine, data.data(), 100, nullptr, 80, signer.data()), -14);
  EXPECT_EQ(Host().VerifyData(B->Engine, data.data(), 100, good.data(), -5, signer.data()), -14);
  // A nil signer buffer is refused before anything else is read.
  SetParam(*B, 7, "sixty");
  EXPECT_EQ(Host().VerifyData(B->Engine, data.data(), 100, good.data(), 80, nullptr), -4);
  EXPECT_EQ(Verify(*B, data, good), -13);
  SetParam(*B, 7, "60");

  // Data problems are found after the signer's UID was read.
  signer.assign(255, 'X');
  EXPECT_EQ(Host().VerifyData(B->Engine, data.data(), 0, good.data(), static_cast<int32_t>(good.size()),
                              signer.data()),
            -4);
  EXPECT_EQ(std::string(signer.data()), A->UID);
  EXPECT_EQ(Host().VerifyData(B->Engine, nullptr, 100, good.data(), static_cast<int32_t>(good.size()),
                              signer.data()),
            -4);
}

void SignTest::UnknownSignersAndMissingKeys() {
  const std::vector<uint8_t> data = Pattern(100);
  std::vector<uint8_t> stranger = Sign(*A, data);
  stranger[0] = 'Z';  // a UID nobody has a key for
  EXPECT_EQ(Verify(*B, data, stranger), -11);
  EXPECT_EQ(Signer, "Z" + A->UID.substr(1));

  // A cached record with an algorithm word other than 0 and 1 has no signing
  // key to check with.
  std::vector<uint8_t> odd(std::begin("Odd"), std::end("Odd"));
  odd.insert(odd.end(), {2, 0, 0, 0});
  odd.resize(odd.size() + 128, 0x11);
  WriteFileBytes(std::filesystem::path(B->AbonentsDir) / "Odd.pub", odd);
  Host().ClearCash(B->Engine);
  std::vector<uint8_t> fromOdd = Sign(*A, data);
  fromOdd.erase(fromOdd.begin(), fromOdd.begin() + static_cast<long>(A->UID.size()));
  fromOdd.insert(fromOdd.begin(), {'O', 'd', 'd'});
  EXPECT_EQ(Verify(*B, data, fromOdd), -5);

  // Signing needs the own public key file first, then a usable secret key.
  int32_t result = 0;
  std::vector<uint8_t> signature(319);
  int32_t len = 0;
  EXPECT_EQ(Host().SignData(A->Engine, data.data(), 100, signature.data(), nullptr, nullptr), -4);
  EXPECT_EQ(Host().SignData(A->Engine, nullptr, 100, signature.data(), &len, nullptr), -4);
  EXPECT_EQ(Host().SignData(A->Engine, data.data(), 0, signature.data(), &len, nullptr), -4);
  EXPECT_EQ(Host().SignData(A->Engine, data.data(), 100, nullptr, &len, nullptr), -4);
  Host().ClearCash(A->Engine);
  std::filesystem::remove(A->SecretKeyPath);
  Sign(*A, data, &result);
  EXPECT_EQ(result, -10);
  std::filesystem::remove(A->PublicKeyPath);
  Sign(*A, data, &result);
  EXPECT_EQ(result, -11);
}

class Sign94Test : public SignTest {
 protected:
  Sign94Test() : SignTest(kAlgorithm94) {}
};

class Sign2001Test : public SignTest {
 protected:
  Sign2001Test() : SignTest(kAlgorithm2001) {}
};

#define TZM_BOTH_ALGORITHMS(name)      \
  TEST_F(Sign94Test, name) { name(); } \
  TEST_F(Sign2001Test, name) { name(); }

TZM_BOTH_ALGORITHMS(SignatureNamesSignerAndVerifiesForBothSides)
TZM_BOTH_ALGORITHMS(LargeBuffersUnderBothHashMethods)
TZM_BOTH_ALGORITHMS(MalformedSignatureBlocksAreRefused)
TZM_BOTH_ALGORITHMS(UnknownSignersAndMissingKeys)

}  // namespace
}  // namespace tzm::test
