// Helpers shared by the Win32 sources of the platform layer.
#ifndef TZM_PLATFORM_WIN32_INTERNAL_H
#define TZM_PLATFORM_WIN32_INTERNAL_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

#include "platform.h"

namespace tzm::platform {

// Wide converts Windows-1251 text to the UTF-16 the W functions take.
inline std::wstring Wide(std::string_view text) {
  const std::u16string units = Cp1251ToUtf16(text);
  return std::wstring(units.begin(), units.end());
}

// Narrow converts UTF-16 from the system back to Windows-1251.
inline std::string Narrow(std::wstring_view text) {
  return Utf16ToCp1251(std::u16string(text.begin(), text.end()));
}

}  // namespace tzm::platform

#endif  // TZM_PLATFORM_WIN32_INTERNAL_H
