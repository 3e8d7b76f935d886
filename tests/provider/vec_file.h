// Reader for the known-answer files in tests/data/<family>/*.vec:
//   # comment
//   [Algorithm(params)]      starts a section
//   Key = value              one field per line; a blank line ends an entry
// Every field an entry holds must be read by the test (Unused() lists the rest),
// so a misspelled key in a data file cannot silently skip a check.
#ifndef TZM_TESTS_PROVIDER_VEC_FILE_H
#define TZM_TESTS_PROVIDER_VEC_FILE_H

#include <stdint.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vectest {

class VecEntry {
 public:
  std::string algorithm;  // "Hash" of "[Hash(test)]"
  std::string param;      // "test"
  int line = 0;           // line of the entry's first field
  std::map<std::string, std::string> fields;

  bool Has(const std::string& key) const { return fields.count(key) != 0; }
  // Text answers the field's raw text (marks it read); a missing field fails the test.
  std::string Text(const std::string& key) const;
  std::vector<uint8_t> Bytes(const std::string& key) const;  // hex
  size_t Number(const std::string& key) const;               // decimal
  std::vector<std::string> Unused() const;
  std::string Where() const;  // "file:line" for failure messages

  std::string file;

 private:
  mutable std::set<std::string> read_;
};

// LoadVecFile reads tests/data/<relPath>; a malformed line fails the test.
std::vector<VecEntry> LoadVecFile(const std::string& relPath);

std::vector<uint8_t> FromHex(const std::string& hex);
std::string ToHex(const uint8_t* p, size_t n);
inline std::string ToHex(const std::vector<uint8_t>& v) { return ToHex(v.data(), v.size()); }

}  // namespace vectest

#endif  // TZM_TESTS_PROVIDER_VEC_FILE_H
