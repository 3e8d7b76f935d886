// Loads the built tz_morka library by path, the way a host does, and
// resolves the few exports the binding tests drive.
#ifndef TZM_TESTS_CRYPTLIB_EXPORT_LOADER_H
#define TZM_TESTS_CRYPTLIB_EXPORT_LOADER_H

#include <gtest/gtest.h>

#include <string>

#include "platform.h"
#include "tz_morka.h"

namespace tzm::test {

class TMorkaExports {
 public:
  TMorkaExports() : Module(platform::TModule::Open(TZM_MORKA_LIBRARY)) {
    Resolve(GetCryptObj, "GetCryptObj");
    Resolve(DoneEngine, "DoneEngine");
    Resolve(SetCryptoParamValue, "SetCryptoParamValue");
    Resolve(GetCurrentUserUID, "GetCurrentUserUID");
    Resolve(GetCryptoErrorString, "GetCryptoErrorString");
    Resolve(SetRootPath, "SetRootPath");
  }

  bool Ready() const {
    return Module.IsLoaded() && GetCryptObj && DoneEngine && SetCryptoParamValue && GetCurrentUserUID &&
           GetCryptoErrorString && SetRootPath;
  }

  // Unload releases the library, which runs its stop step.
  void Unload() { Module.Release(); }

  // NewEngine makes an engine whose key set lies in |folder| (ending in "/").
  TZMEngine NewEngine(const std::string& folder) {
    TZMEngine engine = GetCryptObj(0);
    SetCryptoParamValue(engine, 1, (folder + "self.pub").c_str());
    SetCryptoParamValue(engine, 2, (folder + "self.sec").c_str());
    SetCryptoParamValue(engine, 3, (folder + "ABONENTS").c_str());
    SetCryptoParamValue(engine, 4, (folder + "CA").c_str());
    return engine;
  }

  // CurrentUID answers GetCurrentUserUID's result and the UID text.
  int32_t CurrentUID(TZMEngine engine, std::string& uid) {
    char buffer[256] = {};
    const int32_t result = GetCurrentUserUID(engine, buffer);
    uid = buffer;
    return result;
  }

  decltype(&::GetCryptObj) GetCryptObj = nullptr;
  decltype(&::DoneEngine) DoneEngine = nullptr;
  decltype(&::SetCryptoParamValue) SetCryptoParamValue = nullptr;
  decltype(&::GetCurrentUserUID) GetCurrentUserUID = nullptr;
  decltype(&::GetCryptoErrorString) GetCryptoErrorString = nullptr;
  decltype(&::SetRootPath) SetRootPath = nullptr;

 private:
  template <class TFn>
  void Resolve(TFn& fn, const char* name) {
    fn = reinterpret_cast<TFn>(Module.Resolve(name));
  }

  platform::TModule Module;
};

}  // namespace tzm::test

#endif  // TZM_TESTS_CRYPTLIB_EXPORT_LOADER_H
