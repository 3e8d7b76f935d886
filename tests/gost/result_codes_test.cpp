// Every message of the result-code table, byte for byte, as the engine
// writes it through GetCryptoErrorString.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "gost.h"
#include "gost/cp1251_iconv.h"
#include "gost/result_messages_utf8.h"

namespace tzm::test {
namespace {

std::string Hex(const std::string& s) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
    out += ' ';
  }
  return out;
}

// Writes the message of code into a 300-byte buffer pre-filled with 0xCC and
// checks the zero fill up to byte 255 and that nothing beyond it changed.
std::string MessageOf(TCryptoCEngine& engine, int32_t code) {
  char buffer[300];
  std::memset(buffer, 0xCC, sizeof buffer);
  engine.GetCryptoErrorString(code, buffer);
  const size_t len = strnlen(buffer, 255);
  EXPECT_LT(len, 255u) << code;
  for (size_t i = len; i < 255; ++i) EXPECT_EQ(buffer[i], '\0') << "code " << code << " byte " << i;
  for (size_t i = 255; i < sizeof buffer; ++i) EXPECT_EQ(static_cast<unsigned char>(buffer[i]), 0xCC) << code;
  return std::string(buffer, len);
}

TEST(ResultCodes, EveryMessageMatchesTheTableReEncodedToCp1251) {
  TCryptoCEngine engine;
  std::set<int32_t> seen;
  for (const TUtf8Message& m : kUtf8Messages) {
    const std::string expected = IconvUtf8ToCp1251(m.Text);
    EXPECT_EQ(std::string(ResultCodeMessage(m.Code)), expected) << m.Code;
    const std::string written = MessageOf(engine, m.Code);
    EXPECT_EQ(written, expected) << "code " << m.Code << "\n got " << Hex(written) << "\nwant " << Hex(expected);
    seen.insert(m.Code);
  }
  // The table covers exactly -32 to 15.
  EXPECT_EQ(seen.size(), 48u);
  EXPECT_EQ(*seen.begin(), -32);
  EXPECT_EQ(*seen.rbegin(), 15);
}

TEST(ResultCodes, SharedTextsAndExactPunctuation) {
  EXPECT_EQ(ResultCodeMessage(1), ResultCodeMessage(2));
  EXPECT_EQ(ResultCodeMessage(1), ResultCodeMessage(14));
  const std::string numeric(ResultCodeMessage(kErrNumericParams));
  EXPECT_EQ(std::count(numeric.begin(), numeric.end(), '"'), 6);
  const std::string critical(ResultCodeMessage(kErrCritical));
  EXPECT_EQ(critical.substr(critical.size() - 2), "! ");
  EXPECT_EQ(std::string(ResultCodeMessage(kErrSignatureFormat)).back(), '\xE8');  // no final full stop
}

TEST(ResultCodes, CodesOutsideTheTableGiveAZeroFilledBuffer) {
  TCryptoCEngine engine;
  for (int32_t code : {16, -33, 1000, -2147483647 - 1}) {
    EXPECT_TRUE(ResultCodeMessage(code).empty()) << code;
    EXPECT_EQ(MessageOf(engine, code), "") << code;
  }
  engine.GetCryptoErrorString(0, nullptr);  // no crash
}

}  // namespace
}  // namespace tzm::test
