// The host side of the ABI tests: loads the built tz_morka library by path,
// the way a host application does, and resolves all 76 exports by name into
// pointers typed from include/tz_morka.h. Tests call through these pointers
// only, so they exercise exactly what a host sees.
#ifndef TZM_TESTS_COMMON_ABI_HOST_H
#define TZM_TESTS_COMMON_ABI_HOST_H

#include <string>
#include <vector>

#include "platform.h"
#include "tz_morka.h"

#ifndef TZM_LIBRARY_FILE
#error "TZM_LIBRARY_FILE (the built tz_morka library) must be defined; link tzm_test_common"
#endif

// TZM_ABI_EXPORTS lists the 76 exports in ordinal order.
#define TZM_ABI_EXPORTS(X) \
  X(GetCryptObj) X(DoneEngine) X(GetMaxEncodeAddition) \
  X(GetMaxSignatureLength) X(GetMaxUIDLength) X(GetMaxCryptoParamNameLength) \
  X(GetMaxCryptoParamValueLength) X(GetMaxErrorStringLength) X(GetCryptoParamNumber) \
  X(GetCryptoParamName) X(GetCryptoParamValue) X(SetCryptoParamValue) \
  X(GetEncodeUIDBySignUID) X(GetCryptoErrorString) X(EncodeData) \
  X(DecodeData) X(SignData) X(VerifyData) \
  X(GetCurrentUserUID) X(GenerateNewSSK) X(GenerateNewSEK) \
  X(IsDifferentKeys) X(SetPasswordRequestFunc) X(GetMaxPasswordLength) \
  X(IncludePublicKey) X(IncludePublicEncodeKey) X(SignFile) \
  X(VerifyFile) X(RemoveSignaturesFromFile) X(GetLastErrorMessage) \
  X(SetRootPath) X(TransSignatureFromFileToTM) X(TransPrivateKeyFromFileToTM) \
  X(SetTMRequestFunc) X(ClearCash) X(RemoteGenerateStart) \
  X(SetRemoteGeneratePath) X(AddSign) X(RemoveSign) \
  X(GetMaxSignAddition) X(GetPublicKeyTransfer) X(RemoteGenerateFinish) \
  X(SavePublicKeyFromTransfer) X(GetMaxPublicKeyTransferSize) X(IncludePublicKeyTransfer) \
  X(ExcludeSelfPublicKeyTransfer) X(GetMaxFilePathLength) X(GetRemoteGenType) \
  X(SaveSignedDataToFile) X(GetPublicKeyTransferByFile) X(GetMaxReportSize) \
  X(GetReport) X(GetMaxAdditionEx) X(GetUIDByPublicKeyTransfer) \
  X(UpdateCertificateCash) X(GetMaxPublicKeyPropertiesLength) X(GetPublicKeyProperties) \
  X(RemoteGenerateStartEx) X(RemoteGenerateFinishEx) X(GetPublicKeyPropertiesByTransfer) \
  X(GetPublicKeyPropertiesByFile) X(IncludeCACertificateFromTransfer) X(CreateDirStructure) \
  X(RemoveCertificate) X(VerifySignWOCheckValidity) X(CertAndRequestTransferMatch) \
  X(IncludeCRL) X(ConvertTransferToSignedRequest) X(HashData) \
  X(ShowCertificate) X(GetPureSign) X(GetUIDByCertIdent) \
  X(InstallCertsInMyStore) X(RegisterOIDInfo) X(GetParamInfo) \
  X(ExportObject)

namespace tzm::test {

// TAbiHost holds the loaded library and one typed pointer per export, named
// like the export. A missing export leaves its pointer null and is listed in
// Missing.
struct TAbiHost {
#define TZM_ABI_POINTER(name) decltype(&::name) name = nullptr;
  TZM_ABI_EXPORTS(TZM_ABI_POINTER)
#undef TZM_ABI_POINTER

  platform::TModule Module;
  std::vector<std::string> Missing;

  // Loaded is true when the library was found and every export resolved.
  bool Loaded() const { return Module.IsLoaded() && Missing.empty(); }

  // Load opens |path| and resolves every export.
  void Load(const std::string& path) {
    Module = platform::TModule::Open(path);
    Missing.clear();
    if (!Module.IsLoaded()) {
      Missing.push_back("<library " + path + ">");
      return;
    }
#define TZM_ABI_RESOLVE(name)                                            \
  name = reinterpret_cast<decltype(&::name)>(Module.Resolve(#name));     \
  if (name == nullptr) Missing.push_back(#name);
    TZM_ABI_EXPORTS(TZM_ABI_RESOLVE)
#undef TZM_ABI_RESOLVE
  }
};

// AbiHost answers the process-wide host, loading the library on first use.
// The library stays loaded until the test program ends, as in a host
// application; bindings and caches therefore live across tests, and every
// test works in key folders of its own.
inline TAbiHost& AbiHost() {
  static TAbiHost host = [] {
    TAbiHost loaded;
    loaded.Load(TZM_LIBRARY_FILE);
    return loaded;
  }();
  return host;
}

// ExportCount is the number of exports the host resolves.
inline constexpr int kExportCount = 0
#define TZM_ABI_COUNT(name) +1
    TZM_ABI_EXPORTS(TZM_ABI_COUNT)
#undef TZM_ABI_COUNT
    ;

}  // namespace tzm::test

#endif  // TZM_TESTS_COMMON_ABI_HOST_H
