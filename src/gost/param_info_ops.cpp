// What a settings screen needs to know about each parameter, the constant
// and checked values that ExportObject hands out, and the preparation of a
// fresh key medium.
#include "TCryptoCEngine.h"
#include "support.h"

namespace tzm {
namespace {

// Kinds of parameter values as the host reads them.
enum TParamKind : int32_t {
  kKindRange = 1,        // a number range "low..high"
  kKindLengthRange = 2,  // a range of the same form
  kKindNumber = 4,       // a single number
  kKindChoice = 7,       // allowed values, one per line, CR LF between them
  kKindFileMask = 10,    // a file mask; the parameter names a file
  kKindDirMask = 11,     // a file mask; the parameter names a directory of such files
};

struct TParamInfo {
  int32_t Kind;
  const char* Text;
};

// Indexed by parameter number - 1. The upper bound of the time-outs is
// 2^31 - 8, as the host has always been told.
constexpr TParamInfo kParamInfo[kGostParamCount] = {
    {kKindFileMask, "*.pub"},                 // User PKey/Certificate
    {kKindFileMask, "*.sec"},                 // User Secret key
    {kKindDirMask, "*.pub"},                  // Abonents dir
    {kKindDirMask, "*.pub"},                  // CA dir
    {kKindRange, "0..1"},                     // Encrypt Method
    {kKindNumber, "255"},                     // Encrypt for UID
    {kKindRange, "0..2147483640"},            // Key request time out
    {kKindRange, "0..2147483640"},            // Last operation key time out
    {kKindChoice, "1994\r\n2001"},            // Key gen - GOST
    {kKindLengthRange, "0..255"},             // Key gen - UID
    {kKindFileMask, "*.pub"},                 // Key gen - PKey filename
    {kKindFileMask, "*.sec"},                 // Key gen - SKey filename
    {kKindChoice, "GOST\r\nOLD_FORMAT"},      // Hash method
};

constexpr int32_t kExportFlagLen = 4;
constexpr int32_t kAbonentsDirPresent = 0;
constexpr int32_t kAbonentsDirMissing = 2;

// ExportFlag answers one 32-bit value with the size protocol of the flag
// kinds: a nil buffer asks for the size (4); a smaller room gives -4 and the
// size; otherwise the value is stored and *bufferLen kept.
template <class TValue>
int32_t ExportFlag(uint8_t* buffer, int32_t* bufferLen, TValue&& value) {
  if (bufferLen == nullptr) return kErrBadPointer;
  if (buffer == nullptr) {
    *bufferLen = kExportFlagLen;
    return kResultOk;
  }
  if (*bufferLen < kExportFlagLen) {
    *bufferLen = kExportFlagLen;
    return kErrBadPointer;
  }
  EncodeFixed32(buffer, static_cast<uint32_t>(value()));
  return kResultOk;
}

std::string_view TrimControls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

}  // namespace

int32_t TCryptoCEngine::GetParamInfo(int32_t index, int32_t* valueKind, char* buffer, int32_t* bufferLen) {
  if (index < 1 || index > kGostParamCount) return kErrNoSuchParameter;
  if (valueKind == nullptr || bufferLen == nullptr) return kErrBadPointer;
  const TParamInfo& info = kParamInfo[index - 1];
  *valueKind = info.Kind;
  return Guard("GetParamInfo", kGuardFailure, [&] { return CopyOutText(info.Text, buffer, bufferLen); });
}

int32_t TCryptoCEngine::ExportRG_WO_dir_support(TArg, uint8_t* buffer, int32_t* bufferLen) {
  return Guard("ExportRG_WO_dir_support", kGuardFailure, [&] { return ExportFlag(buffer, bufferLen, [] { return 1; }); });
}

int32_t TCryptoCEngine::ExportParamCheckRes(TArg, uint8_t* buffer, int32_t* bufferLen) {
  return Guard("ExportParamCheckRes", kGuardFailure, [&] {
    return ExportFlag(buffer, bufferLen, [&] {
      const std::string_view dir = TrimControls(ParamValue(kParamAbonentsDir));
      if (dir.empty()) return kAbonentsDirMissing;
      return IsDirectory(ExpandRootMacroDir(std::string(dir))) ? kAbonentsDirPresent : kAbonentsDirMissing;
    });
  });
}

int32_t TCryptoCEngine::CreateDirStructure(const char* keyFileName, TArg) {
  if (keyFileName == nullptr) return kErrKeyMediumStructure;
  return Guard("CreateDirStructure", kGuardFailure, [&]() -> int32_t {
    const std::string publicKeyPath = ExpandRootMacro(ParamValue(kParamUserPublicKey));
    const std::string abonentsDir = ExpandRootMacroDir(ParamValue(kParamAbonentsDir));
    const std::string caDir = ExpandRootMacroDir(ParamValue(kParamCADir));

    const std::string source = ExpandRootMacro(keyFileName);
    if (!platform::FileExists(source)) return kErrKeyMediumStructure;
    if (source != publicKeyPath && !CopyFileData(source, publicKeyPath)) return kErrKeyMediumStructure;

    if (!IsDirectory(caDir)) (void)ForceDirs(caDir);
    if (!IsDirectory(abonentsDir)) (void)ForceDirs(abonentsDir);
    return IsDirectory(caDir) && IsDirectory(abonentsDir) ? kResultOk : kErrKeyMediumStructure;
  });
}

}  // namespace tzm
