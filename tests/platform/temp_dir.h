// A scratch folder per test that also serves as TZ_MORKA_DRIVES, so drive
// paths ("C:\...") land inside it. Removed with everything in it afterwards.
#ifndef TZM_TESTS_PLATFORM_TEMP_DIR_H
#define TZM_TESTS_PLATFORM_TEMP_DIR_H

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform.h"

namespace tzm::test {

class TTempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Root = std::filesystem::temp_directory_path() /
           ("tzm_" + std::string(info->name()) + "_" + std::to_string(platform::CurrentThreadId()) + "_" +
            std::to_string(counter++));
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Root / "drives");
    SavedDrives = platform::GetEnv("TZ_MORKA_DRIVES");
    ASSERT_TRUE(platform::SetEnv("TZ_MORKA_DRIVES", (Root / "drives").string()));
  }

  void TearDown() override {
    if (SavedDrives) {
      platform::SetEnv("TZ_MORKA_DRIVES", *SavedDrives);
    } else {
      platform::UnsetEnv("TZ_MORKA_DRIVES");
    }
    std::error_code ignored;
    std::filesystem::permissions(Root, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(Root, ignored);
  }

  // Native path of drive C.
  std::filesystem::path DriveC() const { return Root / "drives" / "C"; }

  static void WriteNative(const std::filesystem::path& path, const std::string& content) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }

  static std::string ReadNative(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path Root;
  std::optional<std::string> SavedDrives;
};

}  // namespace tzm::test

#endif  // TZM_TESTS_PLATFORM_TEMP_DIR_H
