// The 76 exports in ordinal order, with their argument counts and the kind
// of failure value each answers.
#ifndef TZM_TESTS_API_EXPORT_NAMES_H
#define TZM_TESTS_API_EXPORT_NAMES_H

#include <cstdint>

namespace tzm::test {

enum class TFailure { kHandle, kProcedure, kSize, kOperation };

struct TExportName {
  int32_t Ordinal;
  const char* Name;
  int32_t NumArgs;
  TFailure Failure;
};

inline constexpr TExportName kExportNames[] = {
    {1, "GetCryptObj", 1, TFailure::kHandle},
    {2, "DoneEngine", 1, TFailure::kProcedure},
    {3, "GetMaxEncodeAddition", 1, TFailure::kSize},
    {4, "GetMaxSignatureLength", 1, TFailure::kSize},
    {5, "GetMaxUIDLength", 1, TFailure::kSize},
    {6, "GetMaxCryptoParamNameLength", 1, TFailure::kSize},
    {7, "GetMaxCryptoParamValueLength", 1, TFailure::kSize},
    {8, "GetMaxErrorStringLength", 1, TFailure::kSize},
    {9, "GetCryptoParamNumber", 1, TFailure::kSize},
    {10, "GetCryptoParamName", 3, TFailure::kProcedure},
    {11, "GetCryptoParamValue", 3, TFailure::kProcedure},
    {12, "SetCryptoParamValue", 3, TFailure::kOperation},
    {13, "GetEncodeUIDBySignUID", 3, TFailure::kOperation},
    {14, "GetCryptoErrorString", 3, TFailure::kProcedure},
    {15, "EncodeData", 4, TFailure::kOperation},
    {16, "DecodeData", 4, TFailure::kOperation},
    {17, "SignData", 6, TFailure::kOperation},
    {18, "VerifyData", 6, TFailure::kOperation},
    {19, "GetCurrentUserUID", 2, TFailure::kOperation},
    {20, "GenerateNewSSK", 1, TFailure::kOperation},
    {21, "GenerateNewSEK", 1, TFailure::kOperation},
    {22, "IsDifferentKeys", 1, TFailure::kSize},
    {23, "SetPasswordRequestFunc", 2, TFailure::kProcedure},
    {24, "GetMaxPasswordLength", 1, TFailure::kSize},
    {25, "IncludePublicKey", 2, TFailure::kOperation},
    {26, "IncludePublicEncodeKey", 2, TFailure::kOperation},
    {27, "SignFile", 2, TFailure::kOperation},
    {28, "VerifyFile", 3, TFailure::kOperation},
    {29, "RemoveSignaturesFromFile", 2, TFailure::kOperation},
    {30, "GetLastErrorMessage", 2, TFailure::kProcedure},
    {31, "SetRootPath", 2, TFailure::kProcedure},
    {32, "TransSignatureFromFileToTM", 1, TFailure::kOperation},
    {33, "TransPrivateKeyFromFileToTM", 1, TFailure::kOperation},
    {34, "SetTMRequestFunc", 2, TFailure::kProcedure},
    {35, "ClearCash", 1, TFailure::kProcedure},
    {36, "RemoteGenerateStart", 2, TFailure::kOperation},
    {37, "SetRemoteGeneratePath", 2, TFailure::kProcedure},
    {38, "AddSign", 4, TFailure::kOperation},
    {39, "RemoveSign", 4, TFailure::kOperation},
    {40, "GetMaxSignAddition", 1, TFailure::kSize},
    {41, "GetPublicKeyTransfer", 3, TFailure::kOperation},
    {42, "RemoteGenerateFinish", 2, TFailure::kOperation},
    {43, "SavePublicKeyFromTransfer", 3, TFailure::kOperation},
    {44, "GetMaxPublicKeyTransferSize", 1, TFailure::kSize},
    {45, "IncludePublicKeyTransfer", 2, TFailure::kOperation},
    {46, "ExcludeSelfPublicKeyTransfer", 2, TFailure::kOperation},
    {47, "GetMaxFilePathLength", 1, TFailure::kSize},
    {48, "GetRemoteGenType", 1, TFailure::kSize},
    {49, "SaveSignedDataToFile", 6, TFailure::kOperation},
    {50, "GetPublicKeyTransferByFile", 3, TFailure::kOperation},
    {51, "GetMaxReportSize", 1, TFailure::kSize},
    {52, "GetReport", 3, TFailure::kOperation},
    {53, "GetMaxAdditionEx", 2, TFailure::kSize},
    {54, "GetUIDByPublicKeyTransfer", 3, TFailure::kOperation},
    {55, "UpdateCertificateCash", 2, TFailure::kOperation},
    {56, "GetMaxPublicKeyPropertiesLength", 1, TFailure::kSize},
    {57, "GetPublicKeyProperties", 3, TFailure::kOperation},
    {58, "RemoteGenerateStartEx", 4, TFailure::kOperation},
    {59, "RemoteGenerateFinishEx", 3, TFailure::kOperation},
    {60, "GetPublicKeyPropertiesByTransfer", 3, TFailure::kOperation},
    {61, "GetPublicKeyPropertiesByFile", 3, TFailure::kOperation},
    {62, "IncludeCACertificateFromTransfer", 2, TFailure::kOperation},
    {63, "CreateDirStructure", 3, TFailure::kOperation},
    {64, "RemoveCertificate", 2, TFailure::kOperation},
    {65, "VerifySignWOCheckValidity", 6, TFailure::kOperation},
    {66, "CertAndRequestTransferMatch", 4, TFailure::kOperation},
    {67, "IncludeCRL", 2, TFailure::kOperation},
    {68, "ConvertTransferToSignedRequest", 2, TFailure::kOperation},
    {69, "HashData", 6, TFailure::kOperation},
    {70, "ShowCertificate", 2, TFailure::kOperation},
    {71, "GetPureSign", 6, TFailure::kOperation},
    {72, "GetUIDByCertIdent", 3, TFailure::kOperation},
    {73, "InstallCertsInMyStore", 2, TFailure::kOperation},
    {74, "RegisterOIDInfo", 3, TFailure::kOperation},
    {75, "GetParamInfo", 5, TFailure::kOperation},
    {76, "ExportObject", 7, TFailure::kOperation},
};

}  // namespace tzm::test

#endif
