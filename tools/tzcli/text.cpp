// Code-page conversion through the platform layer's built-in tables, so the
// result does not depend on the machine's locale.
#include "text.h"

#include <charconv>

#include "platform.h"

namespace tzcli {

std::string ToTerminal(std::string_view cp1251) { return tzm::platform::Cp1251ToUtf8(cp1251); }

std::string FromTerminal(std::string_view utf8) { return tzm::platform::Utf8ToCp1251(utf8); }

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    uint32_t value = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      value = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      value = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      value = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    static constexpr uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (value < kMinimum[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

std::string ReportLines(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size());
  for (size_t i = 0; i < cp1251.size(); ++i) {
    if (cp1251[i] == '\r' && i + 1 < cp1251.size() && cp1251[i + 1] == '\n') continue;
    out.push_back(cp1251[i]);
  }
  return ToTerminal(out);
}

std::string Trim(std::string_view text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return std::string();
  const size_t last = text.find_last_not_of(blanks);
  return std::string(text.substr(first, last - first + 1));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (tzm::platform::Cp1251Upper(a[i]) != tzm::platform::Cp1251Upper(b[i])) return false;
  }
  return true;
}

bool ParseInt32(std::string_view text, int32_t& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::string JsonQuote(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

std::string HexDump(const uint8_t* bytes, size_t len) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(len * 2);
  for (size_t i = 0; i < len; ++i) {
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 15];
  }
  return out;
}

}  // namespace tzcli
