// The key report as the tests expect it, written out independently of the
// library from the bytes of a public key file: its own hex dump, its own
// reading of the file layout.
#ifndef TZM_TESTS_KEYSTORE_REPORTS_EXPECTED_REPORT_H
#define TZM_TESTS_KEYSTORE_REPORTS_EXPECTED_REPORT_H

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace tzm::test {

// HexDump: "XXXX " per two bytes, CR LF after every 18 bytes.
inline std::string HexDump(const uint8_t* bytes, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
    out += digits;
    if (i % 2 == 1) out += ' ';
    if (i % 18 == 17) out += "\r\n";
  }
  return out;
}

// ExpectedReport builds the report of a well-formed public key file.
inline std::string ExpectedReport(const std::vector<uint8_t>& file) {
  const std::string uid(reinterpret_cast<const char*>(file.data()));
  const size_t algorithmAt = uid.size() + 1;
  const uint32_t algorithm = file[algorithmAt] | (file[algorithmAt + 1] << 8) | (file[algorithmAt + 2] << 16) |
                             (static_cast<uint32_t>(file[algorithmAt + 3]) << 24);
  const size_t signingAt = algorithmAt + 4;
  const size_t signingField = algorithm == 0 ? 128 : 100;
  const size_t signingShown = algorithm == 0 ? 128 : 64;
  std::string text = "UID=" + uid + "\r\n";
  text += "PKeyAlg=";
  text += algorithm == 0 ? "\xC3\xCE\xD1\xD2 P34.10 - 1994" : "\xC3\xCE\xD1\xD2 P34.10 - 2001";
  text += "\r\nSPKey=\r\n" + HexDump(file.data() + signingAt, signingShown) + "\r\n\r\n";
  text += "EPKey=\r\n" + HexDump(file.data() + signingAt + signingField, 128) + "\r\n\r\n";
  return text;
}

}  // namespace tzm::test

#endif
