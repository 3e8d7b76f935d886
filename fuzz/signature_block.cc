// Fuzzes the readers of signature blocks (VerifyData, GetPureSign) and of
// attached signatures (RemoveSign), through the exports of an in-process
// engine whose cache knows both fixed users. The model: a block of the wrong
// shape is -14, an unknown signer -11, and a signature that verifies covers
// data the seeds signed (self-checking plain text), never anything else.
//
// Input: byte 0 holds flags (bit 0: verify as user B instead of A; bit 1:
// the rest is an attached-signature buffer for RemoveSign). Otherwise bytes
// 1-2 are the block length (LE16), then the block, then the data.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "fuzz_world.h"

namespace {

using tzm::fuzz::Bytes;

int32_t Le32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
                              (uint32_t{p[3]} << 24));
}

bool SameTextAscii(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

// ShapeOk applies the block layout: UID of 1 to 254 characters, its zero,
// exactly 64 value bytes. uid receives the UID.
bool ShapeOk(const uint8_t* block, size_t len, std::string& uid) {
  const uint8_t* zero = std::find(block, block + len, uint8_t{0});
  if (zero == block + len) return false;
  const size_t uidLen = static_cast<size_t>(zero - block);
  if (uidLen == 0 || uidLen > 254 || len - uidLen - 1 != 64) return false;
  uid.assign(block, zero);
  return true;
}

// CheckVerify verifies block over data and checks the result; answers it.
int32_t CheckVerify(TZMEngine engine, const Bytes& data, const Bytes& block) {
  static const uint8_t kEmpty = 0;
  const uint8_t* blockPtr = block.empty() ? &kEmpty : block.data();
  std::string uid;
  const bool shapeOk = ShapeOk(blockPtr, block.size(), uid);
  char signer[256];
  std::memset(signer, 0x7f, sizeof(signer));
  const int32_t result = VerifyData(engine, data.empty() ? &kEmpty : data.data(), static_cast<int32_t>(data.size()),
                                    blockPtr, static_cast<int32_t>(block.size()), signer);
  if (data.empty()) {
    FUZZ_CHECK(result != 0, "empty data never verifies");
    return result;
  }
  if (!shapeOk) {
    FUZZ_CHECK(result == -14, "a block of the wrong shape gives -14");
    return result;
  }
  const bool known = SameTextAscii(uid, tzm::fuzz::kUserA) || SameTextAscii(uid, tzm::fuzz::kUserB);
  // Letters beyond ASCII fold by the Windows-1251 rules; the model leaves
  // those UIDs alone.
  const bool ascii = std::all_of(uid.begin(), uid.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (!known && ascii) FUZZ_CHECK(result == -11, "an unknown signer gives -11");
  if (result == 0) {
    FUZZ_CHECK(known, "only a known signer verifies");
    FUZZ_CHECK(tzm::fuzz::IsPattern(data.data(), data.size()), "a verified signature covers signed data");
    FUZZ_CHECK(uid == signer, "the signer UID is the block's");
  }
  return result;
}

void CheckPureSign(TZMEngine engine, const Bytes& block) {
  static const uint8_t kEmpty = 0;
  std::string uid;
  const bool shapeOk = ShapeOk(block.empty() ? &kEmpty : block.data(), block.size(), uid);
  char text[130];
  std::memset(text, 0x7f, sizeof(text));
  int32_t textLen = sizeof(text);
  const int32_t result = GetPureSign(engine, block.empty() ? &kEmpty : block.data(), static_cast<int32_t>(block.size()),
                                     nullptr, text, &textLen);
  if (!shapeOk) {
    FUZZ_CHECK(result == -14, "GetPureSign refuses a block of the wrong shape");
    return;
  }
  FUZZ_CHECK(result == 0 && textLen == 129 && std::strlen(text) == 128, "128 hex digits");
  static constexpr char kHex[] = "0123456789ABCDEF";
  const uint8_t* value = block.data() + uid.size() + 1;
  for (size_t i = 0; i < 64; ++i) {
    FUZZ_CHECK(text[2 * i] == kHex[value[i] >> 4] && text[2 * i + 1] == kHex[value[i] & 15], "hex of the value");
  }
}

void CheckRemoveSign(TZMEngine engine, const Bytes& buffer) {
  // The buffer goes in exactly as long as the input: ASan sees any read
  // before its start or past its end.
  Bytes work(buffer);
  int32_t len = static_cast<int32_t>(work.size());
  char signer[256];
  std::memset(signer, 0x7f, sizeof(signer));
  static uint8_t empty = 0;
  const int32_t result = RemoveSign(engine, work.empty() ? &empty : work.data(), &len, signer);
  FUZZ_CHECK(work == buffer, "RemoveSign does not change the bytes");
  if (buffer.size() < 4) {
    FUZZ_CHECK(result == -4 || result == -14, "a buffer without a trailer is refused");
    return;
  }
  const int32_t n = Le32(buffer.data() + buffer.size() - 4);
  const int64_t total = static_cast<int64_t>(buffer.size());
  if (n <= 0 || int64_t{n} + 4 >= total) {
    FUZZ_CHECK(result == -14 && len == total, "a trailer that leaves no room is -14, length kept");
    return;
  }
  FUZZ_CHECK(len == n, "the length becomes the data part");
  const Bytes data(buffer.begin(), buffer.begin() + n);
  const Bytes block(buffer.begin() + n, buffer.end() - 4);
  FUZZ_CHECK(result == CheckVerify(engine, data, block), "RemoveSign answers what VerifyData answers");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > tzm::fuzz::kMaxInputLen) return 0;
  tzm::fuzz::TFuzzWorld& world = tzm::fuzz::TFuzzWorld::Get();
  const uint8_t flags = data[0];
  TZMEngine engine = (flags & 1) ? world.B.Engine : world.A.Engine;
  if (flags & 2) {
    CheckRemoveSign(engine, Bytes(data + 1, data + size));
    return 0;
  }
  if (size < 3) return 0;
  const size_t blockLen = std::min<size_t>(data[1] | (size_t{data[2]} << 8), size - 3);
  const Bytes block(data + 3, data + 3 + blockLen);
  const Bytes signedData(data + 3 + blockLen, data + size);
  CheckVerify(engine, signedData, block);
  CheckPureSign(engine, block);
  return 0;
}
