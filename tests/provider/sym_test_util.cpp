// S-box tables for the symmetric provider tests, read once from sboxes.vec.
#include "sym_test_util.h"

#include <gtest/gtest.h>

#include <map>

namespace symtest {

std::vector<uint8_t> SboxTable(const std::string& name) {
  static const std::map<std::string, std::vector<uint8_t>> tables = [] {
    std::map<std::string, std::vector<uint8_t>> m;
    for (const auto& e : vectest::TVecFile("gost28147/sboxes.vec")) m[e.Param] = e.Bytes("Table");
    return m;
  }();
  auto it = tables.find(name);
  if (it == tables.end() || it->second.size() != kCrypCSboxTableLen) {
    ADD_FAILURE() << "no 128-byte S-box table named " << name;
    return std::vector<uint8_t>(kCrypCSboxTableLen, 0);
  }
  return it->second;
}

}  // namespace symtest
