// tz_morka.dll through the Windows loader: every export found by name and by
// its ordinal at the same address, the fixed answers of the boundary, and
// the remote-generation clean-up removing read-only files.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "api/export_names.h"
#include "transfers_regen/transfer_helpers.h"

namespace tzm::test {
namespace {

HMODULE LoadedTzMorka() {
  EXPECT_TRUE(AbiHost().Loaded()) << TZM_LIBRARY_FILE;
  return ::GetModuleHandleA("tz_morka.dll");
}

TEST(Win32Exports, EveryExportByNameAndByOrdinal) {
  const HMODULE module = LoadedTzMorka();
  ASSERT_NE(module, nullptr);
  for (const TExportName& e : kExportNames) {
    const FARPROC byName = ::GetProcAddress(module, e.Name);
    const FARPROC byOrdinal = ::GetProcAddress(module, MAKEINTRESOURCEA(e.Ordinal));
    EXPECT_NE(byName, nullptr) << e.Name;
    EXPECT_EQ(byName, byOrdinal) << e.Name << " @" << e.Ordinal;
  }
  EXPECT_EQ(::GetProcAddress(module, MAKEINTRESOURCEA(77)), nullptr);
  EXPECT_EQ(::GetProcAddress(module, "_GetCryptObj@4"), nullptr);  // undecorated names only
}

TEST(Win32Exports, NilAndDeadHandlesGetTheFixedAnswers) {
  TAbiHost& host = AbiHost();
  ASSERT_TRUE(host.Loaded());
  EXPECT_EQ(host.GetMaxFilePathLength(nullptr), 255);
  EXPECT_EQ(host.GetMaxEncodeAddition(nullptr), -1);
  int32_t len = 4;
  unsigned char data[4] = {1, 2, 3, 4};
  EXPECT_EQ(host.EncodeData(nullptr, data, &len, nullptr), -3);
  host.DoneEngine(nullptr);

  const TZMEngine engine = host.GetCryptObj(0);
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(host.GetMaxUIDLength(engine), 254);
  EXPECT_EQ(host.IsDifferentKeys(engine), 0);
  host.DoneEngine(engine);
  EXPECT_EQ(host.GetMaxUIDLength(engine), -1);
}

class Win32RemoteGenTest : public TTransferFixture {};

TEST_F(Win32RemoteGenTest, FinishRemovesReadOnlyFilesFromTheFolder) {
  TTestUser& alice = AddUser("Alice", kAlgorithm2001);
  TTestUser& bob = AddUser("Bob", kAlgorithm94);
  Introduce(alice, bob);
  std::vector<char> text(kTransferRoom, 0);
  int32_t state = 0;
  ASSERT_EQ(Host().RemoteGenerateStartEx(alice.Engine, nullptr, text.data(), &state), 0);
  const std::filesystem::path dir = alice.Folder / ("RG" + alice.UID);
  ASSERT_EQ(FileNames(dir), (std::set<std::string>{"new.pub", "sec.dat"}));

  // The files of the pending key, and a stray one, made read-only.
  WriteFileBytes(dir / "note.txt", {'x'});
  for (const char* name : {"new.pub", "sec.dat", "note.txt"}) {
    ASSERT_TRUE(platform::SetAttributes((dir / name).string(), platform::kAttrReadOnly)) << name;
  }
  ASSERT_EQ(Host().IncludePublicKeyTransfer(bob.Engine, text.data()), 0);
  state = 0;
  ASSERT_EQ(Host().RemoteGenerateFinishEx(alice.Engine, text.data(), &state), 0);
  EXPECT_EQ(state, 1);
  EXPECT_TRUE(std::filesystem::is_directory(dir));
  EXPECT_TRUE(FileNames(dir).empty());
}

}  // namespace
}  // namespace tzm::test
