// The parameter table, the %KVLRoot% macro, the engine's directories and
// CopyTextToBuffer.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "engine/test_engines.h"

namespace tzm::test {
namespace {

class TParamEngine : public TBareEngine {
 public:
  TParamEngine() {
    for (int i = 1; i <= 3; ++i) {
      ParamNames.push_back("Name" + std::to_string(i));
      ParamValues.push_back(i == 2 ? "" : "Value" + std::to_string(i));
    }
    ParamsChanged = false;
  }
};

TEST(Parameters, ReadByOneBasedIndexAndOutOfRangeGivesEmptyText) {
  TParamEngine e;
  char buffer[1100];
  EXPECT_EQ(e.GetCryptoParamNumber(), 3);
  e.GetCryptoParamName(1, buffer);
  EXPECT_STREQ(buffer, "Name1");
  e.GetCryptoParamValue(3, buffer);
  EXPECT_STREQ(buffer, "Value3");
  e.GetCryptoParamValue(2, buffer);
  EXPECT_STREQ(buffer, "");
  for (int32_t index : {0, -1, 4, 1000}) {
    std::strcpy(buffer, "stale");
    e.GetCryptoParamName(index, buffer);
    EXPECT_STREQ(buffer, "") << index;
    std::strcpy(buffer, "stale");
    e.GetCryptoParamValue(index, buffer);
    EXPECT_STREQ(buffer, "") << index;
  }
  // Nil buffers are left alone.
  e.GetCryptoParamName(1, nullptr);
  e.GetCryptoParamValue(1, nullptr);
}

TEST(Parameters, SetStoresTheTextWholeAndMarksTheChange) {
  TParamEngine e;
  char buffer[1100];
  EXPECT_EQ(e.SetCryptoParamValue(0, "x"), -1);
  EXPECT_EQ(e.SetCryptoParamValue(4, "x"), -1);
  EXPECT_FALSE(e.ParamsChanged);

  EXPECT_EQ(e.SetCryptoParamValue(1, "%kvlroot%\\Keys\\Self.PUB "), 0);
  EXPECT_TRUE(e.ParamsChanged);
  e.GetCryptoParamValue(1, buffer);
  EXPECT_STREQ(buffer, "%kvlroot%\\Keys\\Self.PUB ");

  EXPECT_EQ(e.SetCryptoParamValue(3, nullptr), 0);
  e.GetCryptoParamValue(3, buffer);
  EXPECT_STREQ(buffer, "");

  const std::string longValue(1500, 'v');
  EXPECT_EQ(e.SetCryptoParamValue(2, longValue.c_str()), 0);
  EXPECT_EQ(e.ParamValues[1], longValue);  // stored whole
  std::memset(buffer, 'z', sizeof buffer);
  e.GetCryptoParamValue(2, buffer);
  EXPECT_EQ(std::string(buffer), std::string(1023, 'v'));  // read back cut, terminated
  EXPECT_EQ(buffer[1024], 'z');
}

TEST(RootMacro, ExpandsOnlyALeadingMacroAndUpperCasesTheResult) {
  TBareEngine e;
  e.SetEngineRootPath("C:\\Data");
  EXPECT_EQ(e.RootPath, "C:\\Data\\");
  EXPECT_EQ(e.ExpandRootMacro("%kvlroot%\\keys\\a.pub"), "C:\\DATA\\KEYS\\A.PUB");
  EXPECT_EQ(e.ExpandRootMacro("%KVLROOT%keys"), "C:\\DATA\\KEYS");
  EXPECT_EQ(e.ExpandRootMacro("%KVLRoot%"), "C:\\DATA\\");
  EXPECT_EQ(e.ExpandRootMacro("c:\\keys\\a.pub"), "c:\\keys\\a.pub");
  EXPECT_EQ(e.ExpandRootMacro("x%KVLRoot%\\a"), "x%KVLRoot%\\a");
  EXPECT_EQ(e.ExpandRootMacro("%KVLRoo"), "%KVLRoo");
  EXPECT_EQ(e.ExpandRootMacro(""), "");
  // Windows-1251 letters are upper-cased too ("\xEA\xEB\xFE\xF7" is lower-case Cyrillic).
  EXPECT_EQ(e.ExpandRootMacro("%KVLRoot%\\\xEA\xEB\xFE\xF7"), "C:\\DATA\\\xCA\xCB\xDE\xD7");

  TBareEngine noRoot;
  EXPECT_EQ(noRoot.ExpandRootMacro("%KVLRoot%\\keys\\a.pub"), "KEYS\\A.PUB");
}

TEST(RootMacro, DirectoryFormAndStoredDirectories) {
  TBareEngine e;
  EXPECT_EQ(e.ExpandRootMacroDir("A"), "A:\\");
  EXPECT_EQ(e.ExpandRootMacroDir("z"), "z:\\");
  EXPECT_EQ(e.ExpandRootMacroDir("C:\\keys"), "C:\\keys\\");
  EXPECT_EQ(e.ExpandRootMacroDir("C:\\keys\\"), "C:\\keys\\");
  EXPECT_EQ(e.ExpandRootMacroDir(""), "");
  e.SetEngineRootPath("D:\\Root\\");
  EXPECT_EQ(e.ExpandRootMacroDir("%KVLRoot%\\Abonents"), "D:\\ROOT\\ABONENTS\\");

  e.SetRemoteGeneratePath("%KVLRoot%\\rg");
  EXPECT_EQ(e.RemoteGeneratePath, "D:\\ROOT\\RG\\");
  e.SetRemoteGeneratePath("");
  EXPECT_EQ(e.RemoteGeneratePath, "");
  e.SetEngineRootPath("");
  EXPECT_EQ(e.RootPath, "");
}

TEST(CopyTextToBuffer, AlwaysTerminatesInsideTheBuffer) {
  char buffer[255];
  const std::string uid254(254, 'u');
  const std::string uid300(300, 'w');
  EXPECT_TRUE(TCryptoEngine::CopyTextToBuffer(uid254.c_str(), buffer, 255));
  EXPECT_EQ(std::string(buffer), uid254);
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_TRUE(TCryptoEngine::CopyTextToBuffer(uid300.c_str(), buffer, 255));
  EXPECT_EQ(std::string(buffer), std::string(254, 'w'));  // cut, terminated at byte 254
  EXPECT_TRUE(TCryptoEngine::CopyTextToBuffer(std::string(255, 'x').c_str(), buffer, 255));
  EXPECT_EQ(buffer[254], '\0');
  EXPECT_TRUE(TCryptoEngine::CopyTextToBuffer("short", buffer, 255));
  EXPECT_STREQ(buffer, "short");

  EXPECT_FALSE(TCryptoEngine::CopyTextToBuffer(nullptr, buffer, 255));
  EXPECT_FALSE(TCryptoEngine::CopyTextToBuffer("a", nullptr, 255));
  EXPECT_FALSE(TCryptoEngine::CopyTextToBuffer("a", buffer, 0));
  EXPECT_FALSE(TCryptoEngine::CopyTextToBuffer("a", buffer, -5));
}

class RemoteGenDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Base = std::filesystem::temp_directory_path() /
           (std::string("tzm_rg_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(Base);
    std::filesystem::create_directories(Base);
    BaseDir = Base.string() + "\\";
    E.RemoteGeneratePath = "FALLBACK\\";
  }
  void TearDown() override { std::filesystem::remove_all(Base); }
  std::filesystem::path Base;
  std::string BaseDir;
  TBareEngine E;
};

TEST_F(RemoteGenDirTest, FallsBackWithoutAUidOrAFolder) {
  E.OnGetCurrentUserUID = [](char*) { return -11; };
  EXPECT_EQ(E.GetRemoteGenDir(BaseDir), "FALLBACK\\");
  EXPECT_EQ(E.ForceRemoteGenDir(BaseDir), "FALLBACK\\");
  EXPECT_TRUE(std::filesystem::is_empty(Base));

  E.OnGetCurrentUserUID = [](char* b) { return std::strcpy(b, "User1"), 0; };
  EXPECT_EQ(E.GetRemoteGenDir(BaseDir), "FALLBACK\\");  // folder does not exist yet
}

TEST_F(RemoteGenDirTest, ForceCreatesThePerUserFolder) {
  E.OnGetCurrentUserUID = [](char* b) { return std::strcpy(b, "User1"), 0; };
  const std::string expected = BaseDir + "RGUser1\\";
  EXPECT_EQ(E.ForceRemoteGenDir(BaseDir), expected);
  EXPECT_TRUE(std::filesystem::is_directory(Base / "RGUser1"));
  EXPECT_EQ(E.GetRemoteGenDir(BaseDir), expected);
}

TEST_F(RemoteGenDirTest, LongestUidFitsTheScratchBuffer) {
  // A 254-character UID and its terminator are 255 bytes; the scratch buffer
  // must hold both.
  E.OnGetCurrentUserUID = [](char* b) {
    std::memset(b, 'u', 254);
    b[254] = '\0';
    return 0;
  };
  EXPECT_EQ(E.GetRemoteGenDir(BaseDir), "FALLBACK\\");
}

}  // namespace
}  // namespace tzm::test
