// The only file of tzcli that calls the operating system directly.
#include "host_os.h"

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cwchar>
#include <vector>

namespace tzcli {

#if defined(_WIN32)

const char* const kLibraryFileName = "tz_morka.dll";
const char* const kProviderFileName = "libcrypt.dll";
const char kPathSeparator = '\\';

namespace {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int len = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(len), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), len);
  return out;
}

std::string Narrow(const wchar_t* text, int len) {
  if (len <= 0) return std::string();
  const int outLen = WideCharToMultiByte(CP_UTF8, 0, text, len, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(outLen), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, len, out.data(), outLen, nullptr, nullptr);
  return out;
}

}  // namespace

void* OpenModule(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryW(Widen(path).c_str());
  if (module == nullptr) error = "LoadLibrary failed, error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}

void* FindSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void CloseModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

std::string ProgramDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD len = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (len == 0) return std::string();
    if (len < buffer.size()) {
      std::string path = Narrow(buffer.data(), static_cast<int>(len));
      return path.substr(0, path.find_last_of("\\/") + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i], static_cast<int>(wcslen(wide[i]))));
  LocalFree(wide);
  return args;
}

std::string EnvironmentUtf8(const char* name) {
  const std::wstring wideName = Widen(name);
  const wchar_t* value = _wgetenv(wideName.c_str());
  return value != nullptr ? Narrow(value, static_cast<int>(wcslen(value))) : std::string();
}

void PrepareTerminal() { SetConsoleOutputCP(CP_UTF8); }

unsigned long ProcessId() { return GetCurrentProcessId(); }

#else

const char* const kLibraryFileName = "libtz_morka.so";
const char* const kProviderFileName = "libcrypt.dll";
const char kPathSeparator = '/';

void* OpenModule(const std::string& path, std::string& error) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : "dlopen failed";
  }
  return module;
}

void* FindSymbol(void* module, const char* name) { return dlsym(module, name); }

void CloseModule(void* module) { dlclose(module); }

std::string ProgramDirectory() {
  std::vector<char> buffer(4096);
  const ssize_t len = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (len <= 0) return std::string();
  std::string path(buffer.data(), static_cast<size_t>(len));
  return path.substr(0, path.find_last_of('/') + 1);
}

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string EnvironmentUtf8(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

void PrepareTerminal() {}

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

#endif

}  // namespace tzcli
