// ABI tests: the built libtz_morka.so is loaded by path and driven through
// pointers resolved by name, as a host does.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "api/export_names.h"
#include "gost/cp1251_iconv.h"
#include "gost/result_messages_utf8.h"
#include "tz_morka.h"

namespace tzm::test {
namespace {

class TLoadedLibrary {
 public:
  TLoadedLibrary() {
    Handle = dlopen(TZM_BIN_DIR "/libtz_morka.so", RTLD_NOW | RTLD_LOCAL);
    if (Handle == nullptr) ADD_FAILURE() << dlerror();
  }
  ~TLoadedLibrary() {
    if (Handle != nullptr) dlclose(Handle);
  }
  void* Symbol(const char* name) const { return Handle != nullptr ? dlsym(Handle, name) : nullptr; }
  void* Handle = nullptr;
};

TLoadedLibrary& Library() {
  static TLoadedLibrary library;
  return library;
}

// FN(Name) resolves the export Name with the type the header declares.
template <class TFunction>
TFunction* Resolve(const char* name) {
  void* p = Library().Symbol(name);
  if (p == nullptr) throw std::runtime_error(std::string("missing export ") + name);
  return reinterpret_cast<TFunction*>(p);
}
#define FN(name) Resolve<decltype(::name)>(#name)

TEST(Abi, EveryExportResolvesByName) {
  ASSERT_NE(Library().Handle, nullptr);
  for (const TExportName& e : kExportNames) EXPECT_NE(Library().Symbol(e.Name), nullptr) << e.Name;
}

// Calls every export on handle (nil or released) and expects the failure
// values; buffers passed to procedures must stay untouched.
void WalkEveryExportWithADeadHandle(TZMEngine h) {
  unsigned char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  int32_t len = 8;
  int32_t state = 3;
  char text[16] = "untouched";
  void* p = &len;

  EXPECT_EQ(FN(GetMaxEncodeAddition)(h), -1);
  EXPECT_EQ(FN(GetMaxSignatureLength)(h), -1);
  EXPECT_EQ(FN(GetMaxUIDLength)(h), -1);
  EXPECT_EQ(FN(GetMaxCryptoParamNameLength)(h), -1);
  EXPECT_EQ(FN(GetMaxCryptoParamValueLength)(h), -1);
  EXPECT_EQ(FN(GetMaxErrorStringLength)(h), -1);
  EXPECT_EQ(FN(GetCryptoParamNumber)(h), -1);
  FN(GetCryptoParamName)(h, 1, text);
  FN(GetCryptoParamValue)(h, 1, text);
  EXPECT_EQ(FN(SetCryptoParamValue)(h, 1, "x"), -3);
  EXPECT_EQ(FN(GetEncodeUIDBySignUID)(h, "u", text), -3);
  FN(GetCryptoErrorString)(h, 0, text);
  EXPECT_EQ(FN(EncodeData)(h, bytes, &len, "u"), -3);
  EXPECT_EQ(FN(DecodeData)(h, bytes, &len, nullptr), -3);
  EXPECT_EQ(FN(SignData)(h, bytes, 8, bytes, &len, nullptr), -3);
  EXPECT_EQ(FN(VerifyData)(h, bytes, 8, bytes, 8, text), -3);
  EXPECT_EQ(FN(GetCurrentUserUID)(h, text), -3);
  EXPECT_EQ(FN(GenerateNewSSK)(h), -3);
  EXPECT_EQ(FN(GenerateNewSEK)(h), -3);
  EXPECT_EQ(FN(IsDifferentKeys)(h), -1);
  FN(SetPasswordRequestFunc)(h, p);
  EXPECT_EQ(FN(GetMaxPasswordLength)(h), -1);
  EXPECT_EQ(FN(IncludePublicKey)(h, "a.pub"), -3);
  EXPECT_EQ(FN(IncludePublicEncodeKey)(h, "a.pub"), -3);
  EXPECT_EQ(FN(SignFile)(h, p), -3);
  EXPECT_EQ(FN(VerifyFile)(h, p, p), -3);
  EXPECT_EQ(FN(RemoveSignaturesFromFile)(h, p), -3);
  FN(GetLastErrorMessage)(h, text);
  FN(SetRootPath)(h, "/nonexistent/tzm_root_never_set");
  EXPECT_EQ(FN(TransSignatureFromFileToTM)(h), -3);
  EXPECT_EQ(FN(TransPrivateKeyFromFileToTM)(h), -3);
  FN(SetTMRequestFunc)(h, p);
  FN(ClearCash)(h);
  EXPECT_EQ(FN(RemoteGenerateStart)(h, text), -3);
  FN(SetRemoteGeneratePath)(h, "C:\\rg");
  EXPECT_EQ(FN(AddSign)(h, bytes, &len, nullptr), -3);
  EXPECT_EQ(FN(RemoveSign)(h, bytes, &len, text), -3);
  EXPECT_EQ(FN(GetMaxSignAddition)(h), -1);
  EXPECT_EQ(FN(GetPublicKeyTransfer)(h, "u", text), -3);
  EXPECT_EQ(FN(RemoteGenerateFinish)(h, nullptr), -3);
  EXPECT_EQ(FN(SavePublicKeyFromTransfer)(h, "d", "t"), -3);
  EXPECT_EQ(FN(GetMaxPublicKeyTransferSize)(h), -1);
  EXPECT_EQ(FN(IncludePublicKeyTransfer)(h, "t"), -3);
  EXPECT_EQ(FN(ExcludeSelfPublicKeyTransfer)(h, text), -3);
  EXPECT_EQ(FN(GetMaxFilePathLength)(h), 255);
  EXPECT_EQ(FN(GetRemoteGenType)(h), -1);
  EXPECT_EQ(FN(SaveSignedDataToFile)(h, bytes, 8, bytes, 8, "f"), -3);
  EXPECT_EQ(FN(GetPublicKeyTransferByFile)(h, text, "f"), -3);
  EXPECT_EQ(FN(GetMaxReportSize)(h), -1);
  EXPECT_EQ(FN(GetReport)(h, "u", text), -3);
  EXPECT_EQ(FN(GetMaxAdditionEx)(h, "a;b"), -1);
  EXPECT_EQ(FN(GetUIDByPublicKeyTransfer)(h, "t", text), -3);
  EXPECT_EQ(FN(UpdateCertificateCash)(h, "u"), -3);
  EXPECT_EQ(FN(GetMaxPublicKeyPropertiesLength)(h), -1);
  EXPECT_EQ(FN(GetPublicKeyProperties)(h, "u", text), -3);
  EXPECT_EQ(FN(RemoteGenerateStartEx)(h, "u", text, &state), -3);
  EXPECT_EQ(FN(RemoteGenerateFinishEx)(h, "t", &state), -3);
  EXPECT_EQ(FN(GetPublicKeyPropertiesByTransfer)(h, "t", text), -3);
  EXPECT_EQ(FN(GetPublicKeyPropertiesByFile)(h, "f", text), -3);
  EXPECT_EQ(FN(IncludeCACertificateFromTransfer)(h, p), -3);
  EXPECT_EQ(FN(CreateDirStructure)(h, "f", p), -3);
  EXPECT_EQ(FN(RemoveCertificate)(h, "u"), -3);
  EXPECT_EQ(FN(VerifySignWOCheckValidity)(h, bytes, 8, bytes, 8, text), -3);
  EXPECT_EQ(FN(CertAndRequestTransferMatch)(h, p, p, &state), -3);
  EXPECT_EQ(FN(IncludeCRL)(h, p), -3);
  EXPECT_EQ(FN(ConvertTransferToSignedRequest)(h, p), -3);
  EXPECT_EQ(FN(HashData)(h, bytes, 8, 0, bytes, &len), -3);
  EXPECT_EQ(FN(ShowCertificate)(h, p), -3);
  EXPECT_EQ(FN(GetPureSign)(h, bytes, 8, nullptr, text, &len), -3);
  EXPECT_EQ(FN(GetUIDByCertIdent)(h, p, p), -3);
  EXPECT_EQ(FN(InstallCertsInMyStore)(h, p), -3);
  EXPECT_EQ(FN(RegisterOIDInfo)(h, "1.2", "info"), -3);
  EXPECT_EQ(FN(GetParamInfo)(h, 1, &state, text, &len), -3);
  EXPECT_EQ(FN(ExportObject)(h, 20, p, p, p, bytes, &len), -3);
  FN(DoneEngine)(h);

  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(len, 8);
  EXPECT_EQ(state, 3);
  EXPECT_EQ(bytes[0], 1);
}

TEST(Abi, NilHandleGetsEveryFailureValue) { WalkEveryExportWithADeadHandle(nullptr); }

TEST(Abi, ReleasedAndUnknownHandlesGetEveryFailureValue) {
  TZMEngine engine = FN(GetCryptObj)(0);
  ASSERT_NE(engine, nullptr);
  FN(DoneEngine)(engine);
  WalkEveryExportWithADeadHandle(engine);
  long notAnEngine[64] = {};
  WalkEveryExportWithADeadHandle(reinterpret_cast<TZMEngine>(notAnEngine));
}

class AbiEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    Engine = FN(GetCryptObj)(0);
    ASSERT_NE(Engine, nullptr);
  }
  void TearDown() override { FN(DoneEngine)(Engine); }
  TZMEngine Engine = nullptr;
};

TEST_F(AbiEngine, ThirteenParameterNamesAndDefaults) {
  const char* expected[13][2] = {
      {"User PKey/Certificate", "A:\\self.pub"}, {"User Secret key", "A:\\self.sec"},
      {"Abonents dir", "A:\\ABONENTS"},          {"CA dir", "A:\\CA"},
      {"Encrypt Method", "1"},                   {"Encrypt for UID", "User1"},
      {"Key request time out", "60"},            {"Last operation key time out", "5"},
      {"Key gen - GOST", "2001"},                {"Key gen - UID", "User2"},
      {"Key gen - PKey filename", "A:\\new.pub"}, {"Key gen - SKey filename", "A:\\new.sec"},
      {"Hash method", ""},
  };
  ASSERT_EQ(FN(GetCryptoParamNumber)(Engine), 13);
  char buffer[1024];
  for (int32_t i = 1; i <= 13; ++i) {
    FN(GetCryptoParamName)(Engine, i, buffer);
    EXPECT_STREQ(buffer, expected[i - 1][0]);
    FN(GetCryptoParamValue)(Engine, i, buffer);
    EXPECT_STREQ(buffer, expected[i - 1][1]);
  }
  for (int32_t i : {0, 14, -1}) {
    std::strcpy(buffer, "stale");
    FN(GetCryptoParamName)(Engine, i, buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(FN(SetCryptoParamValue)(Engine, i, "x"), -1);
  }
  EXPECT_EQ(FN(SetCryptoParamValue)(Engine, 3, "%KVLRoot%\\Abon"), 0);
  FN(GetCryptoParamValue)(Engine, 3, buffer);
  EXPECT_STREQ(buffer, "%KVLRoot%\\Abon");
  // Nil buffers are not written and do not crash.
  FN(GetCryptoParamName)(Engine, 1, nullptr);
  FN(GetCryptoParamValue)(Engine, 1, nullptr);
  FN(GetCryptoErrorString)(Engine, 0, nullptr);
  FN(GetLastErrorMessage)(Engine, nullptr);
}

TEST_F(AbiEngine, SizesAndDefaultsOfOperationsTheGostEngineKeeps) {
  EXPECT_EQ(FN(GetMaxFilePathLength)(Engine), 255);
  EXPECT_EQ(FN(GetMaxUIDLength)(Engine), 254);
  EXPECT_EQ(FN(GetMaxSignatureLength)(Engine), 319);
  EXPECT_EQ(FN(GetMaxCryptoParamNameLength)(Engine), 255);
  EXPECT_EQ(FN(GetMaxCryptoParamValueLength)(Engine), 1024);
  EXPECT_EQ(FN(GetMaxErrorStringLength)(Engine), 255);
  EXPECT_EQ(FN(GetMaxPasswordLength)(Engine), 255);
  EXPECT_EQ(FN(IsDifferentKeys)(Engine), 0);

  int32_t dummy = 0;
  void* p = &dummy;
  EXPECT_EQ(FN(SignFile)(Engine, p), -1);
  EXPECT_EQ(FN(VerifyFile)(Engine, p, p), -1);
  EXPECT_EQ(FN(RemoveSignaturesFromFile)(Engine, p), -1);
  EXPECT_EQ(FN(TransPrivateKeyFromFileToTM)(Engine), -1);
  EXPECT_EQ(FN(TransSignatureFromFileToTM)(Engine), -1);
  EXPECT_EQ(FN(IncludeCRL)(Engine, p), -1);
  EXPECT_EQ(FN(IncludeCACertificateFromTransfer)(Engine, p), -1);
  EXPECT_EQ(FN(ConvertTransferToSignedRequest)(Engine, p), -1);
  EXPECT_EQ(FN(ShowCertificate)(Engine, p), -1);
  EXPECT_EQ(FN(GetUIDByCertIdent)(Engine, p, p), -1);
  EXPECT_EQ(FN(InstallCertsInMyStore)(Engine, p), -1);
  EXPECT_EQ(FN(RegisterOIDInfo)(Engine, "1.2.643", "info"), -1);

  int32_t match = 7;
  EXPECT_EQ(FN(CertAndRequestTransferMatch)(Engine, p, p, &match), 0);
  EXPECT_EQ(match, -1);

  unsigned char buffer[4] = {9, 9, 9, 9};
  int32_t len = 4;
  for (int32_t kind : {0, 2, 3, 23, 999, -5}) {
    EXPECT_EQ(FN(ExportObject)(Engine, kind, p, p, p, buffer, &len), -1) << kind;
  }
  EXPECT_EQ(len, 4);
  EXPECT_EQ(buffer[0], 9);

  char text[8] = "stale";
  FN(GetLastErrorMessage)(Engine, text);
  EXPECT_STREQ(text, "");
}

TEST_F(AbiEngine, EveryResultCodeMessageByteForByte) {
  for (const TUtf8Message& m : kUtf8Messages) {
    char buffer[255];
    std::memset(buffer, 0x5A, sizeof buffer);
    FN(GetCryptoErrorString)(Engine, m.Code, buffer);
    EXPECT_EQ(std::string(buffer, strnlen(buffer, sizeof buffer)), IconvUtf8ToCp1251(m.Text)) << m.Code;
  }
  char buffer[255];
  FN(GetCryptoErrorString)(Engine, 16, buffer);
  for (char c : buffer) ASSERT_EQ(c, '\0');
}

TEST_F(AbiEngine, SetRootPathExtendsThePathVariable) {
  setenv("Path", "/usr/bin", 1);
  FN(SetRootPath)(Engine, "/opt/tzm_abi_root");
  const char* path = std::getenv("Path");
  ASSERT_NE(path, nullptr);
  EXPECT_STREQ(path,
               "/usr/bin;/opt/tzm_abi_root\\EXE\\;/opt/tzm_abi_root\\SYSTEM\\;/opt/tzm_abi_root\\USER\\;"
               "/opt/tzm_abi_root\\");
}

}  // namespace
}  // namespace tzm::test
