// The encrypted data block, shared by encryption and decryption. Internal to
// cryptlib/.
#ifndef TZM_CRYPTLIB_ENCRYPTED_FORMAT_H
#define TZM_CRYPTLIB_ENCRYPTED_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tzm {

// Encrypted block, no alignment, integers 32-bit little-endian:
//   offset 0      4        recipient count C
//   offset 4      4        cipher mode: 0 gamma, 1 gamma with feedback
//   offset 8      s + 1    sender's UID (1 to 254 characters) and a zero
//   offset 9 + s  ...      C recipient entries, in recipient-list order:
//                            r + 1  recipient's UID and a zero
//                            8      synchro of the block-key encryption
//                            8      MAC of the plain block key (pairwise key)
//                            32     block key encrypted under the pairwise key
//   then          8        data synchro
//   then          8        data MAC: MAC of the plain data under the block key
//   then          N        cipher text, as long as the plain data
// Length 8 + (s + 1) + sum(r + 49) + 16 + N. The same mode applies to every
// encrypted part. Nothing names the key pairs' algorithm: exchange keys are
// always 128-byte LDH_PKA keys.
inline constexpr size_t kEncryptedFixedLen = 4 + 4 + 8 + 8;  // count, mode, data synchro, data MAC
inline constexpr size_t kRecipientEntryFixedLen = 1 + 8 + 8 + 32;  // zero, synchro, MAC, block key

// TEncryptedPart points at one encrypted part of a block.
struct TEncryptedPart {
  std::span<const uint8_t> Synchro;
  std::span<const uint8_t> Mac;
  std::span<const uint8_t> Body;
};

// EncryptedBlockLen answers the length of the block for a sender, a
// recipient list and dataLen bytes of data.
size_t EncryptedBlockLen(std::string_view senderUID, const std::vector<std::string>& recipients, size_t dataLen);

}  // namespace tzm

#endif  // TZM_CRYPTLIB_ENCRYPTED_FORMAT_H
