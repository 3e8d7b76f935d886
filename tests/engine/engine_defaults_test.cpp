// Base defaults of the operation table, the key-readiness check and the base
// versions of SaveSignedDataToFile, GetPureSign and GetCryptoErrorString.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/test_engines.h"

namespace tzm::test {
namespace {

TEST(EngineDefaults, UnprovidedOperationsAnswerTheirFixedValues) {
  TBareEngine e;
  char text[16] = "x";
  uint8_t bytes[16] = {};
  int32_t len = 16;
  int32_t state = 0;
  void* arg = &len;

  const int32_t notAvailable[] = {
      e.ReservedOperation(), e.IncludePublicKey("a.pub"), e.UpdateCertificateCash("u"),
      e.RemoveCertificate("u"), e.IncludeCRL(arg), e.GenerateNewSSK(), e.GenerateNewSEK(),
      e.IncludePublicEncodeKey("a.pub"), e.SignFile(arg), e.VerifyFile(arg, arg),
      e.RemoveSignaturesFromFile(arg), e.TransPrivateKeyFromFileToTM(), e.TransSignatureFromFileToTM(),
      e.RemoteGenerateStart(text), e.RemoteGenerateFinish(arg), e.ExcludeSelfPublicKeyTransfer(text),
      e.IncludePublicKeyTransfer("t"), e.GetPublicKeyTransfer("u", text), e.SavePublicKeyFromTransfer("d", "t"),
      e.RemoteGenerateStartEx("u", text, &state), e.RemoteGenerateFinishEx("t", &state),
      e.GetPublicKeyTransferByFile(text, "f"), e.IncludeCACertificateFromTransfer(arg),
      e.AddSign(bytes, &len, arg), e.RemoveSign(bytes, &len, text), e.GetMaxReportSize(), e.GetReport("u", text),
      e.GetUIDByPublicKeyTransfer("t", text), e.GetPublicKeyPropertiesByTransfer("t", text),
      e.GetPublicKeyPropertiesByFile("f", text), e.CreateDirStructure("f", arg),
      e.ConvertTransferToSignedRequest(arg), e.HashData(bytes, 1, 0, bytes, &len), e.ShowCertificate(arg),
      e.GetUIDByCertIdent(arg, arg), e.InstallCertsInMyStore(arg), e.RegisterOIDInfo("1.2", u"info"),
      e.GetParamInfo(1, &state, text, &len)};
  for (size_t i = 0; i < std::size(notAvailable); ++i) EXPECT_EQ(notAvailable[i], -1) << "operation #" << i;

  // None of them touched the caller's buffers.
  EXPECT_STREQ(text, "x");
  EXPECT_EQ(len, 16);
  EXPECT_EQ(state, 0);

  EXPECT_EQ(e.GetMaxEncodeAddition(), 255);
  EXPECT_EQ(e.GetMaxSignatureLength(), 255);
  EXPECT_EQ(e.GetMaxUIDLength(), 255);
  EXPECT_EQ(e.GetMaxCryptoParamNameLength(), 255);
  EXPECT_EQ(e.GetMaxCryptoParamValueLength(), 1024);
  EXPECT_EQ(e.GetMaxErrorStringLength(), 255);
  EXPECT_EQ(e.GetMaxPasswordLength(), 255);
  EXPECT_EQ(e.GetMaxPublicKeyTransferSize(), 4096);
  EXPECT_EQ(e.GetRemoteGenType(), 1);
  EXPECT_EQ(e.GetMaxSignAddition(), 255 + 255);
  EXPECT_EQ(e.GetMaxEncodeAdditionFor(3), 765);
  EXPECT_FALSE(e.IsDifferentKeys());
  e.ClearCash();

  int32_t match = 5;
  EXPECT_EQ(e.CertAndRequestTransferMatch(arg, nullptr, &match), 0);
  EXPECT_EQ(match, -1);
  EXPECT_THROW(e.CertAndRequestTransferMatch(arg, arg, nullptr), ENilPointer);
}

TEST(EngineDefaults, CallbacksAreStored) {
  TBareEngine e;
  int a = 0, b = 0;
  EXPECT_EQ(e.PasswordRequestFunc, nullptr);
  EXPECT_EQ(e.ReservedFunc, nullptr);
  e.SetPasswordRequestFunc(&a);
  e.SetReservedFunc(&b);
  EXPECT_EQ(e.PasswordRequestFunc, &a);
  EXPECT_EQ(e.ReservedFunc, &b);
  EXPECT_TRUE(e.ParamsChanged);
  EXPECT_TRUE(e.RootPath.empty());
  EXPECT_TRUE(e.RemoteGeneratePath.empty());
}

TEST(EngineDefaults, AbstractOperationsRaiseAbstractError) {
  TBareEngine e;
  for (int which = 0; which < 7; ++which) {
    EXPECT_THROW(e.CallBaseAbstract(which), EAbstractError) << which;
  }
}

TEST(EngineDefaults, DerivedSizesFollowTheVirtualQueries) {
  struct TWide : TBareEngine {
    int32_t GetMaxEncodeAddition() override { return 1000; }
    int32_t GetMaxSignatureLength() override { return 319; }
  } e;
  EXPECT_EQ(e.GetMaxSignAddition(), 574);
  EXPECT_EQ(e.GetMaxAdditionEx(nullptr), 1000);
  EXPECT_EQ(e.GetMaxAdditionEx(""), 1000);
  EXPECT_EQ(e.GetMaxAdditionEx("A"), 1000);
  EXPECT_EQ(e.GetMaxAdditionEx("A;B;"), 3000);  // the empty last item counts
  EXPECT_EQ(e.GetMaxAdditionEx(";;;"), 4000);
  // A 32-bit product wraps instead of overflowing undefinedly.
  EXPECT_EQ(e.GetMaxEncodeAdditionFor(4294968), static_cast<int32_t>(4294968000u));
}

TEST(EngineDefaults, VerifySignWOCheckValidityIsVerifyData) {
  TBareEngine e;
  const uint8_t data[3] = {1, 2, 3};
  const uint8_t sig[2] = {9, 8};
  char uid[8];
  e.OnVerifyData = [&](const uint8_t* d, int32_t dl, const uint8_t* s, int32_t sl, char* u) {
    EXPECT_EQ(d, data);
    EXPECT_EQ(dl, 3);
    EXPECT_EQ(s, sig);
    EXPECT_EQ(sl, 2);
    EXPECT_EQ(u, uid);
    return 7;
  };
  EXPECT_EQ(e.VerifySignWOCheckValidity(data, 3, sig, 2, uid), 7);
}

TEST(CheckSecretKeyReady, NilBufferAsksForAUidBufferWithoutSigning) {
  TBareEngine e;
  int32_t len = 0;
  EXPECT_EQ(e.CheckSecretKeyReady(nullptr, nullptr, &len), 0);
  // Room for the longest UID and its terminator.
  EXPECT_EQ(len, e.GetMaxUIDLength() + 1);
  EXPECT_EQ(e.NumSignCalls, 0);
  EXPECT_THROW(e.CheckSecretKeyReady(nullptr, nullptr, nullptr), ENilPointer);
}

TEST(CheckSecretKeyReady, SignsTheSampleAndReportsTheVerifiedSigner) {
  TBareEngine e;
  std::string signedText;
  e.OnSignData = [&](const uint8_t* d, int32_t dl, uint8_t* s, int32_t* sl, const char*) {
    signedText.assign(reinterpret_cast<const char*>(d), static_cast<size_t>(dl));
    EXPECT_EQ(*sl, e.GetMaxSignatureLength());
    s[0] = 0xAB;
    *sl = 1;
    return 0;
  };
  e.OnVerifyData = [&](const uint8_t* d, int32_t dl, const uint8_t* s, int32_t sl, char* u) {
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(d), static_cast<size_t>(dl)), signedText);
    EXPECT_EQ(sl, 1);
    EXPECT_EQ(s[0], 0xAB);
    EXPECT_EQ(u[0], '\0');  // cleared before verification
    std::strcpy(u, "Signer");
    return 0;
  };
  uint8_t buffer[255];
  std::memset(buffer, 'z', sizeof buffer);
  int32_t len = 0;
  EXPECT_EQ(e.CheckSecretKeyReady(nullptr, buffer, &len), 0);
  EXPECT_EQ(signedText, "Data for sign to check secret key ready");
  EXPECT_EQ(signedText.size(), 39u);
  EXPECT_STREQ(reinterpret_cast<char*>(buffer), "Signer");
  EXPECT_EQ(len, 6);
}

TEST(CheckSecretKeyReady, FailuresPassThroughAndLeaveTheLength) {
  TBareEngine e;
  uint8_t buffer[255] = {};
  int32_t len = 77;
  e.OnSignData = [](const uint8_t*, int32_t, uint8_t*, int32_t*, const char*) { return -10; };
  EXPECT_EQ(e.CheckSecretKeyReady(nullptr, buffer, &len), -10);
  EXPECT_EQ(e.NumVerifyCalls, 0);
  e.OnSignData = [](const uint8_t*, int32_t, uint8_t*, int32_t*, const char*) { return 0; };
  e.OnVerifyData = [](const uint8_t*, int32_t, const uint8_t*, int32_t, char*) { return 5; };
  EXPECT_EQ(e.CheckSecretKeyReady(nullptr, buffer, &len), 5);
  EXPECT_EQ(len, 77);
}

TEST(BaseErrorString, GenericTextZeroFilledToTheLimit) {
  TBareEngine e;
  char buffer[300];
  std::memset(buffer, 'q', sizeof buffer);
  e.GetCryptoErrorString(-3, buffer);
  EXPECT_STREQ(buffer, "CRYPTO ENGINE ERROR : -3");
  for (size_t i = std::strlen(buffer); i < 255; ++i) ASSERT_EQ(buffer[i], '\0') << i;
  EXPECT_EQ(buffer[255], 'q');  // nothing beyond the limit
  e.GetCryptoErrorString(0, buffer);
  EXPECT_STREQ(buffer, "CRYPTO ENGINE ERROR : 0");
  e.GetCryptoErrorString(-2147483647 - 1, buffer);
  EXPECT_STREQ(buffer, "CRYPTO ENGINE ERROR : -2147483648");
  e.GetCryptoErrorString(1, nullptr);  // no crash
}

TEST(BaseErrorString, LastErrorMessageIsAlwaysEmpty) {
  TBareEngine e;
  e.LastErrorText->WriteText("something failed");
  char buffer[16] = "stale";
  e.GetLastErrorMessage(buffer);
  EXPECT_STREQ(buffer, "");
  e.GetLastErrorMessage(nullptr);  // no crash, nothing written
}

class TempDir {
 public:
  TempDir() {
    Path = std::filesystem::temp_directory_path() /
           ("tzm_engine_" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  ~TempDir() { std::filesystem::remove_all(Path); }
  std::string Str() const { return Path.string(); }
  std::filesystem::path Path;
};

std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(BaseSaveSignedDataToFile, WritesDataThenSignature) {
  TempDir dir;
  TBareEngine e;
  const uint8_t data[3] = {1, 2, 3};
  const uint8_t sig[2] = {8, 9};
  const std::string file = dir.Str() + "/out.bin";
  EXPECT_EQ(e.SaveSignedDataToFile(data, 3, sig, 2, file.c_str()), 0);
  EXPECT_EQ(ReadAll(file), (std::vector<uint8_t>{1, 2, 3, 8, 9}));

  // A nil signature with a length leaves zero bytes, never stray memory.
  EXPECT_EQ(e.SaveSignedDataToFile(data, 3, nullptr, 2, file.c_str()), 0);
  EXPECT_EQ(ReadAll(file), (std::vector<uint8_t>{1, 2, 3, 0, 0}));
}

TEST(BaseSaveSignedDataToFile, BadArgumentsDoNothingAndWriteFailuresAreReported) {
  TempDir dir;
  TBareEngine e;
  const uint8_t data[3] = {1, 2, 3};
  const std::string file = dir.Str() + "/none.bin";
  EXPECT_EQ(e.SaveSignedDataToFile(nullptr, 3, data, 3, file.c_str()), 0);
  EXPECT_EQ(e.SaveSignedDataToFile(data, 0, data, 3, file.c_str()), 0);
  EXPECT_EQ(e.SaveSignedDataToFile(data, 3, data, -1, file.c_str()), 0);
  EXPECT_EQ(e.SaveSignedDataToFile(data, 3, data, 3, nullptr), 0);
  EXPECT_FALSE(std::filesystem::exists(file));
  const std::string unwritable = dir.Str() + "/missing/folder/x.bin";
  EXPECT_EQ(e.SaveSignedDataToFile(data, 3, data, 3, unwritable.c_str()), -106);
}

TEST(BaseGetPureSign, HexTextWithTheSizeQuery) {
  TBareEngine e;
  const uint8_t block[3] = {0x0A, 0xBC, 0xFF};
  int32_t len = 0;
  EXPECT_EQ(e.GetPureSign(nullptr, 3, nullptr, nullptr, &len), -1);
  EXPECT_EQ(e.GetPureSign(block, 0, nullptr, nullptr, &len), -1);
  EXPECT_EQ(e.GetPureSign(block, 3, nullptr, nullptr, &len), 0);
  EXPECT_EQ(len, 7);
  char small[4] = "abc";
  len = 4;
  EXPECT_EQ(e.GetPureSign(block, 3, nullptr, small, &len), -1);
  EXPECT_EQ(len, 7);
  EXPECT_STREQ(small, "abc");
  char text[16];
  len = 16;
  EXPECT_EQ(e.GetPureSign(block, 3, nullptr, text, &len), 0);
  EXPECT_STREQ(text, "0ABCFF");
  EXPECT_EQ(len, 7);
}

}  // namespace
}  // namespace tzm::test
