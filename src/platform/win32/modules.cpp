// Run-time loaded libraries through the Win32 loader.
#include <vector>

#include "win32_internal.h"

namespace tzm::platform {
namespace {

std::string ModuleFileName(HMODULE module) {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    const DWORD n = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

TModule::~TModule() { Release(); }

TModule::TModule(TModule&& other) noexcept : Handle(other.Handle) { other.Handle = nullptr; }

TModule& TModule::operator=(TModule&& other) noexcept {
  if (this != &other) {
    Release();
    Handle = other.Handle;
    other.Handle = nullptr;
  }
  return *this;
}

TModule TModule::Open(std::string_view path) {
  TModule module;
  if (!path.empty()) module.Handle = ::LoadLibraryW(Wide(path).c_str());
  return module;
}

void* TModule::Resolve(const char* name) const {
  if (Handle == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(Handle), name));
}

std::string TModule::FilePath() const {
  return Handle == nullptr ? std::string() : ModuleFileName(static_cast<HMODULE>(Handle));
}

void TModule::Release() {
  if (Handle != nullptr) {
    ::FreeLibrary(static_cast<HMODULE>(Handle));
    Handle = nullptr;
  }
}

std::string HostExecutablePath() { return ModuleFileName(nullptr); }

std::string LoadedModulePath(std::string_view baseName) {
  // A name that is not loaded gives a null handle, and the file name of the
  // null handle is the host executable's.
  return ModuleFileName(::GetModuleHandleW(Wide(baseName).c_str()));
}

}  // namespace tzm::platform
