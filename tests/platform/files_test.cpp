// File operations with the Windows rules the system relies on.
#include <gtest/gtest.h>

#include "platform.h"
#include "platform/temp_dir.h"

namespace tzm::platform {
namespace {

class FilesTest : public test::TTempDirTest {};

TEST_F(FilesTest, ReadOnlyFilesAreProtected) {
  WriteNative(DriveC() / "ro.bin", "old");
  WriteNative(DriveC() / "other.bin", "new");
  ASSERT_TRUE(SetAttributes("C:\\ro.bin", kAttrReadOnly));
  EXPECT_EQ(FileAttributes("C:\\ro.bin").value_or(0) & kAttrReadOnly, kAttrReadOnly);
  const std::vector<uint8_t> data{'x'};
  EXPECT_FALSE(WriteWholeFile("C:\\ro.bin", data));
  EXPECT_FALSE(WriteFileAtomic("C:\\ro.bin", data));
  EXPECT_FALSE(RemoveFile("C:\\ro.bin"));
  EXPECT_FALSE(RenameFile("C:\\other.bin", "C:\\ro.bin"));
  EXPECT_EQ(ReadNative(DriveC() / "ro.bin"), "old");
  ASSERT_TRUE(SetAttributes("C:\\ro.bin", kAttrArchive));
  EXPECT_TRUE(RenameFile("C:\\other.bin", "C:\\RO.BIN"));
  EXPECT_EQ(ReadNative(DriveC() / "ro.bin"), "new");
  EXPECT_FALSE(FileExists("C:\\other.bin"));
  EXPECT_TRUE(RemoveFile("C:\\ro.bin"));
  EXPECT_FALSE(FileAttributes("C:\\ro.bin").has_value());
}

TEST_F(FilesTest, OverwriteWithZerosKeepsLengthAndRefusesWhatCannotBeWritten) {
  const std::string text(5000, 'k');  // longer than one chunk of zeros
  WriteNative(DriveC() / "secret", text);
  EXPECT_TRUE(OverwriteFileWithZeros("C:\\secret"));
  EXPECT_EQ(ReadNative(DriveC() / "secret"), std::string(text.size(), '\0'));

  EXPECT_FALSE(OverwriteFileWithZeros("C:\\missing"));
  EXPECT_FALSE(FileExists("C:\\missing"));  // never created
  EXPECT_FALSE(OverwriteFileWithZeros("C:\\"));

  WriteNative(DriveC() / "ro", "keep");
  ASSERT_TRUE(SetAttributes("C:\\ro", kAttrReadOnly));
  EXPECT_FALSE(OverwriteFileWithZeros("C:\\ro"));
  EXPECT_EQ(ReadNative(DriveC() / "ro"), "keep");
  ASSERT_TRUE(SetAttributes("C:\\ro", kAttrArchive));
}

TEST_F(FilesTest, ReadRespectsCapacity) {
  WriteNative(DriveC() / "f", std::string(10, 'a'));
  std::vector<uint8_t> buffer(10, 0);
  size_t len = 77;
  EXPECT_EQ(ReadFileInto("C:\\f", std::span<uint8_t>(buffer).first(9), len), TReadResult::kTooLarge);
  EXPECT_EQ(len, 77u);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(ReadFileInto("C:\\f", buffer, len), TReadResult::kOk);
  EXPECT_EQ(len, 10u);
  EXPECT_EQ(buffer[9], 'a');
  EXPECT_EQ(ReadFileInto("C:\\missing", buffer, len), TReadResult::kFailed);
  EXPECT_EQ(ReadFileInto("C:\\", buffer, len), TReadResult::kFailed);  // a directory
  EXPECT_FALSE(ReadWholeFile("C:\\f", 9).has_value());
  EXPECT_EQ(FileSize("C:\\f").value_or(0), 10u);
  EXPECT_FALSE(FileSize("C:\\").has_value());
}

TEST_F(FilesTest, DirectoriesAndAtomicWrite) {
  EXPECT_TRUE(MakeDirectory("C:\\D"));
  EXPECT_FALSE(MakeDirectory("C:\\D"));        // already there
  EXPECT_FALSE(MakeDirectory("C:\\X\\Y\\Z"));  // parent missing
  const std::vector<uint8_t> data{1, 2, 3};
  EXPECT_TRUE(WriteFileAtomic("C:\\D\\f", data));
  EXPECT_FALSE(WriteFileAtomic("C:\\D", data));  // a directory is never replaced
  EXPECT_FALSE(RemoveEmptyDirectory("C:\\D"));   // not empty
  EXPECT_FALSE(RemoveFile("C:\\D"));
  EXPECT_TRUE(RemoveFile("C:\\D\\f"));
  EXPECT_TRUE(RemoveEmptyDirectory("C:\\D\\"));
  EXPECT_FALSE(DirectoryExists("C:\\D"));
  EXPECT_FALSE(RemoveEmptyDirectory("C:\\"));  // a drive root stays
  EXPECT_FALSE(RemoveEmptyDirectory("C:"));
  // Only the target remains in the folder: no temporary file is left behind.
  EXPECT_TRUE(WriteFileAtomic("C:\\only", data));
  // A replaced file keeps its permissions.
  std::filesystem::permissions(DriveC() / "only", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_TRUE(WriteFileAtomic("C:\\only", data));
  EXPECT_EQ(std::filesystem::status(DriveC() / "only").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(DriveC()), std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace tzm::platform
