// Environment, thread ids and the local clock on POSIX.
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "platform.h"

namespace tzm::platform {
namespace {

// getenv/setenv are not safe against each other; serialise our own uses.
std::mutex& EnvMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

std::optional<std::string> GetEnv(std::string_view name) {
  const std::string key(name);
  std::lock_guard<std::mutex> hold(EnvMutex());
  const char* value = std::getenv(key.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool SetEnv(std::string_view name, std::string_view value) {
  const std::string key(name), text(value);
  if (key.empty() || key.find('=') != std::string::npos) return false;
  std::lock_guard<std::mutex> hold(EnvMutex());
  return ::setenv(key.c_str(), text.c_str(), 1) == 0;
}

bool UnsetEnv(std::string_view name) {
  const std::string key(name);
  if (key.empty() || key.find('=') != std::string::npos) return false;
  std::lock_guard<std::mutex> hold(EnvMutex());
  return ::unsetenv(key.c_str()) == 0;
}

uint32_t CurrentThreadId() {
#if defined(SYS_gettid)
  static thread_local const uint32_t id = static_cast<uint32_t>(::syscall(SYS_gettid));
  return id;
#else
  static std::atomic<uint32_t> next{1};
  static thread_local const uint32_t id = next.fetch_add(1);
  return id;
#endif
}

void YieldThread() { std::this_thread::yield(); }

TLocalDateTime LocalDateTime() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  const time_t seconds = now.tv_sec;
  ::localtime_r(&seconds, &local);
  TLocalDateTime t;
  t.Year = local.tm_year + 1900;
  t.Month = local.tm_mon + 1;
  t.Day = local.tm_mday;
  t.Hour = local.tm_hour;
  t.Minute = local.tm_min;
  t.Second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second shows as :59
  t.Millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return t;
}

}  // namespace tzm::platform
