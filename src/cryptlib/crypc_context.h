// RAII holders for the zero-filled contexts libcrypt.dll works in. Each
// family has its exact size and its clear entry point; the holder runs the
// clear call and then wipes the area on every path, so no key schedule or
// secret survives a failed operation. Internal to cryptlib/.
#ifndef TZM_CRYPTLIB_CRYPC_CONTEXT_H
#define TZM_CRYPTLIB_CRYPC_CONTEXT_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "cryptoc_dll.h"

namespace tzm {

template <size_t Len, auto ClearEntry>
class TCrypCContext {
 public:
  explicit TCrypCContext(const TCryptoC_DLL& dll) : Dll(dll) { Area.fill(0); }
  ~TCrypCContext() {
    if (!Cleared) {
      try {
        (void)Clear();
      } catch (...) {
        // A misbehaving clear call must not escape a destructor; the wipe
        // below still runs.
      }
    }
    SecureWipe(Area.data(), Area.size());
  }
  TCrypCContext(const TCrypCContext&) = delete;
  TCrypCContext& operator=(const TCrypCContext&) = delete;

  void* Get() { return Area.data(); }

  // Clear runs the family's clear entry point now and answers its code; the
  // destructor then only wipes.
  [[nodiscard]] int32_t Clear() {
    Cleared = true;
    return (Dll.*ClearEntry)(static_cast<void*>(Area.data()));
  }

 private:
  const TCryptoC_DLL& Dll;
  alignas(8) std::array<uint8_t, Len> Area;
  bool Cleared = false;
};

using THashContext = TCrypCContext<kCrypCHashContextLen, &TCryptoC_DLL::CrypC_R34_11_1994_clear<void*>>;
using TMacContext = TCrypCContext<kCrypCMacContextLen, &TCryptoC_DLL::CrypC_G28147_1989_mac_clear<void*>>;
using TGammaContext =
    TCrypCContext<kCrypCGammaContextLen, &TCryptoC_DLL::CrypC_G28147_1989_gamma_clear<void*>>;
using TGammaOfbContext =
    TCrypCContext<kCrypCGammaOfbContextLen, &TCryptoC_DLL::CrypC_G28147_1989_gamma_ofb_clear<void*>>;
using TSign1994Context =
    TCrypCContext<kCrypC1994ContextLen, &TCryptoC_DLL::CrypC_LR34_10_1994_clear<void*>>;
using TSign2001Context =
    TCrypCContext<kCrypC2001ContextLen, &TCryptoC_DLL::CrypC_LR34_10_2001_clear<void*>>;
using TExchangeContext = TCrypCContext<kCrypCDhContextLen, &TCryptoC_DLL::CrypC_LDH_PKA_clear<void*>>;

}  // namespace tzm

#endif  // TZM_CRYPTLIB_CRYPC_CONTEXT_H
