// The wipe helper and the constant-time comparison.
#include "secure.h"

#include <atomic>
#include <cstring>

namespace tzm {

namespace {
std::atomic<TWipeObserver> gWipeObserver{nullptr};
}  // namespace

void SetWipeObserver(TWipeObserver observer) noexcept { gWipeObserver.store(observer); }

void SecureWipe(void* ptr, size_t len) noexcept {
  if (ptr == nullptr || len == 0) return;
  if (const TWipeObserver observer = gWipeObserver.load(std::memory_order_relaxed)) observer(ptr, len);
  // Writing through a volatile pointer keeps the stores; the barrier stops the
  // compiler from treating the memory as dead afterwards.
  volatile uint8_t* p = static_cast<volatile uint8_t*>(ptr);
  for (size_t i = 0; i < len; ++i) p[i] = 0;
#if defined(__GNUC__) || defined(__clang__)
  __asm__ __volatile__("" : : "r"(ptr) : "memory");
#endif
}

bool ConstantTimeEqual(std::span<const uint8_t> a, std::span<const uint8_t> b) noexcept {
  if (a.size() != b.size()) return false;
  uint8_t diff = 0;
  for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<uint8_t>(a[i] ^ b[i]);
  return diff == 0;
}

}  // namespace tzm
