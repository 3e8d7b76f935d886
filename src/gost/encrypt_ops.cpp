// EncodeData and DecodeData: encryption of host buffers in place for one or
// more correspondents, and the size figures a host needs to make room for
// the encrypted block.
#include <charconv>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry.h"

namespace tzm {
namespace {

// Header bound of an encrypted block: at most 279 fixed bytes (count 4,
// mode 4, sender UID and zero 255, data synchro and MAC 16) and at most 303
// per recipient (UID and zero 255, synchro 8, MAC 8, block key 32).
constexpr int64_t kFixedAddition = 279;
constexpr int64_t kPerRecipientAddition = 303;
constexpr int64_t kDefaultRecipientCount = 100;

int64_t AdditionFor(int64_t recipientCount) {
  return kPerRecipientAddition * (recipientCount > 0 ? recipientCount : kDefaultRecipientCount) + kFixedAddition;
}

// TrimControls removes leading and trailing characters with codes 0 to 32.
std::string_view TrimControls(std::string_view text) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// CountItems is the number of ";"-separated items of |list| (empty items
// count); nil or empty text has none.
int64_t CountItems(const char* list) {
  if (list == nullptr || *list == '\0') return 0;
  int64_t count = 1;
  for (const char* p = list; *p != '\0'; ++p) count += *p == ';' ? 1 : 0;
  return count;
}

}  // namespace

int32_t TCryptoCEngine::EncodeData(uint8_t* data, int32_t* dataLen, const char* recipientUID) {
  // The recipient list: the caller's, or else parameter 6. The host sizes
  // its buffer with GetMaxAdditionEx of what it passed, so a list from
  // parameter 6 may only use the room of GetMaxAdditionEx(nil).
  std::string recipients;
  int64_t room = 0;
  if (recipientUID != nullptr && recipientUID[0] != '\0') {
    recipients = recipientUID;
    room = AdditionFor(CountItems(recipientUID));
  } else {
    recipients = std::string(TrimControls(ParamValue(kParamEncryptForUID)));
    if (recipients.empty()) return kErrEmptyUID;
    room = AdditionFor(0);
  }

  TKeySet keys;
  const int32_t params = GetKeyParams(*this, keys);
  if (params != kResultOk) return params;

  // Cipher mode from parameter 5: empty is 0, a number other than 0 and 1 is 0.
  int32_t mode = 0;
  const std::string& method = ParamValue(kParamEncryptMethod);
  if (!method.empty()) {
    const char* end = method.data() + method.size();
    const auto [ptr, ec] = std::from_chars(method.data(), end, mode);
    if (ec != std::errc() || ptr != end) return kErrNumericParams;
    if (mode != 0 && mode != 1) mode = 0;
  }

  return Guard("EncodeData", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    const int32_t result = GetCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;
    if (dataLen == nullptr || *dataLen < 0) return kErrBadPointer;
    std::span<uint8_t> buffer;
    if (data != nullptr) buffer = std::span<uint8_t>(data, static_cast<size_t>(*dataLen + room));
    return binding->EncryptBuffer(buffer, *dataLen, keys, recipients, mode);
  });
}

int32_t TCryptoCEngine::DecodeData(uint8_t* data, int32_t* dataLen, TArg /*reserved: not used*/) {
  TKeySet keys;
  const int32_t params = GetKeyParams(*this, keys);
  if (params != kResultOk) return params;
  return Guard("DecodeData", kGuardFailure, [&]() -> int32_t {
    TCryptoC_DLL* binding = nullptr;
    const int32_t result = GetCryptoDLL(*this, keys, binding);
    if (result != kResultOk) return result;
    if (data == nullptr || dataLen == nullptr || *dataLen < 0) return kErrBadPointer;
    return binding->DecryptBuffer(std::span<uint8_t>(data, static_cast<size_t>(*dataLen)), *dataLen, keys);
  });
}

int32_t TCryptoCEngine::GetEncodeUIDBySignUID(const char* signUID, char* buffer) {
  if (signUID == nullptr || buffer == nullptr) return kErrBadPointer;
  return Guard("GetEncodeUIDBySignUID", kGuardFailure, [&]() -> int32_t {
    // UID buffers hold GetMaxUIDLength() + 1 bytes: a UID of the greatest
    // length is copied whole, with its terminating zero.
    return CopyTextToBuffer(signUID, buffer, GetMaxUIDLength() + 1) ? kResultOk : kErrCritical;
  });
}

namespace {

// AdditionQuery answers the growth for |recipientCount| recipients once the
// engine's binding is at hand (the key set is read without the time-outs).
template <class TEngine>
int32_t AdditionQuery(TEngine& engine, int64_t recipientCount) {
  TKeySet keys;
  keys.PublicKeyPath = engine.ExpandRootMacro(engine.ParamValue(kParamUserPublicKey));
  keys.SecretKeyPath = engine.ExpandRootMacro(engine.ParamValue(kParamUserSecretKey));
  keys.AbonentsDir = engine.ExpandRootMacroDir(engine.ParamValue(kParamAbonentsDir));
  keys.CADir = engine.ExpandRootMacroDir(engine.ParamValue(kParamCADir));
  TCryptoC_DLL* binding = nullptr;
  if (GetCryptoDLL(engine, keys, binding) != kResultOk) return kGuardSizeFailure;
  const int64_t addition = AdditionFor(recipientCount);
  return addition > INT32_MAX ? kGuardSizeFailure : static_cast<int32_t>(addition);
}

}  // namespace

int32_t TCryptoCEngine::GetMaxEncodeAddition() {
  return Guard("GetMaxEncodeAddition", kGuardSizeFailure, [&] { return AdditionQuery(*this, 0); });
}

int32_t TCryptoCEngine::GetMaxAdditionEx(const char* uidList) {
  return Guard("GetMaxAdditionEx", kGuardSizeFailure, [&] { return AdditionQuery(*this, CountItems(uidList)); });
}

}  // namespace tzm
