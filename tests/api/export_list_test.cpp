// The dynamic symbol table of libtz_morka.so holds exactly the 76 export
// names: nothing is missing and nothing else leaks out.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "api/export_names.h"

namespace tzm::test {
namespace {

TEST(ExportList, NmListsExactlyTheSeventySixNames) {
  const std::string command = "nm -D --defined-only " TZM_BIN_DIR "/libtz_morka.so";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> listed;
  char line[512];
  while (fgets(line, sizeof line, pipe) != nullptr) {
    std::istringstream fields(line);
    std::string address, type, name;
    fields >> address >> type >> name;
    if (!name.empty()) listed.insert(name);
  }
  ASSERT_EQ(pclose(pipe), 0) << command;

  std::set<std::string> expected;
  for (const TExportName& e : kExportNames) expected.insert(e.Name);
  ASSERT_EQ(expected.size(), 76u);
  EXPECT_EQ(listed, expected);
}

}  // namespace
}  // namespace tzm::test
