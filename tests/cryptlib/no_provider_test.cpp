// Runs from a folder without libcrypt.dll: every binding request answers
// -29 and is tried again, so the library is found once it appears in the
// root's EXE folder.
#include <gtest/gtest.h>

#include "cryptlib_test_util.h"
#include "export_loader.h"

namespace tzm {
namespace {

TEST(NoProvider, AnswersMinus29AndTriesAgainOnTheNextCall) {
  test::TMorkaExports exports;
  ASSERT_TRUE(exports.Ready());
  ASSERT_FALSE(std::filesystem::exists(std::filesystem::path(platform::HostExecutablePath()).parent_path() /
                                       "libcrypt.dll"));
  test::TScratchFolder folder;
  test::WriteAll(folder.Path("self.pub"), test::PublicImage("Owner", 1));
  TZMEngine engine = exports.NewEngine(folder.Root.string() + "/");
  std::string uid;
  EXPECT_EQ(exports.CurrentUID(engine, uid), -29);
  EXPECT_EQ(exports.CurrentUID(engine, uid), -29);
  char message[256] = {};
  exports.GetCryptoErrorString(engine, -29, message);
  EXPECT_NE(std::string(message).find("libcrypt.dll"), std::string::npos);

  // Parameters are checked before the library is needed.
  exports.SetCryptoParamValue(engine, 7, "x");
  EXPECT_EQ(exports.CurrentUID(engine, uid), -13);
  exports.SetCryptoParamValue(engine, 7, "60");

  // The provider appears in the root's EXE folder: the next call loads it.
  std::filesystem::create_directories(folder.Path("root/EXE"));
  std::filesystem::copy_file(std::filesystem::path(TZM_BIN_DIR) / "libcrypt.dll",
                             folder.Path("root/EXE/libcrypt.dll"));
  exports.SetRootPath(engine, folder.Text("root").c_str());
  ASSERT_EQ(exports.CurrentUID(engine, uid), 0);
  EXPECT_EQ(uid, "Owner");
  exports.DoneEngine(engine);
}

}  // namespace
}  // namespace tzm
