// Signature and encrypted-block operations that are not available yet. Each
// body moves to signing.cpp or encryption.cpp when it is written.
#include "cryptoc_dll.h"

namespace tzm {
namespace {

[[noreturn]] void NotYetAvailable(const char* operation) {
  throw EException(FormatText("TCryptoC_DLL.%s is not yet available", operation));
}

}  // namespace

int32_t TCryptoC_DLL::GostMac(std::span<const uint8_t>, std::span<const uint8_t, kBlockKeyLen>,
                              std::span<uint8_t, kMacLen>) {
  NotYetAvailable("GostMac");
}

int32_t TCryptoC_DLL::GostCrypt(std::span<const uint8_t>, std::span<uint8_t>, int32_t, std::span<uint8_t, kMacLen>,
                                std::span<uint8_t, kSynchroLen>, std::span<const uint8_t, kBlockKeyLen>) {
  NotYetAvailable("GostCrypt");
}

int32_t TCryptoC_DLL::DerivePairKey(std::span<const uint8_t, kCrypCExchangeKeyLen>,
                                    std::span<const uint8_t, kCrypCExchangeKeyLen>, std::span<uint8_t, kPairKeyLen>) {
  NotYetAvailable("DerivePairKey");
}

int32_t TCryptoC_DLL::GetPairKey(std::string_view, std::span<uint8_t, kPairKeyLen>, const TKeySet&) {
  NotYetAvailable("GetPairKey");
}

int32_t TCryptoC_DLL::EncryptBuffer(std::span<uint8_t>, int32_t&, const TKeySet&, std::string_view, int32_t) {
  NotYetAvailable("EncryptBuffer");
}

int32_t TCryptoC_DLL::DecryptBuffer(std::span<uint8_t>, int32_t&, const TKeySet&) {
  NotYetAvailable("DecryptBuffer");
}

}  // namespace tzm
