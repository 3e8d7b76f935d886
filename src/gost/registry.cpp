// The binding registry and the reading of an engine's key set. The registry
// only grows while the library is loaded: bindings hold the loaded secret
// key and the public-key cache that all engines of a key set share, and
// they outlive the engines that made them.
#include "registry.h"

#include <charconv>
#include <memory>
#include <vector>

namespace tzm {
namespace {

struct TCryptoDLLEntry {
  std::string KeySetText;
  std::unique_ptr<TCryptoC_DLL> Binding;
};

// CryptoDLLLock and CryptoDLLList. Function-local statics, so the registry
// also works in a process that never ran the library's start step (tests
// that link the engine directly).
platform::TCriticalSection& CryptoDLLLock() {
  static platform::TCriticalSection lock;
  return lock;
}

std::vector<TCryptoDLLEntry>& CryptoDLLList() {
  static std::vector<TCryptoDLLEntry> list;
  return list;
}

// ParseTimeout: an empty value is the default; otherwise the whole text must
// be a decimal integer ("60 " is not).
bool ParseTimeout(const std::string& text, int32_t fallback, int32_t& out) {
  if (text.empty()) {
    out = fallback;
    return true;
  }
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

}  // namespace

int32_t GetKeyParams(const TCryptoCEngine& engine, TKeySet& keys) {
  keys.PublicKeyPath = engine.ExpandRootMacro(engine.ParamValue(kParamUserPublicKey));
  keys.SecretKeyPath = engine.ExpandRootMacro(engine.ParamValue(kParamUserSecretKey));
  keys.AbonentsDir = engine.ExpandRootMacroDir(engine.ParamValue(kParamAbonentsDir));
  keys.CADir = engine.ExpandRootMacroDir(engine.ParamValue(kParamCADir));
  const bool requestOk = ParseTimeout(engine.ParamValue(kParamKeyRequestTimeOut), 60, keys.KeyRequestTimeout);
  const bool lastOk = ParseTimeout(engine.ParamValue(kParamLastOperationTimeOut), 5, keys.LastOperationTimeout);
  return requestOk && lastOk ? kResultOk : kErrNumericParams;
}

std::string KeySetText(const TKeySet& keys) {
  return keys.PublicKeyPath + keys.SecretKeyPath + keys.AbonentsDir + keys.CADir;
}

int32_t GetCryptoDLLByText(const std::string& keySetText, void* passwordRequestFunc, TCryptoC_DLL*& binding) {
  binding = nullptr;
  platform::TCriticalSectionGuard guard(CryptoDLLLock());
  std::vector<TCryptoDLLEntry>& list = CryptoDLLList();
  for (const TCryptoDLLEntry& entry : list) {
    if (SameText(entry.KeySetText, keySetText)) {
      binding = entry.Binding.get();
      return binding != nullptr ? kResultOk : kErrLibraryInit;
    }
  }
  // Created under the lock, so two threads asking for one new key set get
  // one binding. A binding that failed to load is destroyed at once.
  auto created = std::make_unique<TCryptoC_DLL>();
  if (!created->LibraryLoaded) return kErrLoadLibrary;
  if (!created->EntriesResolved) return kErrMissingEntryPoints;
  created->PasswordRequestFunc = passwordRequestFunc;
  list.push_back(TCryptoDLLEntry{keySetText, std::move(created)});
  binding = list.back().Binding.get();
  return kResultOk;
}

int32_t GetCryptoDLL(TCryptoCEngine& engine, const TKeySet& keys, TCryptoC_DLL*& binding) {
  return GetCryptoDLLByText(KeySetText(keys), engine.PasswordRequestFunc, binding);
}

int32_t GetKeysAndCryptoDLL(TCryptoCEngine& engine, TKeySet& keys, TCryptoC_DLL*& binding) {
  binding = nullptr;
  const int32_t result = GetKeyParams(engine, keys);
  if (result != kResultOk) return result;
  return GetCryptoDLL(engine, keys, binding);
}

void ForEachCryptoDLL(const std::function<void(TCryptoC_DLL&)>& visit) {
  platform::TCriticalSectionGuard guard(CryptoDLLLock());
  for (TCryptoDLLEntry& entry : CryptoDLLList()) {
    if (entry.Binding) visit(*entry.Binding);
  }
}

size_t CryptoDLLCount() {
  platform::TCriticalSectionGuard guard(CryptoDLLLock());
  return CryptoDLLList().size();
}

void StartBindingRegistry() {
  // The binding module starts first and stops last.
  TCryptoC_DLL::StartLibraryModule();
  platform::TCriticalSectionGuard guard(CryptoDLLLock());
  CryptoDLLList().clear();
}

void StopBindingRegistry() {
  {
    platform::TCriticalSectionGuard guard(CryptoDLLLock());
    std::vector<TCryptoDLLEntry>& list = CryptoDLLList();
    while (!list.empty()) {
      list.front().Binding.reset();
      list.erase(list.begin());
    }
  }
  // The binding module stops after the registry: no binding is left to use
  // the library.
  TCryptoC_DLL::UnloadLibrary();
}

}  // namespace tzm
