// "tzcli demo": what a host sees right after loading the library.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "platform.h"

namespace tzcli {

std::string ToTerminal(const std::string& cp1251) { return tzm::platform::Cp1251ToUtf8(cp1251); }

namespace {

// No export answers the engine type; GetCryptObj always creates the GOST
// engine, whose type is "Crypto-C". Printed as known, not as asked.
constexpr const char* kEngineType = "Crypto-C (GOST engine; the type itself has no export)";

}  // namespace

int RunDemo(THostLibrary& lib, const TArgs&) {
  TZMEngine engine = lib.GetCryptObj(0);
  if (engine == nullptr) {
    std::fprintf(stderr, "tzcli: GetCryptObj failed\n");
    return 1;
  }
  std::printf("library:     %s\n", lib.Path().c_str());
  std::printf("engine:      created (%p)\n", static_cast<void*>(engine));
  std::printf("engine type: %s\n", kEngineType);
  std::printf("limits:      UID %d, signature %d, parameter name %d, parameter value %d, message %d, file path %d\n",
              lib.GetMaxUIDLength(engine), lib.GetMaxSignatureLength(engine),
              lib.GetMaxCryptoParamNameLength(engine), lib.GetMaxCryptoParamValueLength(engine),
              lib.GetMaxErrorStringLength(engine), lib.GetMaxFilePathLength(engine));

  const int32_t numParams = lib.GetCryptoParamNumber(engine);
  std::printf("\nparameters (%d):\n", numParams);
  std::vector<char> name(static_cast<size_t>(std::max(lib.GetMaxCryptoParamNameLength(engine), 1)) + 1);
  std::vector<char> value(static_cast<size_t>(std::max(lib.GetMaxCryptoParamValueLength(engine), 1)) + 1);
  for (int32_t i = 1; i <= numParams; ++i) {
    lib.GetCryptoParamName(engine, i, name.data());
    lib.GetCryptoParamValue(engine, i, value.data());
    std::printf("  %2d  %-28s = \"%s\"\n", i, ToTerminal(name.data()).c_str(), ToTerminal(value.data()).c_str());
  }

  std::printf("\nresult-code messages:\n");
  std::vector<char> message(static_cast<size_t>(std::max(lib.GetMaxErrorStringLength(engine), 1)) + 1);
  for (int32_t code : {0, -1, -3, -4, -13, -29, 5}) {
    lib.GetCryptoErrorString(engine, code, message.data());
    std::printf("  %4d  %s\n", code, ToTerminal(message.data()).c_str());
  }
  lib.DoneEngine(engine);
  return 0;
}

}  // namespace tzcli
