// Parsing of the public key file head, bounded by the file's own length.
#include "key_file_format.h"

#include "cryptoc_dll.h"

namespace tzm {

size_t SigningPublicKeyLen(int32_t algorithm) {
  if (algorithm == kAlgorithm1994) return kCrypC1994PublicKeyLen;
  if (algorithm == kAlgorithm2001) return kCrypC2001PublicKeyLen;
  return 0;
}

size_t PublicKeyFileLen(size_t uidLen, int32_t algorithm) {
  return uidLen + 1 + 4 + SigningPublicKeyLen(algorithm) + kCrypCExchangeKeyLen;
}

bool ParsePublicKeyHead(std::span<const uint8_t> file, TPublicKeyHead& head) {
  TByteReader reader(file);
  head = TPublicKeyHead{};
  if (!reader.ReadZString(kMaxUIDLen, head.UID) || head.UID.empty()) return false;
  uint32_t word = 0;
  if (reader.ReadU32(word)) {
    head.HasAlgorithm = true;
    head.Algorithm = static_cast<int32_t>(word);
  }
  return true;
}

bool IsPlainFileName(const std::string& uid) {
  if (uid.empty() || uid == "." || uid == "..") return false;
  for (const char c : uid) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return false;
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace tzm
