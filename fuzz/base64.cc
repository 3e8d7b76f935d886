// Fuzzes the Base64 codec against a small model of its contract: the strict
// decoder (alphabet, CR and LF only, "=" ends the input, text of fewer than 4
// characters or decoding to more than 3/4 of its length refused whole), the
// raising and non-raising forms agreeing, and every decoded value encoding
// and decoding back to itself.
#include <exception>
#include <string>
#include <string_view>

#include "fuzz_world.h"
#include "support.h"

namespace {

using tzm::fuzz::Bytes;

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(uint8_t c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// ModelDecode answers the bytes the decoder must give, or false when it must
// refuse the text (with raises telling whether the raising form throws).
bool ModelDecode(std::string_view text, Bytes& out, bool& raises) {
  out.clear();
  raises = false;
  if (text.size() < 4) {
    raises = true;
    return false;
  }
  uint32_t acc = 0;
  int bits = 0;
  for (const char ch : text) {
    const uint8_t c = static_cast<uint8_t>(ch);
    if (c == '=') break;
    if (c == '\r' || c == '\n') continue;
    const int v = ValueOf(c);
    if (v < 0) {
      raises = true;
      out.clear();
      return false;
    }
    acc = (acc << 6) | static_cast<uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(acc >> bits));
      acc &= (1u << bits) - 1;
    }
  }
  if (out.empty() || out.size() > (text.size() / 4) * 3) {
    out.clear();
    return false;
  }
  return true;
}

std::string ModelEncode(const Bytes& data) {
  std::string text;
  for (size_t i = 0; i < data.size(); i += 3) {
    const size_t n = std::min<size_t>(3, data.size() - i);
    uint32_t acc = 0;
    for (size_t k = 0; k < 3; ++k) acc = (acc << 8) | (k < n ? data[i + k] : 0);
    for (size_t k = 0; k < 4; ++k) {
      text += k <= n ? kAlphabet[(acc >> (18 - 6 * k)) & 63] : '=';
    }
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > tzm::fuzz::kMaxInputLen) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  Bytes expected;
  bool expectRaise = false;
  const bool decodes = ModelDecode(text, expected, expectRaise);

  const std::vector<uint8_t> decoded = tzm::Base64Decode(text);
  FUZZ_CHECK(decoded == expected, "Base64Decode differs from the model");

  bool raised = false;
  std::vector<uint8_t> raisingForm;
  try {
    raisingForm = tzm::DecodeBuffer(text);
  } catch (const std::exception&) {
    raised = true;
  }
  FUZZ_CHECK(raised == expectRaise, "DecodeBuffer raises exactly for a wrong symbol or a short text");
  if (!raised) FUZZ_CHECK(raisingForm == decoded, "both decoder forms agree");

  if (decodes) {
    const std::string again = tzm::Base64Encode(decoded);
    FUZZ_CHECK(again == ModelEncode(decoded), "encoding differs from RFC 4648");
    FUZZ_CHECK(tzm::Base64Decode(again) == decoded, "decoded bytes re-encode to themselves");
  }

  // The input as bytes to encode: the encoder must agree with the model and
  // the decoder must give the bytes back.
  const Bytes raw(data, data + size);
  const std::string encoded = tzm::Base64Encode(raw);
  FUZZ_CHECK(encoded == ModelEncode(raw), "encoding differs from RFC 4648");
  if (!raw.empty()) FUZZ_CHECK(tzm::Base64Decode(encoded) == raw, "encoded bytes decode to themselves");
  return 0;
}
