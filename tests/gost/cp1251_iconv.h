// Re-encodes UTF-8 test text to Windows-1251 with the C library's iconv, a
// converter independent of the library under test.
#ifndef TZM_TESTS_GOST_CP1251_ICONV_H
#define TZM_TESTS_GOST_CP1251_ICONV_H

#include <iconv.h>

#include <stdexcept>
#include <string>

namespace tzm::test {

inline std::string IconvUtf8ToCp1251(const std::string& utf8) {
  iconv_t cd = iconv_open("CP1251", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open CP1251 failed");
  std::string out(utf8.size() + 1, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1) || inLeft != 0) throw std::runtime_error("iconv failed for: " + utf8);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace tzm::test

#endif
