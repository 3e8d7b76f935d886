// Run-time loaded libraries on POSIX through the dynamic linker.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "posix_internal.h"

namespace tzm::platform {
namespace {

bool HasFolder(std::string_view path) { return path.find_first_of("\\/:") != std::string_view::npos; }

void* OpenNative(const std::string& native) {
  return native.empty() ? nullptr : ::dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
}

bool IsRegularFile(const std::string& native) {
  struct stat st;
  return ::stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string BaseName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool SameText1251(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Cp1251Upper(a[i]) != Cp1251Upper(b[i])) return false;
  }
  return true;
}

struct TModuleSearch {
  std::string Wanted;  // CP1251 base name
  std::string Found;   // native file name
};

int VisitModule(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<TModuleSearch*>(data);
  if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') return 0;
  if (SameText1251(Utf8ToCp1251(BaseName(info->dlpi_name)), search->Wanted)) {
    search->Found = info->dlpi_name;
    return 1;
  }
  return 0;
}

}  // namespace

TModule TModule::Open(std::string_view path) {
  TModule module;
  if (path.empty()) return module;
  if (HasFolder(path)) {
    module.Handle = OpenNative(MapPath(path));
    return module;
  }
  // A bare name: the absolute folders of "Path" first, as the Windows loader
  // searches them; the current folder is never searched.
  if (const auto searchPath = GetEnv("Path")) {
    size_t pos = 0;
    while (pos <= searchPath->size()) {
      size_t end = searchPath->find(';', pos);
      if (end == std::string::npos) end = searchPath->size();
      const std::string folder = searchPath->substr(pos, end - pos);
      pos = end + 1;
      if (folder.empty()) continue;
      const std::string native = MapPath(folder + "\\" + std::string(path));
      // Relative entries (".", "bin") would lead back to the current folder,
      // where anyone who can write a file could plant a library.
      if (native.empty() || native[0] != '/') continue;
      if (IsRegularFile(native)) {
        module.Handle = OpenNative(native);
        if (module.Handle != nullptr) return module;
      }
    }
  }
  module.Handle = OpenNative(Cp1251ToUtf8(path));
  return module;
}

void* TModule::Resolve(const char* name) const {
  if (Handle == nullptr || name == nullptr) return nullptr;
  return ::dlsym(Handle, name);
}

std::string TModule::FilePath() const {
  if (Handle == nullptr) return {};
  link_map* map = nullptr;
  if (::dlinfo(Handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) return {};
  return Utf8ToCp1251(map->l_name);
}

void TModule::Release() {
  if (Handle != nullptr) {
    ::dlclose(Handle);
    Handle = nullptr;
  }
}

std::string HostExecutablePath() {
  std::vector<char> buffer(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return {};
  return Utf8ToCp1251(std::string_view(buffer.data(), static_cast<size_t>(n)));
}

std::string LoadedModulePath(std::string_view baseName) {
  TModuleSearch search{std::string(baseName), {}};
  ::dl_iterate_phdr(VisitModule, &search);
  if (!search.Found.empty()) return Utf8ToCp1251(search.Found);
  return HostExecutablePath();
}

}  // namespace tzm::platform
