// The layouts of the two key files, shared by key loading, generation and the
// public-key cache. Internal to cryptlib/.
#ifndef TZM_CRYPTLIB_KEY_FILE_FORMAT_H
#define TZM_CRYPTLIB_KEY_FILE_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tzm {

// Secret key file, exactly 164 bytes, keys in plain form:
//   offset 0    4    algorithm code (LE32): 0 = GOST R 34.10-94, 1 = 2001
//   offset 4    32   signing secret key, as the library's get_secret_key wrote it
//   offset 36   128  LDH_PKA exchange secret key
inline constexpr size_t kSecretFileSigningKeyOffset = 4;
inline constexpr size_t kSecretFileExchangeKeyOffset = 36;

// Public key file, u + 261 bytes (algorithm 0) or u + 233 (algorithm 1):
//   offset 0        u    UID (1 to 254 characters, no zero inside)
//   offset u        1    0
//   offset u+1      4    algorithm code (LE32), the secret key file's
//   offset u+5      L    signing public key (L = 128 for 0, 100 for 1)
//   offset u+5+L    128  LDH_PKA exchange public key

// SigningPublicKeyLen answers L for an algorithm code: 128, 100, or 0 for
// any other value.
size_t SigningPublicKeyLen(int32_t algorithm);

// PublicKeyFileLen answers u + 1 + 4 + L + 128 for a UID of |uidLen|.
size_t PublicKeyFileLen(size_t uidLen, int32_t algorithm);

// TPublicKeyHead is the UID and algorithm word at the head of a public key
// file image.
struct TPublicKeyHead {
  std::string UID;
  bool HasAlgorithm = false;  // the file holds the 4 bytes after the UID's zero
  int32_t Algorithm = -1;
};

// ParsePublicKeyHead reads the head of |file|. False when the UID is not
// terminated inside |file|, is empty or is longer than 254 characters. The
// algorithm word is read only when the file holds it.
[[nodiscard]] bool ParsePublicKeyHead(std::span<const uint8_t> file, TPublicKeyHead& head);

// IsPlainFileName tells whether |uid| can be used as a file name in the
// Abonents folder as it is: no folder separators, drive colon, wildcard or
// other character Windows refuses in names, no control characters, and not
// "." or "..".
bool IsPlainFileName(const std::string& uid);

}  // namespace tzm

#endif  // TZM_CRYPTLIB_KEY_FILE_FORMAT_H
