// The one implementation of the size-query rule of the exports.
#include "size_query.h"

#include <climits>
#include <cstring>

namespace tzm {

int CopyOutBytes(std::span<const uint8_t> data, uint8_t* out, int* outLen) noexcept {
  if (outLen == nullptr || data.size() > static_cast<size_t>(INT_MAX)) return kResultBadBuffer;
  const int needed = static_cast<int>(data.size());
  if (out == nullptr) {
    *outLen = needed;
    return 0;
  }
  if (*outLen < needed) {
    *outLen = needed;
    return kResultBadBuffer;
  }
  if (needed != 0) std::memcpy(out, data.data(), data.size());
  *outLen = needed;
  return 0;
}

int CopyOutText(std::string_view text, char* out, int* outLen) noexcept {
  if (outLen == nullptr || text.size() >= static_cast<size_t>(INT_MAX)) return kResultBadBuffer;
  const int needed = static_cast<int>(text.size()) + 1;
  if (out == nullptr) {
    *outLen = needed;
    return 0;
  }
  if (*outLen < needed) {
    *outLen = needed;
    return kResultBadBuffer;
  }
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  out[text.size()] = '\0';
  *outLen = needed;
  return 0;
}

}  // namespace tzm
