/* tz_morka: GOST cryptographic provider library, the C interface for hosts.
 *
 * Conventions of every function below:
 *
 * (1) The caller owns every buffer. The library never keeps a pointer the
 *     caller passed after the call returns, and never allocates memory the
 *     caller has to free. An engine (TZMEngine) is the one object the library
 *     hands out: create it with GetCryptObj, release it with DoneEngine.
 *
 * (2) Size queries. Functions that return text or bytes of variable length
 *     through a buffer and an int32_t* length follow one rule unless their
 *     description says otherwise: a NULL buffer asks for the needed size,
 *     which is stored in *Len with result 0; a buffer whose capacity (*Len on
 *     entry) is smaller than needed gets the needed size stored in *Len and
 *     result -4; otherwise the buffer is filled and *Len receives the size.
 *     Text buffers without a length are sized by the matching GetMax...
 *     function (terminator included). UID buffers hold at least 255 bytes.
 *
 * (3) Text is 8-bit Windows-1251 throughout: parameter names and values,
 *     UIDs, paths, messages and reports. Text arguments are zero-terminated.
 *
 * (4) Results. 0 is success; 1 to 15 are codes of the outside GOST library
 *     passed on unchanged; negative values are the library's own codes, -1
 *     also meaning "not available" and -3 a critical failure whose details
 *     GetCryptoErrorString(-3) shows. GetCryptoErrorString turns any code into
 *     its message. No failure crosses this interface: every function catches
 *     everything and answers its fixed failure value (-1 for sizes, counts and
 *     yes/no answers, -3 for operations, NULL for GetCryptObj, nothing for
 *     procedures). A NULL, unknown or released engine gets that value too.
 *
 * (5) Paths may start with the %KVLRoot% macro (any letter case), replaced
 *     by the engine's root directory set with SetRootPath.
 *
 * Calling convention: stdcall on 32-bit Windows; the platform's C convention
 * elsewhere. Exported by name (and on Windows by the fixed ordinal given in
 * brackets before each declaration).
 */
#ifndef TZ_MORKA_H
#define TZ_MORKA_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(TZM_BUILDING_LIBRARY)
#    define TZM_EXPORT_ATTRIBUTE __declspec(dllexport)
#  else
#    define TZM_EXPORT_ATTRIBUTE __declspec(dllimport)
#  endif
#  if defined(_WIN64)
#    define TZM_CALL
#  else
#    define TZM_CALL __stdcall
#  endif
#else
#  if defined(TZM_BUILDING_LIBRARY)
#    define TZM_EXPORT_ATTRIBUTE __attribute__((visibility("default")))
#  else
#    define TZM_EXPORT_ATTRIBUTE
#  endif
#  define TZM_CALL
#endif

/* TZM_FUNCTION declares one export: attribute, result, convention, name. */
#define TZM_FUNCTION(returnType, name) TZM_EXPORT_ATTRIBUTE returnType TZM_CALL name

#ifdef __cplusplus
extern "C" {
#endif

/* TZMEngine is the engine handle returned by GetCryptObj. */
typedef struct TZMEngineObject* TZMEngine;

/* TZM_MAX_FILE_PATH_LENGTH is the answer of GetMaxFilePathLength. */
#define TZM_MAX_FILE_PATH_LENGTH 255

/* [1] GetCryptObj creates a new independent engine with default parameters
 * and returns it; Reserved is ignored. NULL when creation fails. */
TZM_FUNCTION(TZMEngine, GetCryptObj)(int32_t Reserved);

/* [2] DoneEngine destroys Engine. NULL, unknown or released handles are ignored. */
TZM_FUNCTION(void, DoneEngine)(TZMEngine Engine);

/* [3] GetMaxEncodeAddition returns how many bytes EncodeData may add. */
TZM_FUNCTION(int32_t, GetMaxEncodeAddition)(TZMEngine Engine);

/* [4] GetMaxSignatureLength returns the size of a signature buffer for SignData. */
TZM_FUNCTION(int32_t, GetMaxSignatureLength)(TZMEngine Engine);

/* [5] GetMaxUIDLength returns the longest UID in characters (254; UID buffers
 * hold one more byte). */
TZM_FUNCTION(int32_t, GetMaxUIDLength)(TZMEngine Engine);

/* [6] GetMaxCryptoParamNameLength returns the buffer size for a parameter name. */
TZM_FUNCTION(int32_t, GetMaxCryptoParamNameLength)(TZMEngine Engine);

/* [7] GetMaxCryptoParamValueLength returns the buffer size for a parameter value. */
TZM_FUNCTION(int32_t, GetMaxCryptoParamValueLength)(TZMEngine Engine);

/* [8] GetMaxErrorStringLength returns the buffer size for GetCryptoErrorString. */
TZM_FUNCTION(int32_t, GetMaxErrorStringLength)(TZMEngine Engine);

/* [9] GetCryptoParamNumber returns the number of parameters (13). */
TZM_FUNCTION(int32_t, GetCryptoParamNumber)(TZMEngine Engine);

/* [10] GetCryptoParamName writes the name of parameter Index (1-based) into
 * Name; an index out of range writes the empty text. */
TZM_FUNCTION(void, GetCryptoParamName)(TZMEngine Engine, int32_t Index, char* Name);

/* [11] GetCryptoParamValue writes the value of parameter Index (1-based) into
 * Value, cut to GetMaxCryptoParamValueLength - 1 characters; an index out of
 * range writes the empty text. */
TZM_FUNCTION(void, GetCryptoParamValue)(TZMEngine Engine, int32_t Index, char* Value);

/* [12] SetCryptoParamValue stores Value (NULL counts as empty) as parameter
 * Index; returns 0, or -1 for an index out of range. */
TZM_FUNCTION(int32_t, SetCryptoParamValue)(TZMEngine Engine, int32_t Index, const char* Value);

/* [13] GetEncodeUIDBySignUID writes into EncodeUID the UID used to encrypt for
 * the owner of SignUID. */
TZM_FUNCTION(int32_t, GetEncodeUIDBySignUID)(TZMEngine Engine, const char* SignUID, char* EncodeUID);

/* [14] GetCryptoErrorString writes the message of Code into Text (at least
 * GetMaxErrorStringLength bytes, zero-filled first); for -3 the message is
 * followed by the engine's last failure text. Unknown codes give the empty text. */
TZM_FUNCTION(void, GetCryptoErrorString)(TZMEngine Engine, int32_t Code, char* Text);

/* [15] EncodeData encrypts Data in place for RecipientUID (a UID or a
 * ";"-separated list; NULL or empty: the configured recipients). *DataLen is
 * the input length on entry and the output length on success; the buffer
 * needs GetMaxEncodeAddition (or GetMaxAdditionEx) bytes of extra room. */
TZM_FUNCTION(int32_t, EncodeData)(TZMEngine Engine, unsigned char* Data, int32_t* DataLen, const char* RecipientUID);

/* [16] DecodeData decrypts Data in place; *DataLen as for EncodeData. */
TZM_FUNCTION(int32_t, DecodeData)(TZMEngine Engine, unsigned char* Data, int32_t* DataLen, void* Reserved);

/* [17] SignData signs DataLen bytes of Data into Signature (capacity
 * *SignatureLen, GetMaxSignatureLength is enough); *SignatureLen receives the
 * signature length. SignerUID is not read. */
TZM_FUNCTION(int32_t, SignData)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen,
                                unsigned char* Signature, int32_t* SignatureLen, const char* SignerUID);

/* [18] VerifyData verifies Signature over Data and writes the signer's UID into
 * SignerUID (at least 255 bytes). */
TZM_FUNCTION(int32_t, VerifyData)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen,
                                  const unsigned char* Signature, int32_t SignatureLen, char* SignerUID);

/* [19] GetCurrentUserUID writes the current user's UID into UID (at least 255 bytes). */
TZM_FUNCTION(int32_t, GetCurrentUserUID)(TZMEngine Engine, char* UID);

/* [20] GenerateNewSSK: the same as GenerateNewSEK (one key pair serves
 * signing and encryption). */
TZM_FUNCTION(int32_t, GenerateNewSSK)(TZMEngine Engine);

/* [21] GenerateNewSEK generates a new key pair into the files named by the
 * "Key gen - ..." parameters. */
TZM_FUNCTION(int32_t, GenerateNewSEK)(TZMEngine Engine);

/* [22] IsDifferentKeys returns -1 when signing and encryption use different
 * keys, 0 when they share one key pair; -1 also on failure. */
TZM_FUNCTION(int32_t, IsDifferentKeys)(TZMEngine Engine);

/* [23] SetPasswordRequestFunc stores the host's password request function. */
TZM_FUNCTION(void, SetPasswordRequestFunc)(TZMEngine Engine, void* Callback);

/* [24] GetMaxPasswordLength returns the longest password in bytes. */
TZM_FUNCTION(int32_t, GetMaxPasswordLength)(TZMEngine Engine);

/* [25] IncludePublicKey adds the public key file FileName to the store of
 * correspondents' keys. */
TZM_FUNCTION(int32_t, IncludePublicKey)(TZMEngine Engine, const char* FileName);

/* [26] IncludePublicEncodeKey: as IncludePublicKey (one key pair serves both uses). */
TZM_FUNCTION(int32_t, IncludePublicEncodeKey)(TZMEngine Engine, const char* FileName);

/* [27] SignFile: not available (-1). */
TZM_FUNCTION(int32_t, SignFile)(TZMEngine Engine, void* Arg);

/* [28] VerifyFile: not available (-1). */
TZM_FUNCTION(int32_t, VerifyFile)(TZMEngine Engine, void* Arg1, void* Arg2);

/* [29] RemoveSignaturesFromFile: not available (-1). */
TZM_FUNCTION(int32_t, RemoveSignaturesFromFile)(TZMEngine Engine, void* Arg);

/* [30] GetLastErrorMessage always writes the empty text; use
 * GetCryptoErrorString(-3) for the last failure. */
TZM_FUNCTION(void, GetLastErrorMessage)(TZMEngine Engine, char* Text);

/* [31] SetRootPath fixes the process-wide root directory (only the first
 * root is accepted) and sets this engine's root used by %KVLRoot%. */
TZM_FUNCTION(void, SetRootPath)(TZMEngine Engine, const char* Path);

/* [32] TransSignatureFromFileToTM: not available (-1). */
TZM_FUNCTION(int32_t, TransSignatureFromFileToTM)(TZMEngine Engine);

/* [33] TransPrivateKeyFromFileToTM: not available (-1). */
TZM_FUNCTION(int32_t, TransPrivateKeyFromFileToTM)(TZMEngine Engine);

/* [34] SetTMRequestFunc stores the host's touch-memory request function. */
TZM_FUNCTION(void, SetTMRequestFunc)(TZMEngine Engine, void* Callback);

/* [35] ClearCash forgets loaded secret keys and cached public keys. */
TZM_FUNCTION(void, ClearCash)(TZMEngine Engine);

/* [36] RemoteGenerateStart starts a remote key regeneration and writes its
 * transfer text into Transfer (GetMaxPublicKeyTransferSize bytes). */
TZM_FUNCTION(int32_t, RemoteGenerateStart)(TZMEngine Engine, char* Transfer);

/* [37] SetRemoteGeneratePath sets the remote key generation directory. */
TZM_FUNCTION(void, SetRemoteGeneratePath)(TZMEngine Engine, const char* Path);

/* [38] AddSign signs Data in place, appending the signature; *DataLen as for
 * EncodeData; the buffer needs GetMaxSignAddition bytes of extra room. */
TZM_FUNCTION(int32_t, AddSign)(TZMEngine Engine, unsigned char* Data, int32_t* DataLen, void* Reserved);

/* [39] RemoveSign verifies and removes an attached signature in place and
 * writes the signer's UID into SignerUID (at least 255 bytes). */
TZM_FUNCTION(int32_t, RemoveSign)(TZMEngine Engine, unsigned char* Data, int32_t* DataLen, char* SignerUID);

/* [40] GetMaxSignAddition returns how many bytes AddSign may add. */
TZM_FUNCTION(int32_t, GetMaxSignAddition)(TZMEngine Engine);

/* [41] GetPublicKeyTransfer writes the transfer text of the key of UID into Transfer. */
TZM_FUNCTION(int32_t, GetPublicKeyTransfer)(TZMEngine Engine, const char* UID, char* Transfer);

/* [42] RemoteGenerateFinish completes a remote key regeneration. */
TZM_FUNCTION(int32_t, RemoteGenerateFinish)(TZMEngine Engine, void* Reserved);

/* [43] SavePublicKeyFromTransfer saves the public key carried by Transfer as
 * a key file in Directory. */
TZM_FUNCTION(int32_t, SavePublicKeyFromTransfer)(TZMEngine Engine, const char* Directory, const char* Transfer);

/* [44] GetMaxPublicKeyTransferSize returns the buffer size for a transfer text. */
TZM_FUNCTION(int32_t, GetMaxPublicKeyTransferSize)(TZMEngine Engine);

/* [45] IncludePublicKeyTransfer adds the public key carried by Transfer to the store. */
TZM_FUNCTION(int32_t, IncludePublicKeyTransfer)(TZMEngine Engine, const char* Transfer);

/* [46] ExcludeSelfPublicKeyTransfer writes the transfer text of the user's own key. */
TZM_FUNCTION(int32_t, ExcludeSelfPublicKeyTransfer)(TZMEngine Engine, char* Transfer);

/* [47] GetMaxFilePathLength returns 255 for any handle, NULL included. */
TZM_FUNCTION(int32_t, GetMaxFilePathLength)(TZMEngine Engine);

/* [48] GetRemoteGenType returns the kind of remote key generation supported. */
TZM_FUNCTION(int32_t, GetRemoteGenType)(TZMEngine Engine);

/* [49] SaveSignedDataToFile writes data and signature to FileName where the
 * engine supports it (the GOST engine answers -2). */
TZM_FUNCTION(int32_t, SaveSignedDataToFile)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen,
                                            const unsigned char* Signature, int32_t SignatureLen,
                                            const char* FileName);

/* [50] GetPublicKeyTransferByFile writes into Transfer the transfer text of
 * the key file FileName. Note the order: the output comes first. */
TZM_FUNCTION(int32_t, GetPublicKeyTransferByFile)(TZMEngine Engine, char* Transfer, const char* FileName);

/* [51] GetMaxReportSize returns the buffer size for GetReport. */
TZM_FUNCTION(int32_t, GetMaxReportSize)(TZMEngine Engine);

/* [52] GetReport writes the report of the key of UID into Report. */
TZM_FUNCTION(int32_t, GetReport)(TZMEngine Engine, const char* UID, char* Report);

/* [53] GetMaxAdditionEx returns how many bytes EncodeData may add for the
 * ";"-separated recipient list UIDList. */
TZM_FUNCTION(int32_t, GetMaxAdditionEx)(TZMEngine Engine, const char* UIDList);

/* [54] GetUIDByPublicKeyTransfer writes the UID carried by Transfer into UID. */
TZM_FUNCTION(int32_t, GetUIDByPublicKeyTransfer)(TZMEngine Engine, const char* Transfer, char* UID);

/* [55] UpdateCertificateCash refreshes the cached key of UID; where that is
 * not available the whole cache is cleared and 0 returned. */
TZM_FUNCTION(int32_t, UpdateCertificateCash)(TZMEngine Engine, const char* UID);

/* [56] GetMaxPublicKeyPropertiesLength: the same as GetMaxReportSize. */
TZM_FUNCTION(int32_t, GetMaxPublicKeyPropertiesLength)(TZMEngine Engine);

/* [57] GetPublicKeyProperties: the same as GetReport. */
TZM_FUNCTION(int32_t, GetPublicKeyProperties)(TZMEngine Engine, const char* UID, char* Properties);

/* [58] RemoteGenerateStartEx starts a remote regeneration for the new UID
 * (NULL or empty: derived from the current one); *KeyGenState is in/out. */
TZM_FUNCTION(int32_t, RemoteGenerateStartEx)(TZMEngine Engine, const char* UID, char* Transfer, int32_t* KeyGenState);

/* [59] RemoteGenerateFinishEx completes a remote regeneration with Transfer. */
TZM_FUNCTION(int32_t, RemoteGenerateFinishEx)(TZMEngine Engine, const char* Transfer, int32_t* KeyGenState);

/* [60] GetPublicKeyPropertiesByTransfer writes the report of the key carried by Transfer. */
TZM_FUNCTION(int32_t, GetPublicKeyPropertiesByTransfer)(TZMEngine Engine, const char* Transfer, char* Properties);

/* [61] GetPublicKeyPropertiesByFile writes the report of the key file FileName. */
TZM_FUNCTION(int32_t, GetPublicKeyPropertiesByFile)(TZMEngine Engine, const char* FileName, char* Properties);

/* [62] IncludeCACertificateFromTransfer: not available (-1). */
TZM_FUNCTION(int32_t, IncludeCACertificateFromTransfer)(TZMEngine Engine, void* Arg);

/* [63] CreateDirStructure prepares a key medium for the key file FileName;
 * Arg is ignored. */
TZM_FUNCTION(int32_t, CreateDirStructure)(TZMEngine Engine, const char* FileName, void* Arg);

/* [64] RemoveCertificate removes the key of UID from the store. */
TZM_FUNCTION(int32_t, RemoveCertificate)(TZMEngine Engine, const char* UID);

/* [65] VerifySignWOCheckValidity: the same as VerifyData. */
TZM_FUNCTION(int32_t, VerifySignWOCheckValidity)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen,
                                                 const unsigned char* Signature, int32_t SignatureLen,
                                                 char* SignerUID);

/* [66] CertAndRequestTransferMatch stores -1 in *Match and returns 0. */
TZM_FUNCTION(int32_t, CertAndRequestTransferMatch)(TZMEngine Engine, void* Arg1, void* Arg2, int32_t* Match);

/* [67] IncludeCRL: not available (-1). */
TZM_FUNCTION(int32_t, IncludeCRL)(TZMEngine Engine, void* Arg);

/* [68] ConvertTransferToSignedRequest: not available (-1). */
TZM_FUNCTION(int32_t, ConvertTransferToSignedRequest)(TZMEngine Engine, void* Arg);

/* [69] HashData hashes DataLen bytes of Data into Out in the form Format;
 * *OutLen follows the size-query rule. */
TZM_FUNCTION(int32_t, HashData)(TZMEngine Engine, const unsigned char* Data, int32_t DataLen, int32_t Format,
                                unsigned char* Out, int32_t* OutLen);

/* [70] ShowCertificate: not available (-1). */
TZM_FUNCTION(int32_t, ShowCertificate)(TZMEngine Engine, void* Arg);

/* [71] GetPureSign writes the signature value of the signature block Block as
 * text into Text; *TextLen follows the size-query rule. */
TZM_FUNCTION(int32_t, GetPureSign)(TZMEngine Engine, const unsigned char* Block, int32_t BlockLen, void* Reserved,
                                   char* Text, int32_t* TextLen);

/* [72] GetUIDByCertIdent: not available (-1). */
TZM_FUNCTION(int32_t, GetUIDByCertIdent)(TZMEngine Engine, void* Arg1, void* Arg2);

/* [73] InstallCertsInMyStore: not available (-1). */
TZM_FUNCTION(int32_t, InstallCertsInMyStore)(TZMEngine Engine, void* Arg);

/* [74] RegisterOIDInfo: not available (-1). */
TZM_FUNCTION(int32_t, RegisterOIDInfo)(TZMEngine Engine, const char* OID, const char* Info);

/* [75] GetParamInfo writes the kind of parameter Index into *ValueKind and
 * its description into Text; *TextLen follows the size-query rule. */
TZM_FUNCTION(int32_t, GetParamInfo)(TZMEngine Engine, int32_t Index, int32_t* ValueKind, char* Text,
                                    int32_t* TextLen);

/* [76] ExportObject exports the object of kind Kind into Buffer; *BufferLen
 * follows the size-query rule. Kinds the engine does not provide answer -1. */
TZM_FUNCTION(int32_t, ExportObject)(TZMEngine Engine, int32_t Kind, void* Arg2, void* Arg3, void* Arg4,
                                    unsigned char* Buffer, int32_t* BufferLen);

#ifdef __cplusplus
}
#endif

#endif /* TZ_MORKA_H */
