// Construction of a binding: loading libcrypt.dll once per process, resolving
// the 60 entry points per binding, the shared random state and the parameter
// block. A missing library is not an error here; the registry turns the flags
// into result codes, and the next binding tries to load again.
#include <cmath>
#include <cstring>

#include "cryptoc_dll.h"

namespace tzm {
namespace {

// The one module handle of the process, and the lock that guards loading and
// unloading it. Function-local statics, so they exist before the first
// binding whatever the order of static initialisation.
platform::TCriticalSection& LibraryLock() {
  static platform::TCriticalSection lock;
  return lock;
}

platform::TModule& LibraryHandle() {
  static platform::TModule module;
  return module;
}

constexpr const char* kLibraryName = "libcrypt.dll";
constexpr const char* kFallbackModuleName = "CryptLib.dll";

// LoadCryptoLibrary finds libcrypt.dll through the root directory's search,
// then beside a module loaded as "CryptLib.dll" (or, failing that, beside the
// host executable, which is what the module query answers then).
platform::TModule LoadCryptoLibrary() {
  platform::TModule module = LoadLibraryByName(kLibraryName);
  if (module.IsLoaded()) return module;
  const std::string folder = ExtractFilePath(platform::LoadedModulePath(kFallbackModuleName));
  return LoadLibraryByName(folder + kLibraryName);
}

// The "test" S-boxes of GOST R 34.11-94 (RFC 5831 section 7.1, RFC 4357
// section 11.2, id-GostR3411-94-TestParamSet), one 4-bit value per byte, K8
// first and K1 last. The same table serves hash, MAC and gamma.
constexpr uint8_t kTestSboxTable[kCrypCSboxTableLen] = {
    0x01, 0x0F, 0x0D, 0x00, 0x05, 0x07, 0x0A, 0x04, 0x09, 0x02, 0x03, 0x0E, 0x06, 0x0B, 0x08, 0x0C,  // K8
    0x0D, 0x0B, 0x04, 0x01, 0x03, 0x0F, 0x05, 0x09, 0x00, 0x0A, 0x0E, 0x07, 0x06, 0x08, 0x02, 0x0C,  // K7
    0x04, 0x0B, 0x0A, 0x00, 0x07, 0x02, 0x01, 0x0D, 0x03, 0x06, 0x08, 0x05, 0x09, 0x0C, 0x0F, 0x0E,  // K6
    0x06, 0x0C, 0x07, 0x01, 0x05, 0x0F, 0x0D, 0x08, 0x04, 0x0A, 0x09, 0x0E, 0x00, 0x03, 0x0B, 0x02,  // K5
    0x07, 0x0D, 0x0A, 0x01, 0x00, 0x08, 0x09, 0x0F, 0x0E, 0x04, 0x06, 0x0C, 0x0B, 0x02, 0x05, 0x03,  // K4
    0x05, 0x08, 0x01, 0x0D, 0x0A, 0x03, 0x04, 0x02, 0x0E, 0x0F, 0x0C, 0x07, 0x06, 0x00, 0x09, 0x0B,  // K3
    0x0E, 0x0B, 0x04, 0x0C, 0x06, 0x0D, 0x0F, 0x0A, 0x02, 0x03, 0x08, 0x01, 0x00, 0x07, 0x05, 0x09,  // K2
    0x04, 0x0A, 0x09, 0x02, 0x0D, 0x08, 0x00, 0x0E, 0x06, 0x0B, 0x01, 0x0C, 0x07, 0x0F, 0x05, 0x03,  // K1
};

}  // namespace

TGostParamBlock::TGostParamBlock() {
  Bytes.fill(0);
  std::memcpy(Bytes.data(), kTestSboxTable, sizeof(kTestSboxTable));
}

int32_t TranslateCrypCResult(const char* entryName, int code) {
  if (code >= 0 && code <= 15) return code;
  throw ECryptLibError(FormatText("libcrypt.dll: %s returned the unexpected code %d", entryName, code));
}

TCryptoC_DLL::TCryptoC_DLL() {
  {
    platform::TCriticalSectionGuard guard(LibraryLock());
    if (!LibraryHandle().IsLoaded()) LibraryHandle() = LoadCryptoLibrary();
    if (!LibraryHandle().IsLoaded()) return;
    LibraryLoaded = true;
    ResolveEntries(LibraryHandle());
  }
}

TCryptoC_DLL::~TCryptoC_DLL() {
  try {
    ClearKeys();
  } catch (...) {
    // ClearKeys only releases memory; nothing may escape a destructor.
  }
}

void TCryptoC_DLL::ResolveEntries(const platform::TModule& module) {
  bool all = true;
#define TZM_CRYPC_RESOLVE(name, args)                                       \
  Entries.name = reinterpret_cast<name##_fn>(module.Resolve(#name));        \
  all = all && Entries.name != nullptr;
  CRYPC_ENTRY_POINTS(TZM_CRYPC_RESOLVE)
#undef TZM_CRYPC_RESOLVE
  EntriesResolved = all;
}

void TCryptoC_DLL::ThrowMissingEntry(const char* name) {
  throw ECryptLibError(FormatText("libcrypt.dll: entry point %s is not available", name));
}

void TCryptoC_DLL::StartLibraryModule() {
  // Made here, during library load, the lock and handle outlive the stop
  // step that releases the handle (statics end in reverse order of their
  // making).
  platform::TCriticalSectionGuard guard(LibraryLock());
  (void)LibraryHandle();
}

void TCryptoC_DLL::UnloadLibrary() {
  platform::TCriticalSectionGuard guard(LibraryLock());
  LibraryHandle().Release();
}

bool TCryptoC_DLL::IsLibraryLoaded() {
  platform::TCriticalSectionGuard guard(LibraryLock());
  return LibraryHandle().IsLoaded();
}

double TCryptoC_DLL::CurrentTimeOfDay() {
  const double now = platform::NowDayFraction();
  return now - std::floor(now);
}

void TCryptoC_DLL::TakeRandomState(TRandomRecord& record) {
  platform::TCriticalSectionGuard guard(RandomLock);
  std::memcpy(record.data(), RandomState.data(), record.size());
}

void TCryptoC_DLL::PutRandomState(const TRandomRecord& record) {
  platform::TCriticalSectionGuard guard(RandomLock);
  std::memcpy(RandomState.data(), record.data(), record.size());
}

std::array<uint8_t, kCrypCRandomStateLen> TCryptoC_DLL::RandomStateSnapshot() {
  std::array<uint8_t, kCrypCRandomStateLen> copy{};
  platform::TCriticalSectionGuard guard(RandomLock);
  std::memcpy(copy.data(), RandomState.data(), copy.size());
  return copy;
}

int32_t TCryptoC_DLL::RandomFill(std::span<uint8_t> out) {
  TRandomRecord random;
  TakeRandomState(random);
  const int32_t result = CrypC_Random_Fill(static_cast<void*>(random.data()), out.data(),
                                           static_cast<int>(out.size()));
  PutRandomState(random);
  return result;
}

}  // namespace tzm
