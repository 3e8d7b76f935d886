// Fuzzes the reader of encrypted blocks (DecodeData) through the exports of
// an in-process engine, in two ways. Raw blocks: whatever the bytes, the
// buffer is never read or written outside its length, a failure leaves it
// untouched, and a block that decrypts (its MACs matched) yields plain text
// the seeds encrypted. Round trips: the input is encrypted for the fixed
// users, decrypts to itself, and after one byte of the block is changed
// either fails or still yields exactly the original text.
//
// Input: byte 0 holds flags (bit 0: act as user B instead of A; bit 1: round
// trip; bit 2: cipher mode 1 instead of 0 in round trips). Raw mode: the rest
// is the block. Round trip: byte 1 picks the recipient list, bytes 2-3 the
// byte to change (LE16) and byte 4 its XOR mask; the rest is the plain text.
#include <cstring>
#include <string>

#include "fuzz_world.h"

namespace {

using tzm::fuzz::Bytes;

constexpr int32_t kRoom = 30579;  // GetMaxEncodeAddition

void CheckRaw(TZMEngine engine, const Bytes& block) {
  // Exactly the block's length: decryption only ever shrinks the data.
  Bytes work(block);
  static uint8_t empty = 0;
  int32_t len = static_cast<int32_t>(work.size());
  const int32_t result = DecodeData(engine, work.empty() ? &empty : work.data(), &len, nullptr);
  if (result != 0) {
    FUZZ_CHECK(work == block, "a failed decryption leaves the data untouched");
    FUZZ_CHECK(len == static_cast<int32_t>(block.size()), "a failed decryption leaves the length");
    return;
  }
  FUZZ_CHECK(len >= 0 && static_cast<size_t>(len) + 16 + 9 <= block.size(), "plain text shorter than the block");
  FUZZ_CHECK(tzm::fuzz::IsPattern(work.data(), static_cast<size_t>(len)), "decrypted text is what was encrypted");
}

void CheckRoundTrip(tzm::fuzz::TFuzzWorld& world, bool asB, bool mode1, const uint8_t* control, const Bytes& plain) {
  if (plain.empty()) return;
  tzm::fuzz::TFuzzUser& sender = asB ? world.B : world.A;
  tzm::fuzz::TFuzzUser& other = asB ? world.A : world.B;
  static const char* const kLists[] = {"%o", "%s;%o", "%o;%s", "%o;%o"};
  std::string list = kLists[control[0] % 4];
  for (size_t at; (at = list.find("%o")) != std::string::npos;) list.replace(at, 2, other.UID);
  for (size_t at; (at = list.find("%s")) != std::string::npos;) list.replace(at, 2, sender.UID);

  SetCryptoParamValue(sender.Engine, 5, mode1 ? "1" : "0");
  Bytes work(plain);
  work.resize(plain.size() + kRoom);
  int32_t len = static_cast<int32_t>(plain.size());
  const int32_t encoded = EncodeData(sender.Engine, work.data(), &len, list.c_str());
  FUZZ_CHECK(encoded == 0, "encryption for known recipients succeeds");
  FUZZ_CHECK(static_cast<size_t>(len) > plain.size() + 16 && static_cast<size_t>(len) <= plain.size() + kRoom,
             "block length within the announced addition");
  Bytes block(work.begin(), work.begin() + len);

  Bytes copy(block);
  int32_t copyLen = len;
  FUZZ_CHECK(DecodeData(other.Engine, copy.data(), &copyLen, nullptr) == 0, "the recipient decrypts");
  FUZZ_CHECK(copyLen == static_cast<int32_t>(plain.size()) && std::memcmp(copy.data(), plain.data(), plain.size()) == 0,
             "round trip gives the plain text back");

  const size_t at = (control[1] | (size_t{control[2]} << 8)) % block.size();
  const uint8_t mask = control[3] == 0 ? 1 : control[3];
  block[at] ^= mask;
  const Bytes changed(block);
  int32_t changedLen = len;
  const int32_t result = DecodeData(other.Engine, block.data(), &changedLen, nullptr);
  if (result == 0) {
    FUZZ_CHECK(changedLen == static_cast<int32_t>(plain.size()) &&
                   std::memcmp(block.data(), plain.data(), plain.size()) == 0,
               "a changed block decrypts only to the original text");
  } else {
    FUZZ_CHECK(block == changed && changedLen == len, "a failed decryption leaves the data untouched");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > tzm::fuzz::kMaxInputLen) return 0;
  tzm::fuzz::TFuzzWorld& world = tzm::fuzz::TFuzzWorld::Get();
  const uint8_t flags = data[0];
  const bool asB = (flags & 1) != 0;
  if (flags & 2) {
    if (size < 5) return 0;
    CheckRoundTrip(world, asB, (flags & 4) != 0, data + 1, Bytes(data + 5, data + size));
  } else {
    CheckRaw(asB ? world.B.Engine : world.A.Engine, Bytes(data + 1, data + size));
  }
  return 0;
}
