// Secret bytes: the one wipe helper and the containers that wipe themselves.
#ifndef TZM_SUPPORT_SECURE_H
#define TZM_SUPPORT_SECURE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

namespace tzm {

// SecureWipe overwrites |len| bytes at |ptr| with zeros in a way the compiler
// may not remove. The one helper for every secret byte. |ptr| may be null
// when |len| is 0.
void SecureWipe(void* ptr, size_t len) noexcept;

// TWipeObserver is a test hook: when one is set, SecureWipe shows it every
// region just before clearing it, so that tests can prove which secrets were
// wiped. No observer is set outside tests.
using TWipeObserver = void (*)(const void* ptr, size_t len);
void SetWipeObserver(TWipeObserver observer) noexcept;

// TWipingAllocator wipes every block before returning it to the heap. Only
// integral and enum elements are allowed, so a wipe never skips a destructor.
template <typename T>
class TWipingAllocator {
  static_assert(std::is_integral_v<T> || std::is_enum_v<T>, "secure containers hold integral or enum elements only");

 public:
  using value_type = T;
  TWipingAllocator() noexcept = default;
  template <typename U>
  TWipingAllocator(const TWipingAllocator<U>&) noexcept {}

  T* allocate(size_t n) { return std::allocator<T>().allocate(n); }
  void deallocate(T* p, size_t n) noexcept {
    SecureWipe(p, n * sizeof(T));
    std::allocator<T>().deallocate(p, n);
  }
  template <typename U>
  bool operator==(const TWipingAllocator<U>&) const noexcept { return true; }
};

// SecureVector is a std::vector whose storage is wiped when released
// (including the old block on growth).
template <typename T>
using SecureVector = std::vector<T, TWipingAllocator<T>>;

// TSecureArray holds N secret bytes inline and wipes them on destruction.
// Copies wipe too; moving is copying (the source keeps its bytes until it is
// destroyed or wiped).
template <size_t N>
class TSecureArray {
 public:
  TSecureArray() noexcept { Bytes.fill(0); }
  TSecureArray(const TSecureArray&) noexcept = default;
  TSecureArray& operator=(const TSecureArray&) noexcept = default;
  ~TSecureArray() { SecureWipe(Bytes.data(), N); }

  uint8_t* data() noexcept { return Bytes.data(); }
  const uint8_t* data() const noexcept { return Bytes.data(); }
  static constexpr size_t size() noexcept { return N; }
  uint8_t& operator[](size_t i) noexcept { return Bytes[i]; }
  const uint8_t& operator[](size_t i) const noexcept { return Bytes[i]; }
  std::span<uint8_t, N> Span() noexcept { return std::span<uint8_t, N>(Bytes); }
  std::span<const uint8_t, N> Span() const noexcept { return std::span<const uint8_t, N>(Bytes); }
  // Wipe zeroes the bytes now.
  void Wipe() noexcept { SecureWipe(Bytes.data(), N); }

 private:
  std::array<uint8_t, N> Bytes;
};

// ConstantTimeEqual compares two byte ranges in time that depends only on
// their lengths; ranges of different lengths are unequal.
[[nodiscard]] bool ConstantTimeEqual(std::span<const uint8_t> a, std::span<const uint8_t> b) noexcept;

}  // namespace tzm

#endif  // TZM_SUPPORT_SECURE_H
