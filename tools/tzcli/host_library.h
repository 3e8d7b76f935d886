// The loaded tz_morka library: every export resolved by name into a pointer
// of the type the public header declares.
#ifndef TZCLI_HOST_LIBRARY_H
#define TZCLI_HOST_LIBRARY_H

#include <string>

#include "tz_morka.h"

namespace tzcli {

// TZCLI_EXPORTS lists the 76 exports in ordinal order.
#define TZCLI_EXPORTS(X) \
  X(GetCryptObj) \
  X(DoneEngine) \
  X(GetMaxEncodeAddition) \
  X(GetMaxSignatureLength) \
  X(GetMaxUIDLength) \
  X(GetMaxCryptoParamNameLength) \
  X(GetMaxCryptoParamValueLength) \
  X(GetMaxErrorStringLength) \
  X(GetCryptoParamNumber) \
  X(GetCryptoParamName) \
  X(GetCryptoParamValue) \
  X(SetCryptoParamValue) \
  X(GetEncodeUIDBySignUID) \
  X(GetCryptoErrorString) \
  X(EncodeData) \
  X(DecodeData) \
  X(SignData) \
  X(VerifyData) \
  X(GetCurrentUserUID) \
  X(GenerateNewSSK) \
  X(GenerateNewSEK) \
  X(IsDifferentKeys) \
  X(SetPasswordRequestFunc) \
  X(GetMaxPasswordLength) \
  X(IncludePublicKey) \
  X(IncludePublicEncodeKey) \
  X(SignFile) \
  X(VerifyFile) \
  X(RemoveSignaturesFromFile) \
  X(GetLastErrorMessage) \
  X(SetRootPath) \
  X(TransSignatureFromFileToTM) \
  X(TransPrivateKeyFromFileToTM) \
  X(SetTMRequestFunc) \
  X(ClearCash) \
  X(RemoteGenerateStart) \
  X(SetRemoteGeneratePath) \
  X(AddSign) \
  X(RemoveSign) \
  X(GetMaxSignAddition) \
  X(GetPublicKeyTransfer) \
  X(RemoteGenerateFinish) \
  X(SavePublicKeyFromTransfer) \
  X(GetMaxPublicKeyTransferSize) \
  X(IncludePublicKeyTransfer) \
  X(ExcludeSelfPublicKeyTransfer) \
  X(GetMaxFilePathLength) \
  X(GetRemoteGenType) \
  X(SaveSignedDataToFile) \
  X(GetPublicKeyTransferByFile) \
  X(GetMaxReportSize) \
  X(GetReport) \
  X(GetMaxAdditionEx) \
  X(GetUIDByPublicKeyTransfer) \
  X(UpdateCertificateCash) \
  X(GetMaxPublicKeyPropertiesLength) \
  X(GetPublicKeyProperties) \
  X(RemoteGenerateStartEx) \
  X(RemoteGenerateFinishEx) \
  X(GetPublicKeyPropertiesByTransfer) \
  X(GetPublicKeyPropertiesByFile) \
  X(IncludeCACertificateFromTransfer) \
  X(CreateDirStructure) \
  X(RemoveCertificate) \
  X(VerifySignWOCheckValidity) \
  X(CertAndRequestTransferMatch) \
  X(IncludeCRL) \
  X(ConvertTransferToSignedRequest) \
  X(HashData) \
  X(ShowCertificate) \
  X(GetPureSign) \
  X(GetUIDByCertIdent) \
  X(InstallCertsInMyStore) \
  X(RegisterOIDInfo) \
  X(GetParamInfo) \
  X(ExportObject)

class THostLibrary {
 public:
  THostLibrary() = default;
  ~THostLibrary();
  THostLibrary(const THostLibrary&) = delete;
  THostLibrary& operator=(const THostLibrary&) = delete;

  // Load opens the library from the program's own folder and resolves every
  // export; false with a reason in Error() when the library or a name is missing.
  bool Load();
  const std::string& Error() const { return LoadError; }
  const std::string& Path() const { return LibraryPath; }

#define TZCLI_DECLARE_POINTER(name) decltype(&::name) name = nullptr;
  TZCLI_EXPORTS(TZCLI_DECLARE_POINTER)
#undef TZCLI_DECLARE_POINTER

 private:
  void* Module = nullptr;
  std::string LoadError;
  std::string LibraryPath;
};

}  // namespace tzcli

#endif
