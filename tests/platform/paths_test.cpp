// Windows-form paths on POSIX: separators, drives, case-insensitive lookup.
#include <gtest/gtest.h>

#include "platform.h"
#include "platform/temp_dir.h"

namespace tzm::platform {
namespace {

using test::TTempDirTest;

class PathsTest : public TTempDirTest {};

TEST_F(PathsTest, SeparatorsAndAbsolutePaths) {
  WriteNative(Root / "a" / "b" / "f.txt", "x");
  const std::string native = (Root / "a" / "b" / "f.txt").string();
  EXPECT_EQ(MapPath(native), native);
  // Backslashes, mixed and doubled separators all reach the same file.
  std::string windowsForm = native;
  for (char& c : windowsForm) c = c == '/' ? '\\' : c;
  EXPECT_EQ(MapPath(windowsForm), native);
  EXPECT_EQ(MapPath((Root / "a").string() + "\\\\b//f.txt"), native);
  EXPECT_TRUE(FileExists(windowsForm));
  EXPECT_TRUE(DirectoryExists((Root / "a").string() + "\\b\\"));
  EXPECT_EQ(MapPath(""), "");
}

TEST_F(PathsTest, DriveLettersMapUnderDrivesFolder) {
  WriteNative(DriveC() / "Keys" / "user.pub", "key");
  EXPECT_EQ(MapPath("C:\\Keys\\user.pub"), (DriveC() / "Keys" / "user.pub").string());
  EXPECT_EQ(MapPath("c:/Keys/user.pub"), (DriveC() / "Keys" / "user.pub").string());
  EXPECT_EQ(MapPath("C:"), DriveC().string());
  EXPECT_EQ(MapPath("D:\\x"), (Root / "drives" / "D" / "x").string());
  // A missing drive folder is created when something is created on the drive.
  EXPECT_FALSE(DirectoryExists("E:\\"));
  EXPECT_TRUE(MakeDirectory("E:\\New"));
  EXPECT_TRUE(std::filesystem::is_directory(Root / "drives" / "E" / "New"));
}

TEST_F(PathsTest, ExistingComponentsAreFoundIgnoringCase) {
  WriteNative(DriveC() / "Soft" / "Keys" / "User.PUB", "abc");
  // "%KVLRoot%" expansion upper-cases whole paths.
  const std::string upper = "C:\\SOFT\\KEYS\\USER.PUB";
  EXPECT_EQ(MapPath(upper), (DriveC() / "Soft" / "Keys" / "User.PUB").string());
  EXPECT_EQ(ReadWholeFile(upper).value_or(std::vector<uint8_t>{}), (std::vector<uint8_t>{'a', 'b', 'c'}));
  // Cyrillic names are stored as UTF-8 and matched in either case.
  WriteNative(DriveC() / "\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87\xD0\xB8" / "k.pub", "z");  // "Ключи" in UTF-8
  EXPECT_TRUE(FileExists("C:\\\xCA\xCB\xDE\xD7\xC8\\K.PUB"));                          // "КЛЮЧИ" in CP1251
  EXPECT_TRUE(FileExists("C:\\\xEA\xEB\xFE\xF7\xE8\\k.pub"));                          // "ключи"
}

TEST_F(PathsTest, NewNamesAreCreatedAsGivenAndFoundAgain) {
  ASSERT_TRUE(MakeDirectory("C:\\MixedCase"));
  const std::vector<uint8_t> one{1}, two{2, 2};
  ASSERT_TRUE(WriteWholeFile("C:\\mixedcase\\New.Bin", one));
  EXPECT_TRUE(std::filesystem::exists(DriveC() / "MixedCase" / "New.Bin"));
  // Writing under another spelling replaces the existing file.
  ASSERT_TRUE(WriteWholeFile("C:\\MIXEDCASE\\NEW.BIN", two));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(DriveC() / "MixedCase"),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_EQ(ReadNative(DriveC() / "MixedCase" / "New.Bin"), std::string("\x02\x02"));
  // Missing components below a missing one keep their spelling.
  EXPECT_EQ(MapPath("C:\\MixedCase\\Nope\\Deeper"), (DriveC() / "MixedCase" / "Nope" / "Deeper").string());
}

}  // namespace
}  // namespace tzm::platform
