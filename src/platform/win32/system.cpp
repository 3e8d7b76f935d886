// Environment, thread ids and the local clock through Win32.
#include <vector>

#include "win32_internal.h"

namespace tzm::platform {

std::optional<std::string> GetEnv(std::string_view name) {
  const std::wstring key = Wide(name);
  std::vector<wchar_t> buffer(256);
  while (true) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n = ::GetEnvironmentVariableW(key.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(n);  // n is the size needed, terminator included
  }
}

bool SetEnv(std::string_view name, std::string_view value) {
  if (name.empty()) return false;
  return ::SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str()) != 0;
}

bool UnsetEnv(std::string_view name) {
  if (name.empty()) return false;
  return ::SetEnvironmentVariableW(Wide(name).c_str(), nullptr) != 0;
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(::GetCurrentThreadId()); }

void YieldThread() { ::Sleep(0); }

TLocalDateTime LocalDateTime() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  TLocalDateTime t;
  t.Year = now.wYear;
  t.Month = now.wMonth;
  t.Day = now.wDay;
  t.Hour = now.wHour;
  t.Minute = now.wMinute;
  t.Second = now.wSecond;
  t.Millisecond = now.wMilliseconds;
  return t;
}

}  // namespace tzm::platform
