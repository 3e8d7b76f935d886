// Operations of the GOST engine whose working versions are not written yet.
// Each answers the base default, exactly as the base class would. A working
// version replaces its line here with a body in its own file.
#include "TCryptoCEngine.h"

namespace tzm {

using Base = TCryptoEngine;

int32_t TCryptoCEngine::ExportTransferContent(TArg arg4, TArg arg2, uint8_t* buffer, int32_t* bufferLen) { return Base::ExportTransferContent(arg4, arg2, buffer, bufferLen); }
int32_t TCryptoCEngine::ExportRG_WO_dir_support(TArg arg4, uint8_t* buffer, int32_t* bufferLen) { return Base::ExportRG_WO_dir_support(arg4, buffer, bufferLen); }
int32_t TCryptoCEngine::ExportParamCheckRes(TArg arg4, uint8_t* buffer, int32_t* bufferLen) { return Base::ExportParamCheckRes(arg4, buffer, bufferLen); }
int32_t TCryptoCEngine::GetMaxPublicKeyTransferSize() { return Base::GetMaxPublicKeyTransferSize(); }
int32_t TCryptoCEngine::RemoteGenerateStart(char* outText) { return Base::RemoteGenerateStart(outText); }
int32_t TCryptoCEngine::RemoteGenerateFinish(TArg reserved) { return Base::RemoteGenerateFinish(reserved); }
int32_t TCryptoCEngine::ExcludeSelfPublicKeyTransfer(char* buffer) { return Base::ExcludeSelfPublicKeyTransfer(buffer); }
int32_t TCryptoCEngine::IncludePublicKeyTransfer(const char* transfer) { return Base::IncludePublicKeyTransfer(transfer); }
int32_t TCryptoCEngine::GetPublicKeyTransfer(const char* uid, char* buffer) { return Base::GetPublicKeyTransfer(uid, buffer); }
int32_t TCryptoCEngine::SavePublicKeyFromTransfer(const char* directory, const char* transfer) { return Base::SavePublicKeyFromTransfer(directory, transfer); }
int32_t TCryptoCEngine::RemoteGenerateStartEx(const char* uid, char* outText, int32_t* keyGenState) { return Base::RemoteGenerateStartEx(uid, outText, keyGenState); }
int32_t TCryptoCEngine::RemoteGenerateFinishEx(const char* transfer, int32_t* keyGenState) { return Base::RemoteGenerateFinishEx(transfer, keyGenState); }
int32_t TCryptoCEngine::GetPublicKeyTransferByFile(char* buffer, const char* fileName) { return Base::GetPublicKeyTransferByFile(buffer, fileName); }
int32_t TCryptoCEngine::GetMaxSignAddition() { return Base::GetMaxSignAddition(); }
int32_t TCryptoCEngine::GetRemoteGenType() { return Base::GetRemoteGenType(); }
int32_t TCryptoCEngine::GetUIDByPublicKeyTransfer(const char* transfer, char* buffer) { return Base::GetUIDByPublicKeyTransfer(transfer, buffer); }
int32_t TCryptoCEngine::GetPublicKeyPropertiesByTransfer(const char* transfer, char* buffer) { return Base::GetPublicKeyPropertiesByTransfer(transfer, buffer); }
int32_t TCryptoCEngine::CreateDirStructure(const char* keyFileName, TArg arg) { return Base::CreateDirStructure(keyFileName, arg); }
int32_t TCryptoCEngine::GetParamInfo(int32_t index, int32_t* valueKind, char* buffer, int32_t* bufferLen) { return Base::GetParamInfo(index, valueKind, buffer, bufferLen); }

}  // namespace tzm
