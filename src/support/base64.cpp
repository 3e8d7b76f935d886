// Base64 codec: RFC 4648 alphabet and padding on one line; a strict decoder.
#include "base64.h"

#include <new>

#include "exceptions.h"
#include "text_utils.h"

namespace tzm {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Decoder classes: 0..63 data, kSkip for CR and LF, kEnd for "=", kBad else.
constexpr int8_t kSkip = -1, kEnd = -2, kBad = -3;

int8_t Classify(uint8_t c) {
  if (c >= 'A' && c <= 'Z') return static_cast<int8_t>(c - 'A');
  if (c >= 'a' && c <= 'z') return static_cast<int8_t>(c - 'a' + 26);
  if (c >= '0' && c <= '9') return static_cast<int8_t>(c - '0' + 52);
  if (c == '+') return 62;
  if (c == '/') return 63;
  if (c == '\r' || c == '\n') return kSkip;
  if (c == '=') return kEnd;
  return kBad;
}

[[noreturn]] void ThrowGetMem(const char* function, const std::bad_alloc& e) {
  throw EMimeException(std::string("Error in ") + function + " on GetMem " + ExceptionClassName(&e) + ":" +
                       ExceptionMessage(&e));
}

}  // namespace

std::string EncodeBuffer(std::span<const uint8_t> data) {
  if (data.empty()) return {};
  const size_t textLen = 4 * (data.size() / 3 + (data.size() % 3 > 0 ? 1 : 0));
  std::string text;
  try {
    text.reserve(textLen);
  } catch (const std::bad_alloc& e) {
    ThrowGetMem("EncodeBuffer", e);
  }
  size_t i = 0;
  while (i < data.size()) {
    const size_t chunk = data.size() - i < 3 ? data.size() - i : 3;
    uint32_t acc = 0;
    for (size_t k = 0; k < 3; ++k) acc = (acc << 8) | (k < chunk ? data[i + k] : 0);
    const size_t chars = (8 * chunk + 5) / 6;
    for (size_t k = 0; k < 4; ++k) text.push_back(k < chars ? kAlphabet[(acc >> (18 - 6 * k)) & 0x3F] : '=');
    i += chunk;
  }
  return text;
}

std::vector<uint8_t> DecodeBuffer(std::string_view text) {
  const size_t capacity = (text.size() / 4) * 3;
  if (capacity == 0) throw EAssertionFailed("Assertion failure");
  std::vector<uint8_t> out;
  try {
    out.reserve(capacity);
  } catch (const std::bad_alloc& e) {
    ThrowGetMem("DecodeBuffer", e);
  }
  bool overflow = false;
  auto emit = [&](uint8_t b) {
    if (out.size() < capacity) {
      out.push_back(b);
    } else {
      overflow = true;
    }
  };
  uint32_t acc = 0;
  int bits = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<uint8_t>(text[i]);
    const int8_t value = Classify(c);
    if (value == kEnd) break;
    if (value == kSkip) continue;
    if (value == kBad) {
      throw EMimeException("Error mime decode. Wrong symbol \"" + std::string(1, static_cast<char>(c)) +
                           "\" at position " + std::to_string(i + 1) + ".");
    }
    if (bits == 24) {
      emit(static_cast<uint8_t>(acc >> 16));
      emit(static_cast<uint8_t>(acc >> 8));
      emit(static_cast<uint8_t>(acc));
      acc = 0;
      bits = 0;
    }
    acc = (acc << 6) | static_cast<uint32_t>(value);
    bits += 6;
  }
  // Whole bytes of the held bits, most significant first; 2 or 4 spare bits
  // after a padded group are dropped.
  for (int left = bits; left >= 8; left -= 8) emit(static_cast<uint8_t>(acc >> (left - 8)));
  // More bytes than 3/4 of the text only comes from unpadded text: refuse it
  // whole rather than hand back a truncated result.
  if (overflow) return {};
  out.shrink_to_fit();
  return out;
}

std::string Base64Encode(std::span<const uint8_t> data) noexcept {
  try {
    return EncodeBuffer(data);
  } catch (...) {
    return {};
  }
}

std::vector<uint8_t> Base64Decode(std::string_view text) noexcept {
  try {
    return DecodeBuffer(text);
  } catch (...) {
    return {};
  }
}

}  // namespace tzm
