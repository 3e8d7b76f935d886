// SetRootPath through tz_morka.dll in a process of its own (the root is set
// once per process): the "Path" update, and libcrypt.dll taken from beside the
// host executable although the root's EXE folder holds one too.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <psapi.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_users.h"

namespace tzm::test {
namespace {

// LoadedFiles lists, in lower case, the files of every module of the
// process whose file name is |baseName| (two files of one name may be loaded).
std::vector<std::string> LoadedFiles(const std::string& baseName) {
  std::vector<HMODULE> modules(1024);
  DWORD needed = 0;
  if (!::EnumProcessModules(::GetCurrentProcess(), modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                            &needed)) {
    return {};
  }
  std::vector<std::string> files;
  for (size_t i = 0; i < needed / sizeof(HMODULE) && i < modules.size(); ++i) {
    char path[MAX_PATH] = {};
    if (::GetModuleFileNameA(modules[i], path, MAX_PATH) == 0) continue;
    const std::string file = AnsiLowerCase(path);
    if (file.size() > baseName.size() && file.compare(file.size() - baseName.size(), baseName.size(), baseName) == 0 &&
        file[file.size() - baseName.size() - 1] == '\\') {
      files.push_back(file);
    }
  }
  return files;
}

std::string EnvPath() {
  std::vector<char> value(32768, 0);
  const DWORD n = ::GetEnvironmentVariableA("PATH", value.data(), static_cast<DWORD>(value.size()));
  return std::string(value.data(), n < value.size() ? n : 0);
}

class Win32RootTest : public TTestUsersFixture {};

TEST_F(Win32RootTest, SetRootPathExtendsPathAndTheHostFolderWins) {
  // The root's EXE folder holds a working libcrypt.dll too.
  const std::string hostDir = platform::HostExecutablePath().substr(0, platform::HostExecutablePath().rfind('\\'));
  const std::string root = std::filesystem::absolute(Root).string() + "\\Soft";
  std::filesystem::create_directories(root + "\\EXE");
  std::filesystem::copy_file(hostDir + "\\libcrypt.dll", root + "\\EXE\\libcrypt.dll");
  ASSERT_TRUE(::SetEnvironmentVariableA("Path", "C:\\Windows\\system32"));

  const TZMEngine engine = Host().GetCryptObj(0);
  ASSERT_NE(engine, nullptr);
  Host().SetRootPath(engine, root.c_str());
  EXPECT_EQ(EnvPath(), "C:\\Windows\\system32;" + root + "\\EXE\\;" + root + "\\SYSTEM\\;" + root + "\\USER\\;" +
                           root + "\\");
  // Another root is refused quietly and leaves Path alone.
  Host().SetRootPath(engine, "D:\\Other");
  EXPECT_EQ(EnvPath().find("D:\\Other"), std::string::npos);
  Host().DoneEngine(engine);

  // The first binding of tz_morka.dll loads libcrypt.dll: beside the host.
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  const std::vector<uint8_t> data = {'p', 'a', 'y'};
  std::vector<uint8_t> signature(static_cast<size_t>(Host().GetMaxSignatureLength(alice.Engine)), 0);
  int32_t len = static_cast<int32_t>(signature.size());
  ASSERT_EQ(Host().SignData(alice.Engine, data.data(), 3, signature.data(), &len, nullptr), 0)
      << ErrorText(alice, -3);
  EXPECT_EQ(LoadedFiles("libcrypt.dll"), std::vector<std::string>{AnsiLowerCase(hostDir + "\\libcrypt.dll")});
}

}  // namespace
}  // namespace tzm::test
