// Little-endian integers and the bounded reader/writer every block format uses.
#ifndef TZM_SUPPORT_BYTES_H
#define TZM_SUPPORT_BYTES_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tzm {

// EncodeFixed32 stores |value| as 4 little-endian bytes at |out|.
inline void EncodeFixed32(uint8_t* out, uint32_t value) noexcept {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
  out[2] = static_cast<uint8_t>(value >> 16);
  out[3] = static_cast<uint8_t>(value >> 24);
}

// DecodeFixed32 reads 4 little-endian bytes at |in|.
inline uint32_t DecodeFixed32(const uint8_t* in) noexcept {
  return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
         (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

// TByteReader reads a block front to back. Every call checks the remaining
// length first; on overrun it returns false and reads and moves nothing.
class TByteReader {
 public:
  explicit TByteReader(std::span<const uint8_t> in) noexcept : In(in) {}

  // Remaining is the number of unread bytes.
  size_t Remaining() const noexcept { return In.size() - Pos; }
  // Position is the number of bytes read so far.
  size_t Position() const noexcept { return Pos; }
  // Rest is the unread part (not consumed).
  std::span<const uint8_t> Rest() const noexcept { return In.subspan(Pos); }

  // ReadU32 reads a 32-bit little-endian integer.
  [[nodiscard]] bool ReadU32(uint32_t& value) noexcept;
  // ReadBytes points |out| at the next |n| bytes (no copy) and consumes them.
  [[nodiscard]] bool ReadBytes(size_t n, std::span<const uint8_t>& out) noexcept;
  // CopyBytes copies the next out.size() bytes into |out|.
  [[nodiscard]] bool CopyBytes(std::span<uint8_t> out) noexcept;
  // ReadZString reads text up to a zero byte, which must lie inside the block
  // and within |maxLen| characters; the zero is consumed, not stored.
  [[nodiscard]] bool ReadZString(size_t maxLen, std::string& out);
  // Skip consumes |n| bytes.
  [[nodiscard]] bool Skip(size_t n) noexcept;

 private:
  std::span<const uint8_t> In;
  size_t Pos = 0;
};

// TByteWriter fills a caller buffer front to back with a capacity check
// before each write; on overflow it returns false and writes nothing.
class TByteWriter {
 public:
  explicit TByteWriter(std::span<uint8_t> out) noexcept : Out(out) {}

  size_t Position() const noexcept { return Pos; }
  size_t Remaining() const noexcept { return Out.size() - Pos; }
  // Written is the filled part of the buffer.
  std::span<uint8_t> Written() const noexcept { return Out.first(Pos); }

  [[nodiscard]] bool WriteU32(uint32_t value) noexcept;
  [[nodiscard]] bool WriteBytes(std::span<const uint8_t> data) noexcept;
  // WriteZString writes |text| and a terminating zero.
  [[nodiscard]] bool WriteZString(std::string_view text) noexcept;
  // WriteZeros writes |n| zero bytes.
  [[nodiscard]] bool WriteZeros(size_t n) noexcept;

 private:
  std::span<uint8_t> Out;
  size_t Pos = 0;
};

}  // namespace tzm

#endif  // TZM_SUPPORT_BYTES_H
