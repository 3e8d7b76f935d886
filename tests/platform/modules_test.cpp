// Run-time loading: by path, by bare name through "Path", resolution, lookup
// of loaded libraries by base name.
#include <gtest/gtest.h>

#include "platform.h"
#include "platform/temp_dir.h"

namespace tzm::platform {
namespace {

class ModulesTest : public test::TTempDirTest {};

using AnswerFn = int (*)();

TEST_F(ModulesTest, LoadResolveRelease) {
  TModule module = TModule::Open(TZM_TEST_MODULE);
  ASSERT_TRUE(module.IsLoaded());
  auto answer = reinterpret_cast<AnswerFn>(module.Resolve("TzmTestModuleAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(module.Resolve("NoSuchExport"), nullptr);
  EXPECT_EQ(module.FilePath(), TZM_TEST_MODULE);
  TModule moved = std::move(module);
  EXPECT_FALSE(module.IsLoaded());
  EXPECT_TRUE(moved.IsLoaded());
  moved.Release();
  EXPECT_FALSE(moved.IsLoaded());
  EXPECT_EQ(moved.Resolve("TzmTestModuleAnswer"), nullptr);
  EXPECT_FALSE(TModule::Open("C:\\missing\\lib.dll").IsLoaded());
  EXPECT_FALSE(TModule::Open("").IsLoaded());
}

TEST_F(ModulesTest, BareNamesAreSearchedInPathIgnoringCase) {
  std::filesystem::create_directories(DriveC() / "Soft" / "EXE");
  std::filesystem::copy_file(TZM_TEST_MODULE, DriveC() / "Soft" / "EXE" / "tzmprobe.dll");
  const auto saved = GetEnv("Path");
  ASSERT_TRUE(SetEnv("Path", "C:\\Nowhere;;C:\\SOFT\\EXE\\"));
  EXPECT_EQ(GetEnv("Path").value_or(""), "C:\\Nowhere;;C:\\SOFT\\EXE\\");
  TModule module = TModule::Open("TZMPROBE.DLL");
  if (saved) {
    SetEnv("Path", *saved);
  } else {
    UnsetEnv("Path");
  }
  ASSERT_TRUE(module.IsLoaded());
  EXPECT_NE(module.Resolve("TzmTestModuleAnswer"), nullptr);
  // The loaded library is found by its base name, in any letter case.
  const std::string found = LoadedModulePath("TzmProbe.DLL");
  EXPECT_EQ(found, (DriveC() / "Soft" / "EXE" / "tzmprobe.dll").string());
  module.Release();
  EXPECT_FALSE(GetEnv("TZM_SURELY_UNSET_VARIABLE").has_value());
}

TEST_F(ModulesTest, RelativePathEntriesAreNotSearched) {
  std::filesystem::create_directories(Root / "rel");
  std::filesystem::copy_file(TZM_TEST_MODULE, Root / "rel" / "relprobe.dll");
  const auto savedPath = GetEnv("Path");
  const auto savedDir = std::filesystem::current_path();
  std::filesystem::current_path(Root);
  ASSERT_TRUE(SetEnv("Path", "rel;.\\rel"));
  TModule module = TModule::Open("relprobe.dll");
  std::filesystem::current_path(savedDir);
  if (savedPath) {
    SetEnv("Path", *savedPath);
  } else {
    UnsetEnv("Path");
  }
  EXPECT_FALSE(module.IsLoaded());
}

TEST_F(ModulesTest, HostExecutableIsTheFallback) {
  const std::string host = HostExecutablePath();
  ASSERT_FALSE(host.empty());
  EXPECT_NE(host.find("platform_test"), std::string::npos);
  EXPECT_EQ(LoadedModulePath("CryptLib.dll"), host);
}

}  // namespace
}  // namespace tzm::platform
