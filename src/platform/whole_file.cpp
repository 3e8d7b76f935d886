// Reading a whole file into a new buffer, built on FileSize and ReadFileInto
// of the system branch.
#include "platform.h"

namespace tzm::platform {

std::optional<std::vector<uint8_t>> ReadWholeFile(std::string_view path, size_t maxLen) {
  const auto size = FileSize(path);
  if (!size || *size > maxLen) return std::nullopt;
  std::vector<uint8_t> data(static_cast<size_t>(*size));
  size_t len = 0;
  if (ReadFileInto(path, data, len) != TReadResult::kOk) return std::nullopt;
  data.resize(len);
  return data;
}

}  // namespace tzm::platform
