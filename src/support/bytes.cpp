// The bounded block reader and writer: every length is checked before use.
#include "bytes.h"

#include <cstring>

namespace tzm {

bool TByteReader::ReadU32(uint32_t& value) noexcept {
  if (Remaining() < 4) return false;
  value = DecodeFixed32(In.data() + Pos);
  Pos += 4;
  return true;
}

bool TByteReader::ReadBytes(size_t n, std::span<const uint8_t>& out) noexcept {
  if (Remaining() < n) return false;
  out = In.subspan(Pos, n);
  Pos += n;
  return true;
}

bool TByteReader::CopyBytes(std::span<uint8_t> out) noexcept {
  if (Remaining() < out.size()) return false;
  if (!out.empty()) std::memcpy(out.data(), In.data() + Pos, out.size());
  Pos += out.size();
  return true;
}

bool TByteReader::ReadZString(size_t maxLen, std::string& out) {
  const size_t limit = Remaining() < maxLen ? Remaining() : maxLen;
  // The zero must be among the first limit + 1 bytes that are present.
  const size_t scan = limit < Remaining() ? limit + 1 : limit;
  const uint8_t* begin = In.data() + Pos;
  const void* zero = scan == 0 ? nullptr : std::memchr(begin, 0, scan);
  if (zero == nullptr) return false;
  const size_t len = static_cast<size_t>(static_cast<const uint8_t*>(zero) - begin);
  out.assign(reinterpret_cast<const char*>(begin), len);
  Pos += len + 1;
  return true;
}

bool TByteReader::Skip(size_t n) noexcept {
  if (Remaining() < n) return false;
  Pos += n;
  return true;
}

bool TByteWriter::WriteU32(uint32_t value) noexcept {
  if (Remaining() < 4) return false;
  EncodeFixed32(Out.data() + Pos, value);
  Pos += 4;
  return true;
}

bool TByteWriter::WriteBytes(std::span<const uint8_t> data) noexcept {
  if (Remaining() < data.size()) return false;
  if (!data.empty()) std::memcpy(Out.data() + Pos, data.data(), data.size());
  Pos += data.size();
  return true;
}

bool TByteWriter::WriteZString(std::string_view text) noexcept {
  if (Remaining() < text.size() || Remaining() - text.size() < 1) return false;
  if (!text.empty()) std::memcpy(Out.data() + Pos, text.data(), text.size());
  Out[Pos + text.size()] = 0;
  Pos += text.size() + 1;
  return true;
}

bool TByteWriter::WriteZeros(size_t n) noexcept {
  if (Remaining() < n) return false;
  if (n != 0) std::memset(Out.data() + Pos, 0, n);
  Pos += n;
  return true;
}

}  // namespace tzm
