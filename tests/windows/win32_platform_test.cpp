// The Win32 side of the platform layer and of the root directory, run on
// Windows (or under Wine): the "Path" variable, where libraries are found,
// the module query behind the "CryptLib.dll" fallback, drive-letter paths,
// read-only files, find-first/find-next masks and letter case in file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform.h"
#include "support.h"

namespace tzm::test {
namespace {

using platform::GetEnv;

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// A fresh folder under the Windows temporary folder, as a drive-letter path
// ending in "\"; removed with everything in it at the end.
class TWinFolder {
 public:
  explicit TWinFolder(const std::string& name) {
    const std::string temp = GetEnv("TEMP").value_or("C:\\");
    Path = AddBackslash(temp) + "tzm_win_" + name + "_" + std::to_string(platform::CurrentThreadId()) + "\\";
    ClearDirectory(Path, true);
    EXPECT_TRUE(ForceDirs(Path)) << Path;
  }
  ~TWinFolder() { ClearDirectory(Path, true); }
  std::string Path;
};

void WriteText(const std::string& path, const std::string& text) {
  ASSERT_TRUE(platform::WriteWholeFile(path, Bytes(text))) << path;
}

std::set<std::string> Find(const std::string& pattern) {
  std::set<std::string> names;
  platform::TFileFind find;
  for (bool ok = find.First(pattern); ok; ok = find.Next()) names.insert(find.Entry().Name);
  return names;
}

// Keeps the process "Path" and the root directory as they were.
class RootDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedPath = GetEnv("Path");
    ResetKVLRoot();
  }
  void TearDown() override {
    ResetKVLRoot();
    if (SavedPath) {
      platform::SetEnv("Path", *SavedPath);
    } else {
      platform::UnsetEnv("Path");
    }
  }
  std::optional<std::string> SavedPath;
};

TEST_F(RootDirTest, PathVariableGetsTheRootFoldersWhateverItsNameCase) {
  // Windows keeps one variable whatever the case of its name: "PATH" set here
  // is the "Path" that the root directory extends.
  ASSERT_TRUE(platform::SetEnv("PATH", "C:\\Windows\\system32;c:\\soft\\exe\\"));
  SetKVLRoot("C:\\Soft");
  EXPECT_EQ(GetEnv("path").value_or(""),
            "C:\\Windows\\system32;c:\\soft\\exe\\;C:\\Soft\\SYSTEM\\;C:\\Soft\\USER\\;C:\\Soft\\");
  EXPECT_EQ(LibrarySearchList(),
            (std::vector<std::string>{"C:\\Soft\\EXE\\", "C:\\Soft\\SYSTEM\\", "C:\\Soft\\USER\\", "C:\\Soft\\"}));

  // An empty variable becomes the four folders, the EXE folder first; the
  // same root again changes nothing, another root is refused.
  ResetKVLRoot();
  ASSERT_TRUE(platform::UnsetEnv("Path"));
  SetKVLRoot("D:\\Bank\\");
  EXPECT_EQ(GetEnv("PATH").value_or(""), "D:\\Bank\\EXE\\;D:\\Bank\\SYSTEM\\;D:\\Bank\\USER\\;D:\\Bank\\");
  EXPECT_NO_THROW(SetKVLRoot("D:\\Bank"));
  EXPECT_THROW(SetKVLRoot("d:\\bank"), EException);
  EXPECT_EQ(GetEnv("Path").value_or(""), "D:\\Bank\\EXE\\;D:\\Bank\\SYSTEM\\;D:\\Bank\\USER\\;D:\\Bank\\");
}

TEST_F(RootDirTest, LibrariesBesideTheHostComeBeforeTheRootFolders) {
  const std::string exeDir = ExtractFilePath(platform::HostExecutablePath());
  ASSERT_EQ(exeDir.size() > 3 && exeDir[1] == ':' && exeDir.back() == '\\', true) << exeDir;
  ASSERT_TRUE(platform::FileExists(exeDir + "libcrypt.dll")) << "the test runs beside libcrypt.dll";

  // The root's EXE folder holds a libcrypt.dll too, and a library of its own.
  TWinFolder root("root");
  ASSERT_TRUE(ForceDirs(root.Path + "EXE"));
  ASSERT_TRUE(ForceDirs(root.Path + "USER"));
  ASSERT_TRUE(CopyFileData(exeDir + "libcrypt.dll", root.Path + "EXE\\libcrypt.dll"));
  ASSERT_TRUE(CopyFileData(exeDir + "libcrypt.dll", root.Path + "USER\\onlyuser.dll"));
  SetKVLRoot(root.Path);

  EXPECT_EQ(ResolveLibraryPath("libcrypt.dll"), exeDir + "libcrypt.dll");
  EXPECT_EQ(ResolveLibraryPath("onlyuser.dll"), root.Path + "USER\\onlyuser.dll");
  EXPECT_EQ(ResolveLibraryPath("nowhere.dll"), "nowhere.dll");
  EXPECT_EQ(ResolveLibraryPath("Q:\\missing\\libcrypt.dll"), "Q:\\missing\\libcrypt.dll");

  // The system loader takes the resolved file, and reports it with its drive.
  platform::TModule found = LoadLibraryByName("onlyuser.dll");
  ASSERT_TRUE(found.IsLoaded());
  EXPECT_EQ(AnsiLowerCase(found.FilePath()), AnsiLowerCase(root.Path + "USER\\onlyuser.dll"));
  EXPECT_NE(found.Resolve("CrypC_Random_Fill"), nullptr);
  EXPECT_EQ(found.Resolve("NoSuchEntry"), nullptr);
}

TEST_F(RootDirTest, BareNamesAreNeverLoadedFromTheCurrentFolder) {
  const std::string exeDir = ExtractFilePath(platform::HostExecutablePath());
  TWinFolder folder("cwd");
  ASSERT_TRUE(CopyFileData(exeDir + "libcrypt.dll", folder.Path + "planted.dll"));
  const std::filesystem::path savedCwd = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path);

  // Neither by itself nor through a relative "Path" entry.
  ASSERT_TRUE(platform::SetEnv("Path", ".;" + (GetEnv("SystemRoot").value_or("C:\\windows") + "\\system32")));
  EXPECT_FALSE(platform::TModule::Open("planted.dll").IsLoaded());
  EXPECT_FALSE(LoadLibraryByName("planted.dll").IsLoaded());
  // An absolute "Path" folder is searched; so are the system folders.
  ASSERT_TRUE(platform::SetEnv("Path", "C:\\nowhere;" + folder.Path));
  platform::TModule planted = platform::TModule::Open("planted.dll");
  EXPECT_TRUE(planted.IsLoaded());
  planted.Release();
  EXPECT_TRUE(platform::TModule::Open("kernel32.dll").IsLoaded());
  std::filesystem::current_path(savedCwd);
}

TEST(Win32Modules, LoadedModuleQueryFallsBackToTheHostExecutable) {
  // Not loaded: Windows answers the host executable's file.
  EXPECT_EQ(platform::LoadedModulePath("CryptLib.dll"), platform::HostExecutablePath());

  // Loaded under that name (any letter case): its own file.
  const std::string exeDir = ExtractFilePath(platform::HostExecutablePath());
  TWinFolder folder("cryptlib");
  ASSERT_TRUE(CopyFileData(exeDir + "libcrypt.dll", folder.Path + "CryptLib.dll"));
  {
    platform::TModule module = platform::TModule::Open(folder.Path + "CryptLib.dll");
    ASSERT_TRUE(module.IsLoaded());
    EXPECT_EQ(AnsiLowerCase(platform::LoadedModulePath("cryptlib.DLL")), AnsiLowerCase(folder.Path + "CryptLib.dll"));
  }
  EXPECT_EQ(platform::LoadedModulePath("CryptLib.dll"), platform::HostExecutablePath());
}

TEST(Win32Files, DriveLetterPathsAndLetterCase) {
  TWinFolder folder("files");
  ASSERT_EQ(folder.Path[1], ':');
  EXPECT_TRUE(platform::DirectoryExists("C:\\"));
  EXPECT_TRUE(ForceDirs("C:\\"));

  // One file, reached under any letter case of its name and folder.
  const std::string file = folder.Path + "Alice.PUB";
  ASSERT_TRUE(platform::WriteFileAtomic(file, Bytes("key bytes")));
  EXPECT_TRUE(platform::FileExists(AnsiUpperCase(folder.Path) + "alice.pub"));
  EXPECT_EQ(platform::ReadWholeFile(folder.Path + "ALICE.pub").value_or(std::vector<uint8_t>()), Bytes("key bytes"));
  EXPECT_EQ(platform::FileSize(folder.Path + "aLiCe.PuB").value_or(0), 9u);
  // Writing under another case replaces the same file, it does not add one.
  ASSERT_TRUE(platform::WriteFileAtomic(folder.Path + "ALICE.PUB", Bytes("new bytes!")));
  EXPECT_EQ(Find(folder.Path + "*.*"), (std::set<std::string>{"Alice.PUB"}));
  EXPECT_EQ(platform::ReadWholeFile(file).value_or(std::vector<uint8_t>()), Bytes("new bytes!"));

  // Read-only: no write, no delete, no replacement by rename, until cleared.
  ASSERT_TRUE(platform::SetAttributes(file, platform::kAttrReadOnly));
  EXPECT_NE(platform::FileAttributes(file).value_or(0) & platform::kAttrReadOnly, 0u);
  WriteText(folder.Path + "other.pub", "other");
  EXPECT_FALSE(platform::WriteFileAtomic(file, Bytes("x")));
  EXPECT_FALSE(platform::WriteWholeFile(file, Bytes("x")));
  EXPECT_FALSE(platform::RenameFile(folder.Path + "other.pub", file));
  EXPECT_FALSE(platform::RemoveFile(file));
  EXPECT_EQ(platform::ReadWholeFile(file).value_or(std::vector<uint8_t>()), Bytes("new bytes!"));
  ASSERT_TRUE(platform::SetAttributes(file, platform::kAttrArchive));
  EXPECT_TRUE(platform::RenameFile(folder.Path + "other.pub", file));
  EXPECT_TRUE(platform::RemoveFile(folder.Path + "alice.pub"));
  EXPECT_FALSE(platform::FileExists(file));
}

TEST(Win32Files, FindFirstNextMasks) {
  TWinFolder folder("find");
  for (const char* name : {"a.pub", "B.PUB", "pk1.pub", "pk12.pub", "noext", "keys.sec"}) {
    WriteText(folder.Path + name, name);
  }
  ASSERT_TRUE(platform::MakeDirectory(folder.Path + "sub"));
  WriteText(folder.Path + "sub\\inner.pub", "inner");

  EXPECT_EQ(Find(folder.Path + "*.pub"), (std::set<std::string>{"a.pub", "B.PUB", "pk1.pub", "pk12.pub"}));
  EXPECT_EQ(Find(folder.Path + "PK?.PUB"), (std::set<std::string>{"pk1.pub"}));
  EXPECT_EQ(Find(folder.Path + "*.*"),
            (std::set<std::string>{"a.pub", "B.PUB", "pk1.pub", "pk12.pub", "noext", "keys.sec", "sub"}));
  EXPECT_EQ(Find(folder.Path + "*.txt"), std::set<std::string>{});
  EXPECT_EQ(Find(folder.Path + "missing\\*.*"), std::set<std::string>{});

  platform::TFileFind find;
  ASSERT_TRUE(find.First(folder.Path + "s*"));
  EXPECT_EQ(find.Entry().Name, "sub");
  EXPECT_NE(find.Entry().Attributes & platform::kAttrDirectory, 0u);
  EXPECT_FALSE(find.Next());

  // The utilities built on the enumeration: subfolders included, case ignored.
  std::vector<std::string> found;
  FindFilesByExt(folder.Path, "PUB", found, true);
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
            (std::set<std::string>{folder.Path + "a.pub", folder.Path + "B.PUB", folder.Path + "pk1.pub",
                                   folder.Path + "pk12.pub", folder.Path + "sub\\inner.pub"}));
}

TEST(Win32Files, ClearingAFolderRemovesReadOnlyFiles) {
  TWinFolder folder("clear");
  WriteText(folder.Path + "new.pub", "pub");
  WriteText(folder.Path + "new.sec", "sec");
  ASSERT_TRUE(platform::MakeDirectory(folder.Path + "nested"));
  WriteText(folder.Path + "nested\\sec.dat", "dat");
  for (const char* name : {"new.sec", "nested\\sec.dat"}) {
    ASSERT_TRUE(platform::SetAttributes(folder.Path + name, platform::kAttrReadOnly));
  }
  // Windows itself refuses to delete a read-only file...
  EXPECT_FALSE(platform::RemoveFile(folder.Path + "new.sec"));
  // ...so the clean-up clears the attribute first; the folder itself stays.
  EXPECT_TRUE(ClearDirectory(folder.Path, false));
  EXPECT_EQ(Find(folder.Path + "*.*"), std::set<std::string>{});
  EXPECT_TRUE(platform::DirectoryExists(folder.Path));
}

}  // namespace
}  // namespace tzm::test
