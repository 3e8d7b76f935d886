// Run-time loaded libraries through the Win32 loader.
#include <algorithm>
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

// IsBareName is true for a file name without any folder or drive part.
bool IsBareName(std::string_view path) { return path.find_first_of("\\/:") == std::string_view::npos; }

// IsAbsoluteFolder is true for "X:\..." and "\\server\..." folders; relative
// entries of "Path" (".", "bin") would lead back to the current folder.
bool IsAbsoluteFolder(std::string_view folder) {
  if (folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/')) return true;
  return folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\';
}

// SystemFolder answers a folder from GetSystemDirectoryW-like |query|.
template <typename TQuery>
std::string SystemFolder(TQuery query) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT n = query(buffer, MAX_PATH + 1);
  return (n == 0 || n > MAX_PATH) ? std::string() : Narrow(std::wstring_view(buffer, n));
}

// LoadBareName loads a library by file name alone from the folders the
// system loader searches: the executable's folder, the system and Windows
// folders, then the folders of "Path". The current folder is never searched
// (nor a relative "Path" entry): a library planted in whatever folder the
// host happens to work in must not be loaded in place of the crypto library.
HMODULE LoadBareName(std::string_view name) {
  const std::string exe = ModuleFileName(nullptr);
  std::vector<std::string> folders = {exe.substr(0, exe.find_last_of('\\') + 1),
                                      SystemFolder(::GetSystemDirectoryW), SystemFolder(::GetWindowsDirectoryW)};
  const std::string pathVar = GetEnv("Path").value_or(std::string());
  for (size_t start = 0; start <= pathVar.size();) {
    const size_t end = std::min(pathVar.find(';', start), pathVar.size());
    folders.push_back(pathVar.substr(start, end - start));
    start = end + 1;
  }
  for (std::string folder : folders) {
    if (!IsAbsoluteFolder(folder)) continue;
    if (folder.back() != '\\' && folder.back() != '/') folder.push_back('\\');
    const std::string candidate = folder + std::string(name);
    if (!FileExists(candidate)) continue;
    if (HMODULE module = ::LoadLibraryW(Wide(candidate).c_str())) return module;
  }
  return nullptr;
}

}  // namespace

TModule TModule::Open(std::string_view path) {
  TModule module;
  if (path.empty()) return module;
  module.Handle = IsBareName(path) ? LoadBareName(path) : ::LoadLibraryW(Wide(path).c_str());
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
