// File and text utilities on drive paths mapped into a scratch folder.
#include <gtest/gtest.h>

#include <set>

#if __has_include(<sys/resource.h>)
#include <signal.h>
#include <sys/resource.h>
#define TZM_HAVE_RLIMIT 1
#endif

#include "platform/temp_dir.h"
#include "support.h"

namespace tzm {
namespace {

class FileUtilsTest : public test::TTempDirTest {
 protected:
  static std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }
};

TEST(TextUtilsTest, AddBackslash) {
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(AddBackslash("C"), "C:\\");
  EXPECT_EQ(AddBackslash("z"), "z:\\");
  EXPECT_EQ(AddBackslash("1"), "1\\");
  EXPECT_EQ(AddBackslash("C:"), "C:\\");
  EXPECT_EQ(AddBackslash("dir"), "dir\\");
  EXPECT_EQ(AddBackslash("dir\\"), "dir\\");
}

TEST(TextUtilsTest, SplitHexAndSuffix) {
  std::vector<std::string> parts{"kept"};
  EXPECT_EQ(SplitBySemicolon("A;B;", parts), 3);
  EXPECT_EQ(parts, (std::vector<std::string>{"kept", "A", "B", ""}));
  EXPECT_EQ(SplitBySemicolon("", parts), 0);
  EXPECT_EQ(SplitBySemicolon(";", parts), 2);
  EXPECT_EQ(parts.size(), 6u);

  const uint8_t three[] = {0x01, 0x02, 0x03};
  EXPECT_EQ(BufferToHex(three, 2, 18), "0102 03");
  std::vector<uint8_t> eighteen(18, 0xAB);
  std::string expected;
  for (int i = 0; i < 9; ++i) expected += "ABAB ";
  EXPECT_EQ(BufferToHex(eighteen, 2, 18), expected + "\r\n");
  std::string unbroken;
  for (int i = 0; i < 18; ++i) unbroken += "AB";
  EXPECT_EQ(BufferToHex(eighteen, 255, 255), unbroken);
  EXPECT_EQ(BufferToHex(three, 0, 0), "010203");
  EXPECT_EQ(BufferToHex(three, 1, 1), "01 \r\n02 \r\n03 \r\n");
  EXPECT_EQ(BufferToHex({}, 2, 2), "");

  EXPECT_EQ(StripDateSuffix("User1 (01-02-2020 10-11-12)"), "User1");
  EXPECT_EQ(StripDateSuffix("User1 (test)"), "User1 (test)");
  EXPECT_EQ(StripDateSuffix("(abc)"), "");
  EXPECT_EQ(StripDateSuffix("User1"), "User1");
  EXPECT_EQ(StripDateSuffix(""), "");

  EXPECT_EQ(ExtractFilePath("C:\\Soft\\EXE\\app.exe"), "C:\\Soft\\EXE\\");
  EXPECT_EQ(ExtractFilePath("/usr/bin/app"), "/usr/bin/");
  EXPECT_EQ(ExtractFileName("C:\\Soft\\app.exe"), "app.exe");
  EXPECT_EQ(ExtractFilePath("app.exe"), "");
}

TEST_F(FileUtilsTest, ReadFileToBufferHonoursCapacity) {
  WriteNative(DriveC() / "k515", std::string(515, 'k'));
  WriteNative(DriveC() / "k516", std::string(516, 'k'));
  std::vector<uint8_t> buffer(515);
  size_t size = 0;
  ASSERT_TRUE(ReadFileToBuffer("C:\\k515", buffer, size));
  EXPECT_EQ(size, 515u);
  size = 123;
  EXPECT_FALSE(ReadFileToBuffer("C:\\k516", buffer, size));
  EXPECT_EQ(size, 123u);
  EXPECT_FALSE(ReadFileToBuffer("C:\\none", buffer, size));
  EXPECT_EQ(size, 123u);
}

TEST_F(FileUtilsTest, WriteBufferToFileReplacesAtomically) {
  ASSERT_TRUE(WriteBufferToFile("C:\\key.sec", Bytes("old content")));
  ASSERT_TRUE(WriteBufferToFile("C:\\KEY.SEC", Bytes("new")));
  EXPECT_EQ(ReadNative(DriveC() / "key.sec"), "new");
  ASSERT_TRUE(WriteBufferToFile("C:\\empty", {}));
  EXPECT_EQ(platform::FileSize("C:\\empty").value_or(99), 0u);

  // A read-only target refuses the write and keeps its content.
  ASSERT_TRUE(platform::SetAttributes("C:\\key.sec", platform::kAttrReadOnly));
  EXPECT_FALSE(WriteBufferToFile("C:\\key.sec", Bytes("lost?")));
  EXPECT_EQ(ReadNative(DriveC() / "key.sec"), "new");
  ASSERT_TRUE(platform::SetAttributes("C:\\key.sec", platform::kAttrArchive));
  // A missing folder and a directory target fail.
  EXPECT_FALSE(WriteBufferToFile("C:\\NoFolder\\f", Bytes("x")));
  std::filesystem::create_directories(DriveC() / "dir");
  EXPECT_FALSE(WriteBufferToFile("C:\\dir", Bytes("x")));

#ifdef TZM_HAVE_RLIMIT
  // A write that fails half way (file size limit) keeps the old content whole
  // and leaves no temporary file behind.
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool written = WriteBufferToFile("C:\\key.sec", std::vector<uint8_t>(4096, 0x33));
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadNative(DriveC() / "key.sec"), "new");
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(DriveC())) names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"dir", "empty", "key.sec"}));
#endif
}

TEST_F(FileUtilsTest, CopyFileData) {
  WriteNative(DriveC() / "src.pub", "public key");
  WriteNative(DriveC() / "dst.pub", "previous");
  EXPECT_TRUE(CopyFileData("C:\\src.pub", "C:\\dst.pub"));
  EXPECT_EQ(ReadNative(DriveC() / "dst.pub"), "public key");
  // An unreadable source leaves the destination untouched.
  EXPECT_FALSE(CopyFileData("C:\\missing.pub", "C:\\dst.pub"));
  EXPECT_FALSE(CopyFileData("C:\\", "C:\\dst.pub"));
  EXPECT_EQ(ReadNative(DriveC() / "dst.pub"), "public key");
  EXPECT_FALSE(CopyFileData("C:\\missing.pub", "C:\\new.pub"));
  EXPECT_FALSE(platform::FileExists("C:\\new.pub"));
  // An empty source gives an empty copy, not a stale one.
  WriteNative(DriveC() / "empty.pub", "");
  EXPECT_TRUE(CopyFileData("C:\\empty.pub", "C:\\dst.pub"));
  EXPECT_EQ(ReadNative(DriveC() / "dst.pub"), "");
}

TEST_F(FileUtilsTest, GetNextFileNumber) {
  std::filesystem::create_directories(DriveC() / "Ab");
  EXPECT_EQ(GetNextFileNumber("C:\\Ab", "pk*.pub"), 1);
  EXPECT_EQ(GetNextFileNumber("C:\\Missing", "pk*.pub"), 0);
  EXPECT_EQ(GetNextFileNumber("C:\\Ab", "pk1.pub"), 0);
  for (const char* name : {"pk3.pub", "PK12.PUB", "pkx.pub", "pk.pub", "pk-7.pub", "pk99999999999.pub", "pk40.sec"}) {
    WriteNative(DriveC() / "Ab" / name, "k");
  }
  std::filesystem::create_directories(DriveC() / "Ab" / "pk500.pub");  // a folder does not count
  EXPECT_EQ(GetNextFileNumber("C:\\Ab\\", "pk*.pub"), 13);
  // A number that cannot be incremented is ignored instead of overflowing.
  WriteNative(DriveC() / "Ab" / "pk2147483647.pub", "k");
  EXPECT_EQ(GetNextFileNumber("C:\\Ab", "pk*.pub"), 13);
}

TEST_F(FileUtilsTest, FindFilesByExt) {
  WriteNative(DriveC() / "Ab" / "a.pub", "1");
  WriteNative(DriveC() / "Ab" / "keypub", "1");
  WriteNative(DriveC() / "Ab" / "B.PUB", "1");
  WriteNative(DriveC() / "Ab" / "c.sec", "1");
  WriteNative(DriveC() / "Ab" / ".d.pub", "1");
  WriteNative(DriveC() / "Ab" / "Sub" / "e.pub", "1");
  // A link back up the tree is not followed (it would loop for ever).
  std::filesystem::create_directory_symlink(DriveC() / "Ab", DriveC() / "Ab" / "Sub" / "loop");
  std::vector<std::string> list;
  FindFilesByExt("C:\\Ab", "pub", list, false);
  EXPECT_EQ(std::set<std::string>(list.begin(), list.end()),
            (std::set<std::string>{"C:\\Ab\\a.pub", "C:\\Ab\\keypub", "C:\\Ab\\B.PUB"}));
  list.clear();
  FindFilesByExt("C:\\Ab\\", "PUB", list, true);
  EXPECT_EQ(list.size(), 4u);
  EXPECT_EQ(std::count(list.begin(), list.end(), "C:\\Ab\\Sub\\e.pub"), 1);
  list.clear();
  FindFilesByExt("C:\\Missing", "pub", list, true);
  EXPECT_TRUE(list.empty());
}

TEST_F(FileUtilsTest, ForceDirsAndIsDirectory) {
  EXPECT_FALSE(ForceDirs(""));
  EXPECT_TRUE(ForceDirs("C:\\"));
  EXPECT_TRUE(ForceDirs("C:\\One\\Two\\Three\\"));
  EXPECT_TRUE(IsDirectory("C:\\One\\Two\\Three"));
  EXPECT_TRUE(IsDirectory("c:\\one\\two\\"));
  EXPECT_TRUE(ForceDirs("C:\\ONE\\TWO"));  // exists under another spelling
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(DriveC()), std::filesystem::directory_iterator()), 1);
  WriteNative(DriveC() / "file", "x");
  EXPECT_FALSE(IsDirectory("C:\\file"));
  EXPECT_FALSE(IsDirectory("C:\\nothing"));
  EXPECT_FALSE(ForceDirs("C:\\file\\sub"));  // a file is in the way
  EXPECT_TRUE(ForceDirs((Root / "posix" / "style").string()));
  EXPECT_TRUE(std::filesystem::is_directory(Root / "posix" / "style"));
}

TEST_F(FileUtilsTest, ClearDirectory) {
  WriteNative(DriveC() / "RG" / "new.sec", "s");
  WriteNative(DriveC() / "RG" / "sub" / "deep" / "f", "f");
  ASSERT_TRUE(platform::SetAttributes("C:\\RG\\new.sec", platform::kAttrReadOnly));
  // Something outside the tree, reachable through a link inside it.
  WriteNative(Root / "outside" / "precious", "keep");
  std::filesystem::create_directory_symlink(Root / "outside", DriveC() / "RG" / "sub" / "link");
  EXPECT_TRUE(ClearDirectory("C:\\RG", false));
  EXPECT_TRUE(IsDirectory("C:\\RG"));
  EXPECT_TRUE(std::filesystem::is_empty(DriveC() / "RG"));
  EXPECT_EQ(ReadNative(Root / "outside" / "precious"), "keep");

  WriteNative(DriveC() / "RG" / "x", "x");
  WriteNative(DriveC() / "RG" / ".keep", "x");  // dot names are skipped, so the folder stays
  EXPECT_FALSE(ClearDirectory("C:\\RG", true));
  EXPECT_TRUE(IsDirectory("C:\\RG"));
  std::filesystem::remove(DriveC() / "RG" / ".keep");
  EXPECT_TRUE(ClearDirectory("C:\\RG\\", true));
  EXPECT_FALSE(IsDirectory("C:\\RG"));
  EXPECT_FALSE(ClearDirectory("C:\\RG", true));
  EXPECT_TRUE(ClearDirectory("C:", true));  // a bare drive is emptied, never removed
  EXPECT_TRUE(IsDirectory("C:"));
}

}  // namespace
}  // namespace tzm
