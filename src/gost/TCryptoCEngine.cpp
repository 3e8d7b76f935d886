// Construction of the GOST engine, its parameter set, its type and fixed size
// answers, and the failure recording shared by every guarded operation.
#include "TCryptoCEngine.h"

#include <cstring>

namespace tzm {

const TGostParamDefault kGostParamDefaults[kGostParamCount] = {
    {"User PKey/Certificate", "A:\\self.pub"},
    {"User Secret key", "A:\\self.sec"},
    {"Abonents dir", "A:\\ABONENTS"},
    {"CA dir", "A:\\CA"},
    {"Encrypt Method", "1"},
    {"Encrypt for UID", "User1"},
    {"Key request time out", "60"},
    {"Last operation key time out", "5"},
    {"Key gen - GOST", "2001"},
    {"Key gen - UID", "User2"},
    {"Key gen - PKey filename", "A:\\new.pub"},
    {"Key gen - SKey filename", "A:\\new.sec"},
    {"Hash method", ""},
};

TCryptoCEngine::TCryptoCEngine() {
  ParamNames.reserve(kGostParamCount);
  ParamValues.reserve(kGostParamCount);
  for (const TGostParamDefault& param : kGostParamDefaults) {
    ParamNames.emplace_back(param.Name);
    ParamValues.emplace_back(param.Default);
  }
}

TCryptoCEngine::~TCryptoCEngine() = default;

const std::string& TCryptoCEngine::ParamValue(int32_t index) const {
  static const std::string kEmpty;
  if (index < 1 || static_cast<size_t>(index) > ParamValues.size()) return kEmpty;
  return ParamValues[static_cast<size_t>(index) - 1];
}

void TCryptoCEngine::GetCryptoEngineType(char* buffer) {
  Guard("GetCryptoEngineType", 0, [&] {
    RequirePointer(buffer, "GetCryptoEngineType");
    std::memset(buffer, 0, kGostEngineTypeLen);
    std::memcpy(buffer, kGostEngineType.data(), kGostEngineType.size());
  });
}

int32_t TCryptoCEngine::GetMaxUIDLength() { return kGostMaxUIDLength; }

int32_t TCryptoCEngine::GetMaxSignatureLength() { return GetMaxUIDLength() + 1 + kGostSignatureBodyLen; }

void TCryptoCEngine::RecordFailure(std::string_view label, const std::exception& e) noexcept {
  try {
    std::string text = "TCryptoCEngine.";
    text.append(label);
    text.append(": ");
    text.append(DescribeException(&e));
    LastErrorText->WriteText(text);
  } catch (...) {
    // Recording is best effort: the operation still answers its failure value.
  }
}

}  // namespace tzm
