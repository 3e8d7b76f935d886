// Coding of the transfer block. A block comes from another party, so the
// reader trusts none of its lengths.
#include "transfer_block.h"

#include <algorithm>
#include <cstring>

#include "support.h"

namespace tzm {

bool TPublicKeyBlock::Fill(std::string_view name, std::span<const uint8_t> key) {
  if (key.size() > kMaxTransferKeyLen) return false;
  FileName.fill('\0');
  const size_t nameLen = std::min(name.size(), kTransferFileNameLen - 1);
  std::memcpy(FileName.data(), name.data(), nameLen);
  KeyData.fill(0);
  if (!key.empty()) std::memcpy(KeyData.data(), key.data(), key.size());
  KeyLength = static_cast<int32_t>(key.size());
  return true;
}

void TPublicKeyBlock::Encode(std::span<uint8_t, kPublicKeyBlockLen> out) const {
  TByteWriter writer(out);
  const auto name = std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(FileName.data()), FileName.size());
  const bool ok = writer.WriteBytes(name) && writer.WriteU32(static_cast<uint32_t>(KeyLength)) &&
                  writer.WriteBytes(KeyData);
  if (!ok) throw EAssertionFailed("Assertion failure");
}

bool TPublicKeyBlock::Decode(std::span<const uint8_t> payload) {
  TByteReader reader(payload);
  std::span<const uint8_t> name;
  std::span<const uint8_t> data;
  uint32_t length = 0;
  if (!reader.ReadBytes(kTransferFileNameLen, name) || !reader.ReadU32(length) ||
      !reader.ReadBytes(kTransferKeyDataLen, data)) {
    return false;
  }
  const int32_t keyLength = static_cast<int32_t>(length);
  if (keyLength < 0 || static_cast<size_t>(keyLength) > kMaxTransferKeyLen) return false;
  std::memcpy(FileName.data(), name.data(), kTransferFileNameLen);
  std::memcpy(KeyData.data(), data.data(), kTransferKeyDataLen);
  KeyLength = keyLength;
  KeyData[static_cast<size_t>(keyLength)] = 0;
  return true;
}

std::string_view TPublicKeyBlock::KeyUID() const noexcept {
  const char* text = reinterpret_cast<const char*>(KeyData.data());
  return std::string_view(text, strnlen(text, static_cast<size_t>(KeyLength)));
}

std::string TPublicKeyBlock::FileNameText() const {
  return std::string(FileName.data(), strnlen(FileName.data(), kTransferFileNameLen));
}

}  // namespace tzm
