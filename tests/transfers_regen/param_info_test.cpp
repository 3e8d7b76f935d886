// Parameter information for settings screens, the flag kinds of ExportObject
// and the preparation of a key medium, through the exports.
#include <gtest/gtest.h>

#include "transfer_helpers.h"

namespace tzm::test {
namespace {

class ParamInfoTest : public TTransferFixture {
 protected:
  static int32_t ExportFlag(const TTestUser& user, int32_t kind, uint8_t* out, int32_t* outLen) {
    return Host().ExportObject(user.Engine, kind, nullptr, nullptr, nullptr, out, outLen);
  }
};

TEST_F(ParamInfoTest, EveryParameterHasItsKindAndText) {
  TTestUser& user = AddUser("Alice", kAlgorithm2001);
  const struct {
    int32_t Kind;
    std::string Text;
  } expected[13] = {
      {10, "*.pub"}, {10, "*.sec"}, {11, "*.pub"}, {11, "*.pub"},
      {1, "0..1"}, {4, "255"}, {1, "0..2147483640"}, {1, "0..2147483640"},
      {7, "1994\r\n2001"}, {2, "0..255"}, {10, "*.pub"}, {10, "*.sec"},
      {7, "GOST\r\nOLD_FORMAT"},
  };
  for (int32_t index = 1; index <= 13; ++index) {
    const auto& want = expected[index - 1];
    int32_t kind = -99, len = 0;
    ASSERT_EQ(Host().GetParamInfo(user.Engine, index, &kind, nullptr, &len), 0) << index;
    EXPECT_EQ(kind, want.Kind) << index;
    EXPECT_EQ(len, static_cast<int32_t>(want.Text.size()) + 1) << index;
    std::vector<char> text(static_cast<size_t>(len), '\x7F');
    ASSERT_EQ(Host().GetParamInfo(user.Engine, index, &kind, text.data(), &len), 0) << index;
    EXPECT_EQ(std::string(text.data(), text.size()), want.Text + '\0') << index;
  }

  int32_t kind = -99, len = 10;
  std::vector<char> text(16, '\x7F');
  EXPECT_EQ(Host().GetParamInfo(user.Engine, 9, &kind, text.data(), &len), -4);
  EXPECT_EQ(len, 11);
  EXPECT_EQ(text[0], '\x7F');
  kind = -99;
  for (const int32_t index : {0, 14, -1}) {
    EXPECT_EQ(Host().GetParamInfo(user.Engine, index, &kind, text.data(), &len), -28);
    EXPECT_EQ(kind, -99);
  }
}

TEST_F(ParamInfoTest, FlagKindsUseTheFourByteSizeProtocol) {
  TTestUser& user = AddUser("Alice", kAlgorithm2001);
  uint8_t out[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  int32_t len = 0;
  EXPECT_EQ(ExportFlag(user, 8, nullptr, &len), 0);
  EXPECT_EQ(len, 4);
  len = 3;
  EXPECT_EQ(ExportFlag(user, 8, out, &len), -4);
  EXPECT_EQ(len, 4);
  EXPECT_EQ(out[0], 0xEE);
  len = 8;
  EXPECT_EQ(ExportFlag(user, 8, out, &len), 0);
  EXPECT_EQ(DecodeFixed32(out), 1u);
  EXPECT_EQ(len, 8);
  EXPECT_EQ(out[4], 0xEE);

  // Kind 17 tells whether the Abonents folder is usable.
  len = 4;
  EXPECT_EQ(ExportFlag(user, 17, out, &len), 0);
  EXPECT_EQ(DecodeFixed32(out), 0u);
  for (const std::string& value : {std::string(" \t "), (Root / "missing").string()}) {
    SetParam(user, 3, value);
    EXPECT_EQ(ExportFlag(user, 17, out, &len), 0);
    EXPECT_EQ(DecodeFixed32(out), 2u) << value;
  }
  len = 2;
  EXPECT_EQ(ExportFlag(user, 17, out, &len), -4);
  EXPECT_EQ(len, 4);
}

TEST_F(ParamInfoTest, CreateDirStructurePreparesAKeyMedium) {
  TTestUser& user = AddUser("Alice", kAlgorithm2001);
  const std::filesystem::path medium = Root / "medium";
  SetParam(user, 1, (medium / "keys" / "self.pub").string());
  SetParam(user, 3, (medium / "ab" / "nested").string());
  SetParam(user, 4, (medium / "ca").string());

  EXPECT_EQ(Host().CreateDirStructure(user.Engine, (Root / "absent.pub").string().c_str(), nullptr), -24);
  EXPECT_FALSE(std::filesystem::exists(medium / "ca"));

  // The key file's folder must exist for the copy.
  std::filesystem::create_directories(medium / "keys");
  ASSERT_EQ(Host().CreateDirStructure(user.Engine, user.PublicKeyPath.c_str(), nullptr), 0);
  EXPECT_EQ(ReadFileBytes(medium / "keys" / "self.pub"), ReadFileBytes(user.PublicKeyPath));
  EXPECT_TRUE(std::filesystem::is_directory(medium / "ab" / "nested"));
  EXPECT_TRUE(std::filesystem::is_directory(medium / "ca"));

  // The configured file itself: nothing to copy, the folders are made.
  std::filesystem::remove_all(medium / "ca");
  const std::string configured = (medium / "keys" / "self.pub").string();
  EXPECT_EQ(Host().CreateDirStructure(user.Engine, configured.c_str(), nullptr), 0);
  EXPECT_TRUE(std::filesystem::is_directory(medium / "ca"));
}

}  // namespace
}  // namespace tzm::test
