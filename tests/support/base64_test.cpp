// Base64: encoder known answers, the strict decoder's rows and messages.
#include <gtest/gtest.h>

#include <random>

#include "support.h"

namespace tzm {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

struct TDecodeRow {
  const char* Name;
  std::string Text;
  std::string Expected;    // decoded bytes; empty = no output
  std::string Error;       // raising form: exception class, or empty when it does not raise
  std::string Message;     // exact message when it raises
};

class Base64DecodeTest : public ::testing::TestWithParam<TDecodeRow> {};

TEST_P(Base64DecodeTest, BothForms) {
  const TDecodeRow& row = GetParam();
  EXPECT_EQ(Base64Decode(row.Text), Bytes(row.Expected));
  if (row.Error.empty()) {
    EXPECT_EQ(DecodeBuffer(row.Text), Bytes(row.Expected));
    return;
  }
  try {
    DecodeBuffer(row.Text);
    ADD_FAILURE() << "no exception";
  } catch (const EException& e) {
    EXPECT_STREQ(e.ClassName(), row.Error.c_str());
    EXPECT_EQ(e.GetMessage(), row.Message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Base64DecodeTest,
    ::testing::Values(
        // [valid]
        TDecodeRow{"plain", "YWJj", "abc", "", ""},
        TDecodeRow{"line_breaks", "YW\r\nJj", "abc", "", ""},
        TDecodeRow{"one_pad", "YWI=", "ab", "", ""},
        TDecodeRow{"two_pads", "YQ==", "a", "", ""},
        TDecodeRow{"after_pad_ignored", "YWI=!!!!", "ab", "", ""},
        TDecodeRow{"padded_four", "YWJjZA==", "abcd", "", ""},
        TDecodeRow{"breaks_make_room", "YWJjZA\r\n", "abcd", "", ""},
        TDecodeRow{"long_line", "AAECAwQFBgcICQoLDA0ODw==", std::string("\0\1\2\3\4\5\6\7\10\11\12\13\14\15\16\17", 16), "", ""},
        // [no output]
        TDecodeRow{"unpadded_overflow", "YWJjZA", "", "", ""},
        TDecodeRow{"only_breaks", "\r\n\r\n", "", "", ""},
        TDecodeRow{"only_pads", "====", "", "", ""},
        TDecodeRow{"single_char", "QQ==", "A", "", ""},
        TDecodeRow{"lone_sextet", "Q===", "", "", ""},
        // [invalid]
        TDecodeRow{"too_short", "YQ", "", "EAssertionFailed", "Assertion failure"},
        TDecodeRow{"empty", "", "", "EAssertionFailed", "Assertion failure"},
        TDecodeRow{"space", "YW Jj", "", "EMimeException", "Error mime decode. Wrong symbol \" \" at position 3."},
        TDecodeRow{"tab_at_end", "YWJj\t", "", "EMimeException", "Error mime decode. Wrong symbol \"\t\" at position 5."},
        TDecodeRow{"high_byte", "YWJ\xC0", "", "EMimeException", "Error mime decode. Wrong symbol \"\xC0\" at position 4."},
        TDecodeRow{"url_alphabet", "-_-_", "", "EMimeException", "Error mime decode. Wrong symbol \"-\" at position 1."},
        TDecodeRow{"nul_byte", std::string("YW\0j", 4), "", "EMimeException",
                   std::string("Error mime decode. Wrong symbol \"") + '\0' + "\" at position 3."}),
    [](const ::testing::TestParamInfo<TDecodeRow>& info) { return std::string(info.param.Name); });

TEST(Base64Test, EncodeKnownAnswers) {
  EXPECT_EQ(EncodeBuffer({}), "");
  EXPECT_EQ(Base64Encode({}), "");
  EXPECT_EQ(EncodeBuffer(Bytes("a")), "YQ==");
  EXPECT_EQ(EncodeBuffer(Bytes("ab")), "YWI=");
  EXPECT_EQ(EncodeBuffer(Bytes("abc")), "YWJj");
  EXPECT_EQ(EncodeBuffer(Bytes("\xFF\xFE\xFD")), "//79");
  const std::string text = EncodeBuffer(std::vector<uint8_t>(32, 0x5A));
  EXPECT_EQ(text.size(), 44u);
  EXPECT_EQ(text.back(), '=');
  EXPECT_NE(text[text.size() - 2], '=');
}

TEST(Base64Test, RoundTripsWithLineBreaks) {
  std::mt19937 rng(7);
  for (size_t len = 1; len < 3200; len += 1 + len / 5) {
    std::vector<uint8_t> data(len);
    for (auto& b : data) b = static_cast<uint8_t>(rng());
    const std::string text = Base64Encode(data);
    ASSERT_EQ(text.size(), 4 * ((len + 2) / 3));
    ASSERT_EQ(Base64Decode(text), data) << len;
    std::string wrapped;
    for (size_t i = 0; i < text.size(); i += 76) wrapped += text.substr(i, 76) + "\r\n";
    ASSERT_EQ(Base64Decode(wrapped), data) << len;
  }
}

TEST(Base64Test, LongUnpaddedTextIsRefusedNotTruncated) {
  // Unpadded text of 4n+2 characters decodes to one byte more than its
  // capacity; a long one must not come back as its first blocks only.
  std::vector<uint8_t> data(3001, 0x42);
  std::string text = Base64Encode(data);
  ASSERT_EQ(text.substr(text.size() - 2), "==");
  text.resize(text.size() - 2);
  EXPECT_TRUE(Base64Decode(text).empty());
  EXPECT_TRUE(DecodeBuffer(text).empty());
  // The same text with its padding decodes in full.
  EXPECT_EQ(Base64Decode(text + "=="), data);
}

}  // namespace
}  // namespace tzm
