// GetCryptoErrorString of the GOST engine: the message of a result code from
// the one table, with the last-error text behind the critical-failure prefix.
#include <algorithm>
#include <cstring>

#include "TCryptoCEngine.h"

namespace tzm {

void TCryptoCEngine::GetCryptoErrorString(int32_t code, char* buffer) {
  if (buffer == nullptr) return;
  try {
    const int32_t size = GetMaxErrorStringLength();
    if (size <= 0) return;
    std::memset(buffer, 0, static_cast<size_t>(size));
    std::string text(ResultCodeMessage(code));
    if (code == kErrCritical) text += LastErrorText->ReadText();
    std::memcpy(buffer, text.data(), std::min(text.size(), static_cast<size_t>(size) - 1));
  } catch (...) {
    // The message query never fails visibly; the buffer keeps what was written.
  }
}

}  // namespace tzm
