// TCryptoCEngine: the GOST engine, the one concrete engine of the library.
// It declares every operation it replaces, in slot order. Operations whose
// working version is not written yet have one-line bodies in
// pending_operations.cpp that answer the base default; a working version
// moves its body into its own file (sign_ops.cpp, ...) without touching this
// declaration.
#ifndef TZM_GOST_TCRYPTOCENGINE_H
#define TZM_GOST_TCRYPTOCENGINE_H

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>

#include "ResultCodes.h"
#include "engine.h"

namespace tzm {

// Parameter numbers (1-based, as the host addresses them).
enum TGostParam : int32_t {
  kParamUserPublicKey = 1,
  kParamUserSecretKey = 2,
  kParamAbonentsDir = 3,
  kParamCADir = 4,
  kParamEncryptMethod = 5,
  kParamEncryptForUID = 6,
  kParamKeyRequestTimeOut = 7,
  kParamLastOperationTimeOut = 8,
  kParamKeyGenGost = 9,
  kParamKeyGenUID = 10,
  kParamKeyGenPublicKeyFile = 11,
  kParamKeyGenSecretKeyFile = 12,
  kParamHashMethod = 13,
};

inline constexpr int32_t kGostParamCount = 13;

// Name and default value of one parameter (Windows-1251 text).
struct TGostParamDefault {
  const char* Name;
  const char* Default;
};

// kGostParamDefaults lists the thirteen parameters in index order.
extern const TGostParamDefault kGostParamDefaults[kGostParamCount];

// Fixed size answers of the GOST engine.
inline constexpr int32_t kGostMaxUIDLength = 254;
inline constexpr int32_t kGostSignatureBodyLen = 64;
// kGostEngineType is written as 11 bytes: the 8 characters and 3 zeros.
inline constexpr std::string_view kGostEngineType = "Crypto-C";
inline constexpr int32_t kGostEngineTypeLen = 11;

// Failure answers of a guarded operation.
inline constexpr int32_t kGuardFailure = kErrCritical;       // operations with a result code
inline constexpr int32_t kGuardSizeFailure = kNotAvailable;  // size queries

class TCryptoCEngine : public TCryptoEngine {
 public:
  // TCryptoCEngine builds the base fields and appends the thirteen parameter
  // names and defaults.
  TCryptoCEngine();
  ~TCryptoCEngine() override;

  // ---- Overridden operations, in slot order. ----
  int32_t ExportTransferContent(TArg arg4, TArg arg2, uint8_t* buffer, int32_t* bufferLen) override;
  int32_t ExportRG_WO_dir_support(TArg arg4, uint8_t* buffer, int32_t* bufferLen) override;
  int32_t ExportParamCheckRes(TArg arg4, uint8_t* buffer, int32_t* bufferLen) override;
  // GetCryptoEngineType writes exactly 11 bytes: "Crypto-C" and three zeros.
  void GetCryptoEngineType(char* buffer) override;
  int32_t GetMaxEncodeAddition() override;
  // GetMaxSignatureLength: GetMaxUIDLength + 65 (UID, its zero, 64 bytes).
  int32_t GetMaxSignatureLength() override;
  // GetMaxUIDLength: 254.
  int32_t GetMaxUIDLength() override;
  int32_t GetEncodeUIDBySignUID(const char* signUID, char* buffer) override;
  int32_t GetCurrentUserUID(char* buffer) override;
  // GetCryptoErrorString writes the message of code from the result-code
  // table (for -3 followed by the last-error text), cut to
  // GetMaxErrorStringLength - 1 characters; an unknown code leaves the buffer
  // zero-filled. Never fails visibly.
  void GetCryptoErrorString(int32_t code, char* buffer) override;
  int32_t EncodeData(uint8_t* data, int32_t* dataLen, const char* recipientUID) override;
  int32_t DecodeData(uint8_t* data, int32_t* dataLen, TArg reserved) override;
  int32_t SignData(const uint8_t* data, int32_t dataLen, uint8_t* signature, int32_t* signatureLen,
                   const char* signerUID) override;
  int32_t VerifyData(const uint8_t* data, int32_t dataLen, const uint8_t* signature, int32_t signatureLen,
                     char* signerUID) override;
  int32_t IncludePublicKey(const char* fileName) override;
  void ClearCash() override;
  int32_t UpdateCertificateCash(const char* uid) override;
  int32_t RemoveCertificate(const char* uid) override;
  int32_t GenerateNewSSK() override;
  int32_t GenerateNewSEK() override;
  int32_t IncludePublicEncodeKey(const char* fileName) override;
  int32_t GetMaxPublicKeyTransferSize() override;
  int32_t RemoteGenerateStart(char* outText) override;
  int32_t RemoteGenerateFinish(TArg reserved) override;
  int32_t ExcludeSelfPublicKeyTransfer(char* buffer) override;
  int32_t IncludePublicKeyTransfer(const char* transfer) override;
  int32_t GetPublicKeyTransfer(const char* uid, char* buffer) override;
  int32_t SavePublicKeyFromTransfer(const char* directory, const char* transfer) override;
  int32_t RemoteGenerateStartEx(const char* uid, char* outText, int32_t* keyGenState) override;
  int32_t RemoteGenerateFinishEx(const char* transfer, int32_t* keyGenState) override;
  int32_t GetPublicKeyTransferByFile(char* buffer, const char* fileName) override;
  int32_t AddSign(uint8_t* data, int32_t* dataLen, TArg reserved) override;
  int32_t RemoveSign(uint8_t* data, int32_t* dataLen, char* signerUID) override;
  int32_t GetMaxSignAddition() override;
  int32_t SaveSignedDataToFile(const uint8_t* data, int32_t dataLen, const uint8_t* signature,
                               int32_t signatureLen, const char* fileName) override;
  int32_t GetRemoteGenType() override;
  int32_t GetMaxReportSize() override;
  int32_t GetReport(const char* uid, char* buffer) override;
  int32_t GetMaxAdditionEx(const char* uidList) override;
  int32_t GetUIDByPublicKeyTransfer(const char* transfer, char* buffer) override;
  int32_t GetPublicKeyPropertiesByTransfer(const char* transfer, char* buffer) override;
  int32_t GetPublicKeyPropertiesByFile(const char* fileName, char* buffer) override;
  int32_t CreateDirStructure(const char* keyFileName, TArg arg) override;
  int32_t HashData(const uint8_t* data, int32_t dataLen, int32_t format, uint8_t* out, int32_t* outLen) override;
  int32_t GetPureSign(const uint8_t* block, int32_t blockLen, TArg reserved, char* buffer,
                      int32_t* bufferLen) override;
  int32_t GetParamInfo(int32_t index, int32_t* valueKind, char* buffer, int32_t* bufferLen) override;

  // ParamValue returns the value of parameter number index (1-based); empty
  // for an index out of range.
  const std::string& ParamValue(int32_t index) const;

 protected:
  // Guard runs body, an operation's main step. A caught exception of the
  // standard family sets LastErrorText to "TCryptoCEngine.<label>: <class>:
  // <message>" and answers failValue (kGuardFailure, or kGuardSizeFailure
  // for size queries; ignored for operations without a result). Other
  // exceptions pass on to the export frame. Usage:
  //   return Guard("SignData", kGuardFailure, [&] { return ...; });
  template <class TBody>
  auto Guard(std::string_view label, int32_t failValue, TBody&& body) -> decltype(body()) {
    try {
      return body();
    } catch (const std::exception& e) {
      RecordFailure(label, e);
      if constexpr (!std::is_void_v<decltype(body())>) return static_cast<decltype(body())>(failValue);
    }
  }

  // RecordFailure writes the last-error text for a failure caught in the
  // operation named label.
  void RecordFailure(std::string_view label, const std::exception& e) noexcept;
};

// StartGostModule / StopGostModule run when the library loads and unloads:
// the process-wide state of the GOST engine (and, through it, of the binding
// module) is created and destroyed there, after and before the engine
// framework's.
void StartGostModule();
void StopGostModule();

}  // namespace tzm

#endif
