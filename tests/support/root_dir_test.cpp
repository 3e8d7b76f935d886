// The root directory: set once, refusal of another root, the "Path" update
// and the library resolution order.
#include <gtest/gtest.h>

#include "platform/temp_dir.h"
#include "support.h"

namespace tzm {
namespace {

class RootDirTest : public test::TTempDirTest {
 protected:
  void SetUp() override {
    TTempDirTest::SetUp();
    SavedPath = platform::GetEnv("Path");
    ResetKVLRoot();
  }
  void TearDown() override {
    ResetKVLRoot();
    if (SavedPath) {
      platform::SetEnv("Path", *SavedPath);
    } else {
      platform::UnsetEnv("Path");
    }
    TTempDirTest::TearDown();
  }
  static std::string PathVar() { return platform::GetEnv("Path").value_or("<unset>"); }

  std::optional<std::string> SavedPath;
};

TEST_F(RootDirTest, SetOnceAndRefuseAnother) {
  platform::UnsetEnv("Path");
  EXPECT_EQ(KVLRoot(), "");
  EXPECT_TRUE(LibrarySearchList().empty());
  SetKVLRoot("C:\\Soft");
  EXPECT_EQ(KVLRoot(), "C:\\Soft\\");
  EXPECT_EQ(LibrarySearchList(),
            (std::vector<std::string>{"C:\\Soft\\EXE\\", "C:\\Soft\\SYSTEM\\", "C:\\Soft\\USER\\", "C:\\Soft\\"}));
  EXPECT_EQ(PathVar(), "C:\\Soft\\EXE\\;C:\\Soft\\SYSTEM\\;C:\\Soft\\USER\\;C:\\Soft\\");

  platform::SetEnv("Path", "marker");
  SetKVLRoot("C:\\Soft\\");  // the same root: accepted, nothing touched
  EXPECT_EQ(PathVar(), "marker");
  for (const char* other : {"c:\\soft", "D:\\Other"}) {
    try {
      SetKVLRoot(other);
      ADD_FAILURE() << other;
    } catch (const EException& e) {
      EXPECT_EQ(e.GetMessage(), std::string("Could not set KVLRoot to '") + other + "'. Already set to 'C:\\Soft\\'.");
    }
  }
  EXPECT_EQ(KVLRoot(), "C:\\Soft\\");

  ResetKVLRoot();
  platform::UnsetEnv("Path");
  SetKVLRoot("");
  EXPECT_EQ(KVLRoot(), "\\");
}

TEST_F(RootDirTest, PathGetsOnlyMissingFolders) {
  // Present in any letter case, followed by ";" or at the end: not added again.
  platform::SetEnv("Path", "X:\\bin;c:\\soft\\exe\\;C:\\SOFT\\SYSTEM\\");
  SetKVLRoot("C:\\Soft");
  EXPECT_EQ(PathVar(), "X:\\bin;c:\\soft\\exe\\;C:\\SOFT\\SYSTEM\\;C:\\Soft\\USER\\;C:\\Soft\\");

  // A longer folder that starts with ours does not count as ours.
  ResetKVLRoot();
  platform::SetEnv("Path", "C:\\Soft\\EXE\\Tools");
  SetKVLRoot("C:\\Soft");
  EXPECT_EQ(PathVar(), "C:\\Soft\\EXE\\Tools;C:\\Soft\\EXE\\;C:\\Soft\\SYSTEM\\;C:\\Soft\\USER\\;C:\\Soft\\");

  // Nothing missing: the variable is not rewritten (its spelling stays). The
  // root is a prefix of its EXE folder, so every occurrence must be looked
  // at, not just the first, or the root would be added again each time.
  ResetKVLRoot();
  platform::SetEnv("Path", "c:\\soft\\exe\\;c:\\soft\\system\\;c:\\soft\\user\\;c:\\soft\\");
  SetKVLRoot("C:\\Soft");
  EXPECT_EQ(PathVar(), "c:\\soft\\exe\\;c:\\soft\\system\\;c:\\soft\\user\\;c:\\soft\\");
}

TEST_F(RootDirTest, ResolveAndLoadLibraries) {
  EXPECT_EQ(ResolveLibraryPath("C:\\No\\such.dll"), "C:\\No\\such.dll");
  EXPECT_EQ(ResolveLibraryPath("tzm_surely_missing.dll"), "tzm_surely_missing.dll");
  platform::UnsetEnv("Path");
  SetKVLRoot("C:\\Soft");
  const std::string probe = "tzm_resolve_probe_" + std::to_string(platform::CurrentThreadId()) + ".dll";
  WriteNative(DriveC() / "Soft" / "USER" / probe, "x");
  EXPECT_EQ(ResolveLibraryPath(probe), "C:\\Soft\\USER\\" + probe);
  WriteNative(DriveC() / "Soft" / "EXE" / probe, "x");
  EXPECT_EQ(ResolveLibraryPath(probe), "C:\\Soft\\EXE\\" + probe);
  // Beside the host executable wins over the root's folders.
  const std::string hostDir = ExtractFilePath(platform::HostExecutablePath());
  ASSERT_FALSE(hostDir.empty());
  WriteNative(hostDir + probe, "x");
  EXPECT_EQ(ResolveLibraryPath(probe), hostDir + probe);
  std::filesystem::remove(hostDir + probe);

  std::filesystem::create_directories(DriveC() / "Soft" / "SYSTEM");
  std::filesystem::copy_file(TZM_TEST_MODULE, DriveC() / "Soft" / "SYSTEM" / "tzmlib.dll");
  platform::TModule module = LoadLibraryByName("TzmLib.dll");
  ASSERT_TRUE(module.IsLoaded());
  EXPECT_NE(module.Resolve("TzmTestModuleAnswer"), nullptr);
  EXPECT_FALSE(LoadLibraryByName("tzm_surely_missing.dll").IsLoaded());
}

}  // namespace
}  // namespace tzm
