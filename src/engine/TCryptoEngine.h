// TCryptoEngine: the abstract crypto engine whose ordered table of virtual
// operations is the whole vocabulary of the exports. Every operation has a
// default here; a concrete engine replaces the ones it provides and keeps the
// declaration order below, which is the order of the operation table.
#ifndef TZM_ENGINE_TCRYPTOENGINE_H
#define TZM_ENGINE_TCRYPTOENGINE_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "TSyncExceptStr.h"

namespace tzm {

// kCheckKeySampleText is the fixed text that CheckSecretKeyReady signs and
// verifies (39 bytes, the terminator is not signed).
inline constexpr std::string_view kCheckKeySampleText = "Data for sign to check secret key ready";

// kMacroKVLRoot is the path macro replaced by the engine's root directory.
inline constexpr std::string_view kMacroKVLRoot = "%KVLRoot%";

// Fixed answers of the base class.
inline constexpr int32_t kNotAvailable = -1;
inline constexpr int32_t kBaseMaxLength = 255;
inline constexpr int32_t kBaseMaxParamValueLength = 1024;
inline constexpr int32_t kBaseMaxPublicKeyTransferSize = 4096;
inline constexpr int32_t kBaseRemoteGenType = 1;

// Pointer-sized values that the operations pass through without meaning.
using TArg = void*;

class TCryptoEngine {
 public:
  // Fields of every engine, in declaration order. Only LastErrorText is safe to
  // use from several threads; the rest belong to the one thread using the engine.
  std::unique_ptr<TSyncExceptStr> LastErrorText;
  std::vector<std::string> ParamNames;
  std::vector<std::string> ParamValues;
  void* PasswordRequestFunc = nullptr;
  void* ReservedFunc = nullptr;
  void* TMRequestFunc = nullptr;
  std::string RootPath;            // empty, or ends in '\'
  bool ParamsChanged = true;
  std::string RemoteGeneratePath;  // empty, or ends in '\'

  TCryptoEngine(const TCryptoEngine&) = delete;
  TCryptoEngine& operator=(const TCryptoEngine&) = delete;
  virtual ~TCryptoEngine();

  // ---- The operation table, in slot order. ----
  virtual int32_t ReservedOperation();

  // Import sub-operations (reached through ImportObject).
  virtual int32_t ImportKind9(TArg a, TArg b, TArg c);
  virtual int32_t ImportKind1(TArg a, TArg b, TArg c);
  virtual int32_t ImportKind3(TArg a, TArg b, TArg c);  // calls ImportKind1
  virtual int32_t ImportKind5(TArg a, TArg b, TArg c);
  virtual int32_t ImportKind6(TArg a, TArg b);
  virtual int32_t ImportKind11(TArg a, TArg b, TArg c);
  virtual int32_t ImportKind13(TArg a, TArg b, TArg c);
  virtual int32_t ImportKind12(TArg a, TArg b, TArg c);
  virtual int32_t ImportKind14();
  virtual int32_t ImportKind15(TArg a, TArg b);

  // Export sub-operations (reached through ExportObject).
  virtual int32_t ExportKind4(TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind5(TArg arg4, TArg arg2, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind12(TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind13(TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind1(TArg arg4, TArg arg2, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportTransferContent(TArg arg4, TArg arg2, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind7(TArg arg4, TArg arg2, TArg arg3, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind18(int32_t kind, TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer,
                               int32_t* bufferLen);
  virtual int32_t ExportRG_WO_dir_support(TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind9(TArg arg4, TArg arg2, TArg arg3, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind15(TArg arg4, TArg arg2, TArg arg3, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind10(TArg arg4, TArg arg2, TArg arg3, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind101(int32_t kind, TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer,
                                int32_t* bufferLen);
  virtual int32_t ExportKind11(TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind14(TArg arg4, TArg arg2, TArg arg3, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind16(TArg arg4, TArg arg2, TArg arg3, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportParamCheckRes(TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  // CheckSecretKeyReady proves that the current secret key can sign: it signs
  // kCheckKeySampleText and verifies the result. A nil buffer asks for the
  // size of the UID buffer. On success buffer holds the signer's UID and
  // *bufferLen its length without the terminator.
  virtual int32_t CheckSecretKeyReady(TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind21(TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind201(int32_t kind, TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer,
                                int32_t* bufferLen);
  virtual int32_t ExportKind19(TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind22(TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind24(TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind26(uint8_t* buffer, int32_t bufferLen);
  virtual int32_t ExportKind31(TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind32(TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind35(int32_t kind, TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer,
                               int32_t* bufferLen);
  virtual int32_t ExportKind28(TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind29(TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind30(TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer, int32_t* bufferLen);
  virtual int32_t ExportKind40(int32_t kind, TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer,
                               int32_t* bufferLen);

  // Host callbacks and the remote generation directory.
  virtual void SetPasswordRequestFunc(void* callback);
  virtual void SetReservedFunc(void* value);
  // SetRemoteGeneratePath stores ExpandRootMacro(path) in directory form
  // (a '\' appended when missing); an empty path leaves the field empty.
  virtual void SetRemoteGeneratePath(const std::string& path);

  // The "Create" slot is the constructor (protected, below).

  // GetCryptoEngineType writes the engine's type name into buffer.
  virtual void GetCryptoEngineType(char* buffer) = 0;
  virtual int32_t GetMaxEncodeAddition();
  virtual int32_t GetMaxSignatureLength();
  virtual int32_t GetMaxUIDLength();
  virtual int32_t GetMaxCryptoParamNameLength();
  virtual int32_t GetMaxCryptoParamValueLength();
  virtual int32_t GetMaxErrorStringLength();
  virtual int32_t GetMaxPasswordLength();

  // Parameters, addressed by 1-based index.
  // GetCryptoParamNumber returns the number of parameters.
  virtual int32_t GetCryptoParamNumber();
  // GetCryptoParamName writes the name at index into buffer (at least
  // GetMaxCryptoParamNameLength bytes); an index out of range gives the empty
  // text. A nil buffer is left alone.
  virtual void GetCryptoParamName(int32_t index, char* buffer);
  // GetCryptoParamValue writes at most GetMaxCryptoParamValueLength - 1
  // characters of the value at index and a terminator; an index out of range
  // gives the empty text. A nil buffer is left alone.
  virtual void GetCryptoParamValue(int32_t index, char* buffer);
  // SetCryptoParamValue stores value (nil counts as empty) whole and unchanged
  // at index; returns 0, or -1 for an index out of range.
  virtual int32_t SetCryptoParamValue(int32_t index, const char* value);

  virtual int32_t GetEncodeUIDBySignUID(const char* signUID, char* buffer) = 0;
  virtual int32_t GetCurrentUserUID(char* buffer) = 0;
  // GetCryptoErrorString writes the message of code into buffer (at least
  // GetMaxErrorStringLength bytes). Never fails visibly.
  virtual void GetCryptoErrorString(int32_t code, char* buffer);
  virtual int32_t EncodeData(uint8_t* data, int32_t* dataLen, const char* recipientUID) = 0;
  virtual int32_t DecodeData(uint8_t* data, int32_t* dataLen, TArg reserved) = 0;
  virtual int32_t SignData(const uint8_t* data, int32_t dataLen, uint8_t* signature,
                           int32_t* signatureLen, const char* signerUID) = 0;
  virtual int32_t VerifyData(const uint8_t* data, int32_t dataLen, const uint8_t* signature,
                             int32_t signatureLen, char* signerUID) = 0;
  virtual int32_t IncludePublicKey(const char* fileName);
  virtual void ClearCash();
  virtual int32_t UpdateCertificateCash(const char* uid);
  virtual int32_t RemoveCertificate(const char* uid);
  virtual int32_t IncludeCRL(TArg arg);
  // GetLastErrorMessage always writes the empty text (nothing for a nil buffer).
  virtual void GetLastErrorMessage(char* buffer);
  virtual int32_t GenerateNewSSK();
  virtual int32_t GenerateNewSEK();
  virtual bool IsDifferentKeys();
  virtual int32_t IncludePublicEncodeKey(const char* fileName);
  virtual int32_t SignFile(TArg arg);
  virtual int32_t VerifyFile(TArg arg1, TArg arg2);
  virtual int32_t RemoveSignaturesFromFile(TArg arg);
  virtual int32_t TransPrivateKeyFromFileToTM();
  virtual int32_t TransSignatureFromFileToTM();
  virtual int32_t GetMaxPublicKeyTransferSize();
  virtual int32_t RemoteGenerateStart(char* outText);
  virtual int32_t RemoteGenerateFinish(TArg reserved);
  virtual int32_t ExcludeSelfPublicKeyTransfer(char* buffer);
  virtual int32_t IncludePublicKeyTransfer(const char* transfer);
  virtual int32_t GetPublicKeyTransfer(const char* uid, char* buffer);
  virtual int32_t SavePublicKeyFromTransfer(const char* directory, const char* transfer);
  virtual int32_t RemoteGenerateStartEx(const char* uid, char* outText, int32_t* keyGenState);
  virtual int32_t RemoteGenerateFinishEx(const char* transfer, int32_t* keyGenState);
  virtual int32_t GetPublicKeyTransferByFile(char* buffer, const char* fileName);
  virtual int32_t IncludeCACertificateFromTransfer(TArg arg);
  virtual int32_t AddSign(uint8_t* data, int32_t* dataLen, TArg reserved);
  virtual int32_t RemoveSign(uint8_t* data, int32_t* dataLen, char* signerUID);
  // GetMaxSignAddition: GetMaxSignatureLength + 255.
  virtual int32_t GetMaxSignAddition();
  // GetMaxEncodeAdditionFor: GetMaxEncodeAddition times count (32-bit product).
  virtual int32_t GetMaxEncodeAdditionFor(int32_t count);
  // SaveSignedDataToFile writes data followed by signature as the whole file
  // ExpandRootMacro(fileName): 0 when written, -106 when the write fails,
  // -102 on any other failure; nil data or file name or a bad length does
  // nothing and answers 0.
  virtual int32_t SaveSignedDataToFile(const uint8_t* data, int32_t dataLen, const uint8_t* signature,
                                       int32_t signatureLen, const char* fileName);
  virtual int32_t GetRemoteGenType();
  virtual int32_t GetMaxReportSize();
  virtual int32_t GetReport(const char* uid, char* buffer);
  // GetMaxAdditionEx: GetMaxEncodeAddition times the number of ';'-separated
  // items of uidList (empty items count; nil or empty counts once).
  virtual int32_t GetMaxAdditionEx(const char* uidList);
  virtual int32_t GetUIDByPublicKeyTransfer(const char* transfer, char* buffer);
  virtual int32_t GetPublicKeyPropertiesByTransfer(const char* transfer, char* buffer);
  virtual int32_t GetPublicKeyPropertiesByFile(const char* fileName, char* buffer);
  virtual int32_t CreateDirStructure(const char* keyFileName, TArg arg);
  // VerifySignWOCheckValidity calls VerifyData with the same arguments.
  virtual int32_t VerifySignWOCheckValidity(const uint8_t* data, int32_t dataLen,
                                            const uint8_t* signature, int32_t signatureLen,
                                            char* signerUID);
  // CertAndRequestTransferMatch stores -1 in *match (when not nil), returns 0.
  virtual int32_t CertAndRequestTransferMatch(TArg arg1, TArg arg2, int32_t* match);
  virtual int32_t ConvertTransferToSignedRequest(TArg arg);
  virtual int32_t HashData(const uint8_t* data, int32_t dataLen, int32_t format, uint8_t* out,
                           int32_t* outLen);
  virtual int32_t ShowCertificate(TArg arg);
  // GetPureSign renders the block as upper-case hex text. A nil block or a
  // zero length answers -1; *bufferLen receives the needed size (terminator
  // included); a nil buffer answers 0, a smaller capacity -1.
  virtual int32_t GetPureSign(const uint8_t* block, int32_t blockLen, TArg reserved, char* buffer,
                              int32_t* bufferLen);
  virtual int32_t GetUIDByCertIdent(TArg arg1, TArg arg2);
  virtual int32_t InstallCertsInMyStore(TArg arg);
  virtual int32_t RegisterOIDInfo(const std::string& oid, const std::u16string& info);
  virtual int32_t GetParamInfo(int32_t index, int32_t* valueKind, char* buffer, int32_t* bufferLen);
  // ImportObject routes kind to its import operation; unknown kinds answer -1.
  virtual int32_t ImportObject(int32_t kind, TArg a, TArg b, TArg c);
  // ExportObject routes kind to its export operation; unknown kinds answer -1
  // without touching buffer or bufferLen.
  virtual int32_t ExportObject(int32_t kind, TArg arg2, TArg arg3, TArg arg4, uint8_t* buffer,
                               int32_t* bufferLen);

  // ---- Non-virtual routines. ----
  // ExpandRootMacro replaces a leading %KVLRoot% (any letter case, one '\'
  // after it dropped) by RootPath and upper-cases the whole result; any
  // other path is answered unchanged.
  std::string ExpandRootMacro(const std::string& path) const;
  // ExpandRootMacroDir: ExpandRootMacro in directory form (a lone drive
  // letter gets ":\", anything else not ending in '\' gets '\').
  std::string ExpandRootMacroDir(const std::string& path) const;
  // SetEngineRootPath stores path as RootPath with a '\' appended when missing.
  void SetEngineRootPath(const std::string& path);
  // CopyTextToBuffer copies source into buffer of size bytes. Answers false
  // for nil pointers or a size below 1. A source of size characters or more
  // is cut to size - 1 characters; the buffer is always terminated.
  static bool CopyTextToBuffer(const char* source, char* buffer, int32_t size);
  // GetRemoteGenDir answers baseDir + "RG" + current UID + '\' when that
  // directory exists, else RemoteGeneratePath.
  std::string GetRemoteGenDir(const std::string& baseDir);
  // ForceRemoteGenDir is GetRemoteGenDir that first creates the directory.
  std::string ForceRemoteGenDir(const std::string& baseDir);

 protected:
  // The "Create" slot: builds the base fields. A concrete engine's constructor
  // runs this one and then fills the parameter lists.
  TCryptoEngine();

 private:
  std::string RemoteGenDir(const std::string& baseDir, bool create);
};

// EAbstractError is raised by an abstract operation that a concrete engine
// left unprovided; the operation guards turn it into their failure value.
[[noreturn]] void RaiseAbstractError();

}  // namespace tzm

#endif
