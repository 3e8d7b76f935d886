// Windows-1251 letter case and printf-style formatting.
#include "text_utils.h"

#include <cstdarg>
#include <cstdio>

#include "platform.h"

namespace tzm {

std::string AnsiUpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = platform::Cp1251Upper(c);
  return out;
}

std::string AnsiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = platform::Cp1251Lower(c);
  return out;
}

bool SameText(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (platform::Cp1251Upper(a[i]) != platform::Cp1251Upper(b[i])) return false;
  }
  return true;
}

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(needed));
  }
  va_end(args);
  return out;
}

}  // namespace tzm
