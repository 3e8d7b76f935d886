// The size-query convention of the exports, implemented once.
#ifndef TZM_SUPPORT_SIZE_QUERY_H
#define TZM_SUPPORT_SIZE_QUERY_H

#include <cstdint>
#include <span>
#include <string_view>

namespace tzm {

// Result of a buffer that is missing, too small, or a bad length pointer.
inline constexpr int kResultBadBuffer = -4;

// CopyOutBytes: |outLen| null → -4. |out| null → *outLen = data size, 0.
// *outLen (capacity on entry) smaller than the data → *outLen = data size,
// -4. Otherwise the data is copied, *outLen = data size, 0.
[[nodiscard]] int CopyOutBytes(std::span<const uint8_t> data, uint8_t* out, int* outLen) noexcept;

// CopyOutText works like CopyOutBytes for |text| plus its terminating zero;
// the size stored and compared includes the zero.
[[nodiscard]] int CopyOutText(std::string_view text, char* out, int* outLen) noexcept;

}  // namespace tzm

#endif  // TZM_SUPPORT_SIZE_QUERY_H
