/* A 32-bit C host linked against the import library of tz_morka.dll. Every
 * reference below is to "_Name@N", the name the compiler gives a stdcall
 * function from the public header; the link succeeds only if the import
 * library offers all 76 under those names. It also starts one engine. */
#include <stdio.h>

#include "tz_morka.h"

#define HOST_EXPORTS(X) \
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

#define HOST_ADDRESS(name) (const void*)&name,
static const void* const kExports[] = {HOST_EXPORTS(HOST_ADDRESS)};

int main(void) {
  TZMEngine engine = GetCryptObj(0);
  int32_t uidLength = GetMaxUIDLength(engine);
  DoneEngine(engine);
  printf("%u exports, UID length %d\n", (unsigned)(sizeof(kExports) / sizeof(kExports[0])), (int)uidLength);
  return uidLength == 254 ? 0 : 1;
}
