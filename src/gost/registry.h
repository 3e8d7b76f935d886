// The process-wide registry of bindings: one TCryptoC_DLL per key set, made
// on first use and kept until the library unloads, shared by every engine
// configured with that key set. CryptoDLLLock guards the list and is always
// taken before a binding's own locks.
#ifndef TZM_GOST_REGISTRY_H
#define TZM_GOST_REGISTRY_H

#include <cstdint>
#include <functional>
#include <string>

#include "TCryptoCEngine.h"
#include "cryptlib.h"

namespace tzm {

// GetKeyParams reads the engine's key set: parameters 1 and 2 in file form,
// 3 and 4 in directory form, the key request time-out (parameter 7, empty =
// 60) and the last operation time-out (parameter 8, empty = 5). Answers 0,
// or -13 when a time-out is not a decimal integer (the paths are filled
// either way). No range check: 0 and negative time-outs are accepted.
[[nodiscard]] int32_t GetKeyParams(const TCryptoCEngine& engine, TKeySet& keys);

// KeySetText is the text a key set is registered under: the four paths
// concatenated without separator.
std::string KeySetText(const TKeySet& keys);

// GetCryptoDLL finds the binding registered for the key set (texts compared
// ignoring letter case) or creates and registers it, handing it the engine's
// password-request callback. Answers 0 with |binding| set; -29 when
// libcrypt.dll cannot be loaded, -30 when it lacks an entry point (nothing is
// registered then, so the next call tries again); -1 for a registered entry
// without a binding.
[[nodiscard]] int32_t GetCryptoDLL(TCryptoCEngine& engine, const TKeySet& keys, TCryptoC_DLL*& binding);

// GetKeysAndCryptoDLL is GetKeyParams followed, when it answers 0, by GetCryptoDLL.
[[nodiscard]] int32_t GetKeysAndCryptoDLL(TCryptoCEngine& engine, TKeySet& keys, TCryptoC_DLL*& binding);

// GetCryptoDLLByText is GetCryptoDLL for a key-set text and a callback value.
[[nodiscard]] int32_t GetCryptoDLLByText(const std::string& keySetText, void* passwordRequestFunc,
                                         TCryptoC_DLL*& binding);

// ForEachCryptoDLL calls |visit| for every registered binding in list order
// while holding CryptoDLLLock.
void ForEachCryptoDLL(const std::function<void(TCryptoC_DLL&)>& visit);

// CryptoDLLCount answers the number of registered key sets.
size_t CryptoDLLCount();

// StartBindingRegistry starts the binding module and creates the empty
// registry (library load).
// StopBindingRegistry destroys every binding, first entry first (which wipes
// their key material), then releases libcrypt.dll (library unload).
void StartBindingRegistry();
void StopBindingRegistry();

}  // namespace tzm

#endif  // TZM_GOST_REGISTRY_H
