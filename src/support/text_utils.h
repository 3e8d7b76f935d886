// Windows-1251 text helpers: letter case and formatting.
#ifndef TZM_SUPPORT_TEXT_UTILS_H
#define TZM_SUPPORT_TEXT_UTILS_H

#include <string>
#include <string_view>

namespace tzm {

// AnsiUpperCase / AnsiLowerCase change the case of Latin and Cyrillic
// letters of Windows-1251 text; other bytes are kept.
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);

// SameText compares two Windows-1251 texts ignoring letter case.
bool SameText(std::string_view a, std::string_view b) noexcept;

// FormatText is snprintf into a std::string.
std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace tzm

#endif  // TZM_SUPPORT_TEXT_UTILS_H
