// The built-in Windows-1251 tables, checked against the system's iconv.
#include <gtest/gtest.h>
#include <iconv.h>

#include "platform.h"

namespace tzm::platform {
namespace {

// UTF-8 of one CP1251 byte according to iconv; empty when iconv lacks it.
std::string IconvUtf8(uint8_t byte) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  size_t inLeft = 1, outLeft = sizeof(out);
  const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return {};
  return std::string(out, sizeof(out) - outLeft);
}

TEST(CodepageTest, TableMatchesIconvAndRoundTrips) {
  std::string all;
  int checked = 0;
  for (int b = 1; b < 256; ++b) {
    all.push_back(static_cast<char>(b));
    const std::string reference = IconvUtf8(static_cast<uint8_t>(b));
    const std::string single(1, static_cast<char>(b));
    if (!reference.empty()) {
      ++checked;
      EXPECT_EQ(Cp1251ToUtf8(single), reference) << "byte " << b;
    }
  }
  EXPECT_GE(checked, 254);  // every byte but the unassigned 0x98
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
  EXPECT_EQ(Utf16ToCp1251(Cp1251ToUtf16(all)), all);
  // "Привет, Ёж" both ways.
  const std::string cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6";
  const std::string utf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\x81\xD0\xB6";
  EXPECT_EQ(Cp1251ToUtf8(cp1251), utf8);
  EXPECT_EQ(Utf8ToCp1251(utf8), cp1251);
  EXPECT_EQ(Cp1251ToUtf16("\xC0\xFF\xB9"), (std::u16string{0x0410, 0x044F, 0x2116}));
}

TEST(CodepageTest, UnknownAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD"), "?");             // a CJK character
  EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80x"), "?x");        // outside the BMP
  EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");                 // overlong
  EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");                      // truncated
  EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");            // a surrogate
  EXPECT_EQ(Utf16ToCp1251(u"\xD83D\xDE00\x0416"), "?\xC6");  // pair, then Ж
}

TEST(CodepageTest, LetterCase) {
  EXPECT_EQ(Cp1251Upper('a'), 'A');
  EXPECT_EQ(Cp1251Upper('\xE0'), '\xC0');  // а → А
  EXPECT_EQ(Cp1251Upper('\xFF'), '\xDF');  // я → Я
  EXPECT_EQ(Cp1251Upper('\xB8'), '\xA8');  // ё → Ё
  EXPECT_EQ(Cp1251Lower('\xA8'), '\xB8');
  EXPECT_EQ(Cp1251Lower('\xB2'), '\xB3');  // І → і
  EXPECT_EQ(Cp1251Upper('1'), '1');
  EXPECT_EQ(Cp1251Upper('\xB9'), '\xB9');  // № has no case
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    EXPECT_EQ(Cp1251Upper(Cp1251Lower(Cp1251Upper(c))), Cp1251Upper(c)) << b;
  }
}

}  // namespace
}  // namespace tzm::platform
