// The 76 exports of tz_morka. Each is one guarded call of one engine
// operation with its arguments unchanged and in the same order; the few that
// do more say so. Ordinals follow the order of this file.
#include "tz_morka.h"

#include <memory>
#include <string>

#include "ExportGuard.h"
#include "gost.h"

using tzm::ExportGuard;
using tzm::kExportFailure;
using tzm::kExportSizeFailure;
using tzm::ProcedureGuard;
using tzm::TCryptoEngine;
using E = TCryptoEngine&;

namespace {

// Text arguments read by value: nil counts as the empty text.
std::string TextOrEmpty(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace

extern "C" {

TZM_FUNCTION(TZMEngine, GetCryptObj)(int32_t) {
  try {
    return static_cast<TZMEngine>(tzm::RegisterEngine(std::make_unique<tzm::TCryptoCEngine>()));
  } catch (...) {
    return nullptr;
  }
}

TZM_FUNCTION(void, DoneEngine)(TZMEngine Engine) {
  try {
    tzm::ReleaseEngine(Engine).reset();
  } catch (...) {
  }
}

TZM_FUNCTION(int32_t, GetMaxEncodeAddition)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxEncodeAddition(); });
}

TZM_FUNCTION(int32_t, GetMaxSignatureLength)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxSignatureLength(); });
}

TZM_FUNCTION(int32_t, GetMaxUIDLength)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxUIDLength(); });
}

TZM_FUNCTION(int32_t, GetMaxCryptoParamNameLength)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxCryptoParamNameLength(); });
}

TZM_FUNCTION(int32_t, GetMaxCryptoParamValueLength)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxCryptoParamValueLength(); });
}

TZM_FUNCTION(int32_t, GetMaxErrorStringLength)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxErrorStringLength(); });
}

TZM_FUNCTION(int32_t, GetCryptoParamNumber)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetCryptoParamNumber(); });
}

TZM_FUNCTION(void, GetCryptoParamName)(TZMEngine Engine, int32_t Index, char* Name) {
  ProcedureGuard(Engine, [&](E e) { e.GetCryptoParamName(Index, Name); });
}

TZM_FUNCTION(void, GetCryptoParamValue)(TZMEngine Engine, int32_t Index, char* Value) {
  ProcedureGuard(Engine, [&](E e) { e.GetCryptoParamValue(Index, Value); });
}

TZM_FUNCTION(int32_t, SetCryptoParamValue)(TZMEngine Engine, int32_t Index, const char* Value) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.SetCryptoParamValue(Index, Value); });
}

TZM_FUNCTION(int32_t, GetEncodeUIDBySignUID)(TZMEngine Engine, const char* SignUID, char* EncodeUID) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetEncodeUIDBySignUID(SignUID, EncodeUID); });
}

TZM_FUNCTION(void, GetCryptoErrorString)(TZMEngine Engine, int32_t Code, char* Text) {
  ProcedureGuard(Engine, [&](E e) { e.GetCryptoErrorString(Code, Text); });
}

TZM_FUNCTION(int32_t, EncodeData)(TZMEngine Engine, unsigned char* Data, int32_t* DataLen, const char* RecipientUID) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.EncodeData(Data, DataLen, RecipientUID); });
}

TZM_FUNCTION(int32_t, DecodeData)(TZMEngine Engine, unsigned char* Data, int32_t* DataLen, void* Reserved) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.DecodeData(Data, DataLen, Reserved); });
}

TZM_FUNCTION(int32_t, SignData)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen,
                                unsigned char* Signature, int32_t* SignatureLen, const char* SignerUID) {
  return ExportGuard(Engine, kExportFailure,
                     [&](E e) { return e.SignData(Data, DataLen, Signature, SignatureLen, SignerUID); });
}

TZM_FUNCTION(int32_t, VerifyData)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen,
                                  const unsigned char* Signature, int32_t SignatureLen, char* SignerUID) {
  return ExportGuard(Engine, kExportFailure,
                     [&](E e) { return e.VerifyData(Data, DataLen, Signature, SignatureLen, SignerUID); });
}

TZM_FUNCTION(int32_t, GetCurrentUserUID)(TZMEngine Engine, char* UID) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetCurrentUserUID(UID); });
}

TZM_FUNCTION(int32_t, GenerateNewSSK)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GenerateNewSSK(); });
}

TZM_FUNCTION(int32_t, GenerateNewSEK)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GenerateNewSEK(); });
}

// A yes answers -1 and a no 0; a failure reads as a yes.
TZM_FUNCTION(int32_t, IsDifferentKeys)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.IsDifferentKeys() ? -1 : 0; });
}

TZM_FUNCTION(void, SetPasswordRequestFunc)(TZMEngine Engine, void* Callback) {
  ProcedureGuard(Engine, [&](E e) { e.SetPasswordRequestFunc(Callback); });
}

TZM_FUNCTION(int32_t, GetMaxPasswordLength)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxPasswordLength(); });
}

TZM_FUNCTION(int32_t, IncludePublicKey)(TZMEngine Engine, const char* FileName) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.IncludePublicKey(FileName); });
}

TZM_FUNCTION(int32_t, IncludePublicEncodeKey)(TZMEngine Engine, const char* FileName) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.IncludePublicEncodeKey(FileName); });
}

TZM_FUNCTION(int32_t, SignFile)(TZMEngine Engine, void* Arg) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.SignFile(Arg); });
}

TZM_FUNCTION(int32_t, VerifyFile)(TZMEngine Engine, void* Arg1, void* Arg2) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.VerifyFile(Arg1, Arg2); });
}

TZM_FUNCTION(int32_t, RemoveSignaturesFromFile)(TZMEngine Engine, void* Arg) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.RemoveSignaturesFromFile(Arg); });
}

TZM_FUNCTION(void, GetLastErrorMessage)(TZMEngine Engine, char* Text) {
  ProcedureGuard(Engine, [&](E e) { e.GetLastErrorMessage(Text); });
}

// The process-wide root is fixed first; when it refuses (another root is
// already set) the refusal is swallowed and the engine's own root is kept.
TZM_FUNCTION(void, SetRootPath)(TZMEngine Engine, const char* Path) {
  ProcedureGuard(Engine, [&](E e) {
    const std::string path = TextOrEmpty(Path);
    try {
      tzm::SetKVLRoot(path);
    } catch (...) {
      return;
    }
    e.SetEngineRootPath(path);
  });
}

TZM_FUNCTION(int32_t, TransSignatureFromFileToTM)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.TransSignatureFromFileToTM(); });
}

TZM_FUNCTION(int32_t, TransPrivateKeyFromFileToTM)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.TransPrivateKeyFromFileToTM(); });
}

// Stored directly in the engine's field; no operation is called.
TZM_FUNCTION(void, SetTMRequestFunc)(TZMEngine Engine, void* Callback) {
  ProcedureGuard(Engine, [&](E e) { e.TMRequestFunc = Callback; });
}

TZM_FUNCTION(void, ClearCash)(TZMEngine Engine) {
  ProcedureGuard(Engine, [&](E e) { e.ClearCash(); });
}

TZM_FUNCTION(int32_t, RemoteGenerateStart)(TZMEngine Engine, char* Transfer) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.RemoteGenerateStart(Transfer); });
}

TZM_FUNCTION(void, SetRemoteGeneratePath)(TZMEngine Engine, const char* Path) {
  ProcedureGuard(Engine, [&](E e) { e.SetRemoteGeneratePath(TextOrEmpty(Path)); });
}

TZM_FUNCTION(int32_t, AddSign)(TZMEngine Engine, unsigned char* Data, int32_t* DataLen, void* Reserved) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.AddSign(Data, DataLen, Reserved); });
}

TZM_FUNCTION(int32_t, RemoveSign)(TZMEngine Engine, unsigned char* Data, int32_t* DataLen, char* SignerUID) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.RemoveSign(Data, DataLen, SignerUID); });
}

TZM_FUNCTION(int32_t, GetMaxSignAddition)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxSignAddition(); });
}

TZM_FUNCTION(int32_t, GetPublicKeyTransfer)(TZMEngine Engine, const char* UID, char* Transfer) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetPublicKeyTransfer(UID, Transfer); });
}

TZM_FUNCTION(int32_t, RemoteGenerateFinish)(TZMEngine Engine, void* Reserved) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.RemoteGenerateFinish(Reserved); });
}

TZM_FUNCTION(int32_t, SavePublicKeyFromTransfer)(TZMEngine Engine, const char* Directory, const char* Transfer) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.SavePublicKeyFromTransfer(Directory, Transfer); });
}

TZM_FUNCTION(int32_t, GetMaxPublicKeyTransferSize)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxPublicKeyTransferSize(); });
}

TZM_FUNCTION(int32_t, IncludePublicKeyTransfer)(TZMEngine Engine, const char* Transfer) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.IncludePublicKeyTransfer(Transfer); });
}

TZM_FUNCTION(int32_t, ExcludeSelfPublicKeyTransfer)(TZMEngine Engine, char* Transfer) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.ExcludeSelfPublicKeyTransfer(Transfer); });
}

// Answered without an engine, for any handle.
TZM_FUNCTION(int32_t, GetMaxFilePathLength)(TZMEngine) { return TZM_MAX_FILE_PATH_LENGTH; }

TZM_FUNCTION(int32_t, GetRemoteGenType)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetRemoteGenType(); });
}

TZM_FUNCTION(int32_t, SaveSignedDataToFile)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen,
                                            const unsigned char* Signature, int32_t SignatureLen,
                                            const char* FileName) {
  return ExportGuard(Engine, kExportFailure, [&](E e) {
    return e.SaveSignedDataToFile(Data, DataLen, Signature, SignatureLen, FileName);
  });
}

TZM_FUNCTION(int32_t, GetPublicKeyTransferByFile)(TZMEngine Engine, char* Transfer, const char* FileName) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetPublicKeyTransferByFile(Transfer, FileName); });
}

TZM_FUNCTION(int32_t, GetMaxReportSize)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxReportSize(); });
}

TZM_FUNCTION(int32_t, GetReport)(TZMEngine Engine, const char* UID, char* Report) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetReport(UID, Report); });
}

TZM_FUNCTION(int32_t, GetMaxAdditionEx)(TZMEngine Engine, const char* UIDList) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxAdditionEx(UIDList); });
}

TZM_FUNCTION(int32_t, GetUIDByPublicKeyTransfer)(TZMEngine Engine, const char* Transfer, char* UID) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetUIDByPublicKeyTransfer(Transfer, UID); });
}

// Where the engine cannot refresh one key (-1), the whole cache is cleared
// instead and the call counts as done.
TZM_FUNCTION(int32_t, UpdateCertificateCash)(TZMEngine Engine, const char* UID) {
  return ExportGuard(Engine, kExportFailure, [&](E e) {
    const int32_t result = e.UpdateCertificateCash(UID);
    if (result != -1) return result;
    try {
      e.ClearCash();
    } catch (...) {
    }
    return 0;
  });
}

TZM_FUNCTION(int32_t, GetMaxPublicKeyPropertiesLength)(TZMEngine Engine) {
  return ExportGuard(Engine, kExportSizeFailure, [&](E e) { return e.GetMaxReportSize(); });
}

TZM_FUNCTION(int32_t, GetPublicKeyProperties)(TZMEngine Engine, const char* UID, char* Properties) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetReport(UID, Properties); });
}

TZM_FUNCTION(int32_t, RemoteGenerateStartEx)(TZMEngine Engine, const char* UID, char* Transfer, int32_t* KeyGenState) {
  return ExportGuard(Engine, kExportFailure,
                     [&](E e) { return e.RemoteGenerateStartEx(UID, Transfer, KeyGenState); });
}

TZM_FUNCTION(int32_t, RemoteGenerateFinishEx)(TZMEngine Engine, const char* Transfer, int32_t* KeyGenState) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.RemoteGenerateFinishEx(Transfer, KeyGenState); });
}

TZM_FUNCTION(int32_t, GetPublicKeyPropertiesByTransfer)(TZMEngine Engine, const char* Transfer, char* Properties) {
  return ExportGuard(Engine, kExportFailure,
                     [&](E e) { return e.GetPublicKeyPropertiesByTransfer(Transfer, Properties); });
}

TZM_FUNCTION(int32_t, GetPublicKeyPropertiesByFile)(TZMEngine Engine, const char* FileName, char* Properties) {
  return ExportGuard(Engine, kExportFailure,
                     [&](E e) { return e.GetPublicKeyPropertiesByFile(FileName, Properties); });
}

TZM_FUNCTION(int32_t, IncludeCACertificateFromTransfer)(TZMEngine Engine, void* Arg) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.IncludeCACertificateFromTransfer(Arg); });
}

TZM_FUNCTION(int32_t, CreateDirStructure)(TZMEngine Engine, const char* FileName, void* Arg) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.CreateDirStructure(FileName, Arg); });
}

TZM_FUNCTION(int32_t, RemoveCertificate)(TZMEngine Engine, const char* UID) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.RemoveCertificate(UID); });
}

TZM_FUNCTION(int32_t, VerifySignWOCheckValidity)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen,
                                                 const unsigned char* Signature, int32_t SignatureLen,
                                                 char* SignerUID) {
  return ExportGuard(Engine, kExportFailure, [&](E e) {
    return e.VerifySignWOCheckValidity(Data, DataLen, Signature, SignatureLen, SignerUID);
  });
}

TZM_FUNCTION(int32_t, CertAndRequestTransferMatch)(TZMEngine Engine, void* Arg1, void* Arg2, int32_t* Match) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.CertAndRequestTransferMatch(Arg1, Arg2, Match); });
}

TZM_FUNCTION(int32_t, IncludeCRL)(TZMEngine Engine, void* Arg) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.IncludeCRL(Arg); });
}

TZM_FUNCTION(int32_t, ConvertTransferToSignedRequest)(TZMEngine Engine, void* Arg) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.ConvertTransferToSignedRequest(Arg); });
}

TZM_FUNCTION(int32_t, HashData)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen, int32_t Format,
                                unsigned char* Out, int32_t* OutLen) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.HashData(Data, DataLen, Format, Out, OutLen); });
}

TZM_FUNCTION(int32_t, ShowCertificate)(TZMEngine Engine, void* Arg) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.ShowCertificate(Arg); });
}

TZM_FUNCTION(int32_t, GetPureSign)(TZMEngine Engine, const unsigned char* Block, int32_t BlockLen, void* Reserved,
                                   char* Text, int32_t* TextLen) {
  return ExportGuard(Engine, kExportFailure,
                     [&](E e) { return e.GetPureSign(Block, BlockLen, Reserved, Text, TextLen); });
}

TZM_FUNCTION(int32_t, GetUIDByCertIdent)(TZMEngine Engine, void* Arg1, void* Arg2) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetUIDByCertIdent(Arg1, Arg2); });
}

TZM_FUNCTION(int32_t, InstallCertsInMyStore)(TZMEngine Engine, void* Arg) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.InstallCertsInMyStore(Arg); });
}

// The operation takes the OID as 8-bit text and Info as UTF-16, converted
// from Windows-1251.
TZM_FUNCTION(int32_t, RegisterOIDInfo)(TZMEngine Engine, const char* OID, const char* Info) {
  return ExportGuard(Engine, kExportFailure, [&](E e) {
    const std::string oid = TextOrEmpty(OID);
    const std::u16string info = tzm::platform::Cp1251ToUtf16(TextOrEmpty(Info));
    return e.RegisterOIDInfo(oid, info);
  });
}

TZM_FUNCTION(int32_t, GetParamInfo)(TZMEngine Engine, int32_t Index, int32_t* ValueKind, char* Text,
                                    int32_t* TextLen) {
  return ExportGuard(Engine, kExportFailure, [&](E e) { return e.GetParamInfo(Index, ValueKind, Text, TextLen); });
}

TZM_FUNCTION(int32_t, ExportObject)(TZMEngine Engine, int32_t Kind, void* Arg2, void* Arg3, void* Arg4,
                                    unsigned char* Buffer, int32_t* BufferLen) {
  return ExportGuard(Engine, kExportFailure,
                     [&](E e) { return e.ExportObject(Kind, Arg2, Arg3, Arg4, Buffer, BufferLen); });
}

}  // extern "C"
