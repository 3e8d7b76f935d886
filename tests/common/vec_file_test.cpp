// The known-answer reader: what it parses, and that it fails the test on
// malformed lines, missing or repeated fields and fields nobody reads.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <sstream>

#include "vec_file.h"

namespace {

using vectest::TVecFile;

TEST(VecFileTest, ParsesSectionsEntriesAndComments) {
  std::istringstream text(
      "# leading comment\r\n"
      "[Ecb(test)]\r\n"
      "Key = 00FF\r\n"
      "Text = two words\r\n"
      "\r\n"
      "[GOST-34.10-2001(CryptoPro-A) verify]\n"
      "# comment inside an entry's section\n"
      "Len = 42\n"
      "Empty =\n");
  TVecFile file("mem.vec", text);
  ASSERT_EQ(file.size(), 2u);
  EXPECT_EQ(file[0].Algorithm, "Ecb");
  EXPECT_EQ(file[0].Param, "test");
  EXPECT_EQ(file[0].Where(), "mem.vec:3");
  EXPECT_EQ(file[0].Bytes("Key"), (std::vector<uint8_t>{0x00, 0xFF}));
  EXPECT_EQ(file[0].Text("Text"), "two words");
  EXPECT_EQ(file[1].Section, "GOST-34.10-2001(CryptoPro-A) verify");
  EXPECT_EQ(file[1].Param, "CryptoPro-A");
  EXPECT_EQ(file[1].Number("Len"), 42u);
  EXPECT_TRUE(file[1].Has("Empty"));
  EXPECT_EQ(file[1].Text("Empty"), "");
  EXPECT_FALSE(file[1].Has("Key"));
}

TEST(VecFileTest, UnreadFieldFailsWhenTheFileIsReleased) {
  EXPECT_NONFATAL_FAILURE(
      {
        std::istringstream text("[Hash(test)]\nIn = 00\nDigest = 11\n");
        TVecFile file("mem.vec", text);
        (void)file[0].Bytes("In");
      },
      "mem.vec:2: field Digest is never read");
}

TEST(VecFileTest, BadInputFailsTheTest) {
  auto parse = [](const char* s) {
    std::istringstream text(s);
    TVecFile file("mem.vec", text);
    for (const auto& e : file)
      for (const auto& [key, value] : e.Fields) (void)e.Text(key);
  };
  EXPECT_NONFATAL_FAILURE(parse("[Hash test]\n"), "bad section header");
  EXPECT_NONFATAL_FAILURE(parse("[Hash(test)]\nKey: 00\n"), "expected 'Key = value'");
  EXPECT_NONFATAL_FAILURE(parse("[Hash(test)]\nKey = 00\nKey = 01\n"), "field Key repeated");

  std::istringstream text("[Hash(test)]\nOdd = 0\nBad = 0g\nLen = 4x\n");
  TVecFile file("mem.vec", text);
  EXPECT_NONFATAL_FAILURE((void)file[0].Bytes("Odd"), "odd hex length");
  EXPECT_NONFATAL_FAILURE((void)file[0].Bytes("Bad"), "bad hex");
  EXPECT_NONFATAL_FAILURE((void)file[0].Number("Len"), "not a number");
  EXPECT_NONFATAL_FAILURE((void)file[0].Text("Missing"), "mem.vec:2: missing field Missing");
}

}  // namespace
