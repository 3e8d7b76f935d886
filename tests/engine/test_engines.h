// Engines for the framework tests: TBareEngine provides the abstract
// operations with scriptable answers and records what reached them.
#ifndef TZM_TESTS_ENGINE_TEST_ENGINES_H
#define TZM_TESTS_ENGINE_TEST_ENGINES_H

#include <cstring>
#include <functional>
#include <string>

#include "engine.h"

namespace tzm::test {

class TBareEngine : public TCryptoEngine {
 public:
  TBareEngine() = default;

  // Scripted answers of the abstract operations.
  std::function<int32_t(char*)> OnGetCurrentUserUID = [](char*) { return -11; };
  std::function<int32_t(const uint8_t*, int32_t, uint8_t*, int32_t*, const char*)> OnSignData;
  std::function<int32_t(const uint8_t*, int32_t, const uint8_t*, int32_t, char*)> OnVerifyData;
  int NumSignCalls = 0;
  int NumVerifyCalls = 0;

  void GetCryptoEngineType(char* buffer) override { std::strcpy(buffer, "Bare"); }
  int32_t GetEncodeUIDBySignUID(const char*, char*) override { return -1; }
  int32_t GetCurrentUserUID(char* buffer) override { return OnGetCurrentUserUID(buffer); }
  int32_t EncodeData(uint8_t*, int32_t*, const char*) override { return -1; }
  int32_t DecodeData(uint8_t*, int32_t*, TArg) override { return -1; }
  int32_t SignData(const uint8_t* data, int32_t dataLen, uint8_t* signature, int32_t* signatureLen,
                   const char* signerUID) override {
    ++NumSignCalls;
    return OnSignData ? OnSignData(data, dataLen, signature, signatureLen, signerUID) : -1;
  }
  int32_t VerifyData(const uint8_t* data, int32_t dataLen, const uint8_t* signature, int32_t signatureLen,
                     char* signerUID) override {
    ++NumVerifyCalls;
    return OnVerifyData ? OnVerifyData(data, dataLen, signature, signatureLen, signerUID) : -1;
  }

  // Calls the base versions of the abstract operations.
  void CallBaseAbstract(int which) {
    char text[8] = {};
    uint8_t data[8] = {};
    int32_t len = 0;
    switch (which) {
      case 0: TCryptoEngine::GetCryptoEngineType(text); break;
      case 1: TCryptoEngine::GetEncodeUIDBySignUID("a", text); break;
      case 2: TCryptoEngine::GetCurrentUserUID(text); break;
      case 3: TCryptoEngine::EncodeData(data, &len, "a"); break;
      case 4: TCryptoEngine::DecodeData(data, &len, nullptr); break;
      case 5: TCryptoEngine::SignData(data, 1, data, &len, "a"); break;
      default: TCryptoEngine::VerifyData(data, 1, data, 1, text); break;
    }
  }
};

}  // namespace tzm::test

#endif
