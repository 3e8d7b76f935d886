// Runs from a folder without libcrypt.dll, with no root set and a working
// folder that holds none either: tz_morka.dll then finds libcrypt.dll beside
// a module the host loaded as "CryptLib.dll".
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_users.h"

#ifndef TZM_PROVIDER_FILE
#error "TZM_PROVIDER_FILE (the built libcrypt.dll) must be defined"
#endif

namespace tzm::test {
namespace {

std::string ModuleFile(const char* name) {
  char path[MAX_PATH] = {};
  const HMODULE module = ::GetModuleHandleA(name);
  if (module == nullptr || ::GetModuleFileNameA(module, path, MAX_PATH) == 0) return {};
  return path;
}

// The host's own "CryptLib.dll", with libcrypt.dll beside it, loaded before
// any binding exists.
class Win32FallbackTest : public TTestUsersFixture {
 protected:
  static void SetUpTestSuite() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tzm_win_cryptlib_folder";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(TZM_PROVIDER_FILE, folder / "CryptLib.dll",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(TZM_PROVIDER_FILE, folder / "libcrypt.dll",
                               std::filesystem::copy_options::overwrite_existing);
    Folder = folder.string();
    CryptLib = ::LoadLibraryA((Folder + "\\CryptLib.dll").c_str());
  }
  static inline std::string Folder;
  static inline HMODULE CryptLib = nullptr;
};

TEST_F(Win32FallbackTest, LibcryptIsFoundBesideCryptLib) {
  const std::string exeDir = platform::HostExecutablePath().substr(0, platform::HostExecutablePath().rfind('\\'));
  ASSERT_FALSE(std::filesystem::exists(exeDir + "\\libcrypt.dll")) << "the fixture folder must not hold one";
  ASSERT_NE(CryptLib, nullptr);

  TTestUser& alice = AddUser("Alice", kAlgorithm94);
  const std::vector<uint8_t> data = {'p', 'a', 'y'};
  std::vector<uint8_t> signature(static_cast<size_t>(Host().GetMaxSignatureLength(alice.Engine)), 0);
  int32_t len = static_cast<int32_t>(signature.size());
  ASSERT_EQ(Host().SignData(alice.Engine, data.data(), 3, signature.data(), &len, nullptr), 0)
      << ErrorText(alice, -3);
  EXPECT_EQ(AnsiLowerCase(ModuleFile("libcrypt.dll")), AnsiLowerCase(Folder + "\\libcrypt.dll"));
}

}  // namespace
}  // namespace tzm::test
