// TPublicKeyBlock: the fixed 776-byte block that every public key transfer
// carries, with its coding. Internal to gost/.
#ifndef TZM_GOST_TRANSFER_BLOCK_H
#define TZM_GOST_TRANSFER_BLOCK_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tzm {

inline constexpr size_t kTransferFileNameLen = 256;
inline constexpr size_t kTransferKeyDataLen = 516;
inline constexpr size_t kPublicKeyBlockLen = kTransferFileNameLen + 4 + kTransferKeyDataLen;  // 776
// The largest public key file: a 254-character UID, its zero, the 4-byte
// algorithm code and two 128-byte keys.
inline constexpr size_t kMaxTransferKeyLen = 515;
// kTransferFileName is the file name this engine writes into every block.
inline constexpr std::string_view kTransferFileName = "tran.pub";

// TPublicKeyBlock is the block inside a transfer. Layout, little-endian:
//
//   offset size field
//   0      256  FileName   8-bit text, zero-terminated, at most 255 characters;
//                          bytes after the zero carry no meaning
//   256    4    KeyLength  signed count of key-file bytes in KeyData, 0..515
//   260    516  KeyData    the public key file bytes; bytes after KeyLength
//                          carry no meaning
//
// In memory KeyData keeps one zero byte right after the key bytes, so the
// UID at the start of the key file can be read as text.
struct TPublicKeyBlock {
  std::array<char, kTransferFileNameLen> FileName{};
  int32_t KeyLength = 0;
  std::array<uint8_t, kTransferKeyDataLen> KeyData{};

  // Fill sets FileName to name cut to 255 characters and the key bytes to
  // key. False (block unchanged) for a key longer than 515 bytes.
  [[nodiscard]] bool Fill(std::string_view name, std::span<const uint8_t> key);

  // Encode writes the 776 block bytes to out; unused bytes are zeros.
  void Encode(std::span<uint8_t, kPublicKeyBlockLen> out) const;

  // Decode reads the block from the first 776 bytes of a verified payload.
  // False, with the block unchanged, when the payload is shorter than 776
  // bytes or KeyLength lies outside 0..515: such a block is refused rather
  // than read past its end.
  [[nodiscard]] bool Decode(std::span<const uint8_t> payload);

  // Key is the KeyLength key-file bytes.
  std::span<const uint8_t> Key() const noexcept {
    return std::span<const uint8_t>(KeyData.data(), static_cast<size_t>(KeyLength));
  }

  // KeyUID is the zero-terminated text at the start of the key bytes (the
  // key owner's UID), never reaching past KeyLength.
  std::string_view KeyUID() const noexcept;

  // FileNameText is FileName up to its first zero, at most 256 characters.
  std::string FileNameText() const;
};

}  // namespace tzm

#endif  // TZM_GOST_TRANSFER_BLOCK_H
