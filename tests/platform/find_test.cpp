// Find-first/find-next enumeration with Windows masks.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform.h"
#include "platform/temp_dir.h"

namespace tzm::platform {
namespace {

class FindTest : public test::TTempDirTest {
 protected:
  std::set<std::string> Names(const std::string& pattern) {
    std::set<std::string> names;
    TFileFind find;
    for (bool ok = find.First(pattern); ok; ok = find.Next()) names.insert(find.Entry().Name);
    return names;
  }
};

TEST_F(FindTest, MasksSelectEntries) {
  for (const char* name : {"a.pub", "B.PUB", "pk1.pub", "pk12.pub", "x.pubx", "noext", ".hidden.pub"}) {
    WriteNative(DriveC() / "K" / name, "1");
  }
  std::filesystem::create_directories(DriveC() / "K" / "sub.pub");
  using S = std::set<std::string>;
  EXPECT_EQ(Names("C:\\K\\*.pub"), (S{".hidden.pub", "B.PUB", "a.pub", "pk1.pub", "pk12.pub", "sub.pub"}));
  EXPECT_EQ(Names("C:\\K\\pk*.pub"), (S{"pk1.pub", "pk12.pub"}));
  EXPECT_EQ(Names("C:\\K\\pk?.pub"), (S{"pk1.pub"}));
  EXPECT_EQ(Names("C:\\k\\*.*").size(), 8u);  // "*.*" also matches "noext"; "." and ".." never show
  EXPECT_EQ(Names("C:\\K\\*"), Names("C:\\K\\*.*"));
  EXPECT_EQ(Names("C:\\K\\A.PUB"), (S{"a.pub"}));
  EXPECT_TRUE(Names("C:\\K\\*.sec").empty());
  EXPECT_TRUE(Names("C:\\Missing\\*.*").empty());
  EXPECT_TRUE(Names("C:\\K\\").empty());
}

TEST_F(FindTest, EntriesCarryAttributes) {
  WriteNative(DriveC() / "A" / "file", "1");
  WriteNative(DriveC() / "A" / "ro", "1");
  std::filesystem::create_directories(DriveC() / "A" / "dir");
  ASSERT_TRUE(SetAttributes("C:\\A\\ro", kAttrReadOnly));
  std::filesystem::create_directory_symlink(DriveC() / "A" / "dir", DriveC() / "A" / "link");
  std::map<std::string, uint32_t> attrs;
  TFileFind find;
  for (bool ok = find.First("C:\\A\\*.*"); ok; ok = find.Next()) attrs[find.Entry().Name] = find.Entry().Attributes;
  EXPECT_EQ(attrs["file"], kAttrArchive);
  EXPECT_EQ(attrs["ro"], kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(attrs["dir"], kAttrDirectory);
  EXPECT_EQ(attrs["link"], kAttrDirectory | kAttrReparsePoint);
}

TEST(MatchMaskTest, WildcardsAndCase) {
  EXPECT_TRUE(MatchMask("*", ""));
  EXPECT_TRUE(MatchMask("*.*", "noext"));
  EXPECT_TRUE(MatchMask("pk*.*", "pk1"));
  EXPECT_FALSE(MatchMask("*.pub", "x.pubx"));
  EXPECT_TRUE(MatchMask("*a*b*c", "xxaybbzc"));
  EXPECT_FALSE(MatchMask("*a*b*c", "xxaybbzcd"));
  EXPECT_TRUE(MatchMask("\xCA?\xDE*", "\xEA\xEB\xFE\xF7"));  // Cyrillic letters ignore case too
  EXPECT_FALSE(MatchMask("?", ""));
  // Long hostile masks finish quickly (no exponential backtracking).
  EXPECT_FALSE(MatchMask(std::string(64, '*') + "b", std::string(4096, 'a')));
}

}  // namespace
}  // namespace tzm::platform
