// The detached signature block, shared by signing and verification.
// Internal to cryptlib/.
#ifndef TZM_CRYPTLIB_SIGNED_FORMAT_H
#define TZM_CRYPTLIB_SIGNED_FORMAT_H

#include <cstdint>
#include <span>
#include <string>

namespace tzm {

// Signature block, no header and no alignment:
//   offset 0      n    signer's UID, 1 to 254 characters, no zero inside
//   offset n      1    0
//   offset n + 1  64   signature value, as the library's sign call wrote it
// Total n + 65 bytes, at most 319. Neither the algorithm nor the hash variant
// is recorded: the algorithm comes from the signer's public key.

// TSignatureBlockView points into a parsed block.
struct TSignatureBlockView {
  std::string SignerUID;
  std::span<const uint8_t> Value;  // exactly 64 bytes
};

// ParseSignatureBlock accepts exactly the layout above: a UID of 1 to 254
// characters whose zero lies inside the block, followed by exactly 64
// bytes. False for anything else, a null block included.
[[nodiscard]] bool ParseSignatureBlock(std::span<const uint8_t> block, TSignatureBlockView& view);

}  // namespace tzm

#endif  // TZM_CRYPTLIB_SIGNED_FORMAT_H
