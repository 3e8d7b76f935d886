// Windows-style wildcard matching for the find-first/find-next enumeration.
#include "platform.h"

namespace tzm::platform {
namespace {

bool SameChar(char a, char b) { return Cp1251Upper(a) == Cp1251Upper(b); }

// Iterative "*"/"?" matcher with single-star backtracking: linear in practice
// and no recursion depth to exhaust on long hostile masks.
bool Match(std::string_view mask, std::string_view name) {
  size_t m = 0, n = 0;
  size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || (mask[m] != '*' && SameChar(mask[m], name[n])))) {
      ++m;
      ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchMask(std::string_view mask, std::string_view name) {
  if (Match(mask, name)) return true;
  // As on Windows, "x.*" also matches a name without any dot ("*.*" = "*").
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" && name.find('.') == std::string_view::npos) {
    return Match(mask.substr(0, mask.size() - 2), name);
  }
  return false;
}

}  // namespace tzm::platform
