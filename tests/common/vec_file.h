// Reader for the known-answer files in tests/data/<family>/*.vec:
//   # comment
//   [Algorithm(param) label]   starts a section (the label is optional)
//   Key = value                one field per line; a blank line ends an entry
// Every field of every entry must be read by the test: when a TVecFile goes
// out of scope it fails the running test for each field nobody asked for, so a
// misspelt or forgotten key in a data file cannot silently skip a check.
#ifndef TZM_TESTS_COMMON_VEC_FILE_H
#define TZM_TESTS_COMMON_VEC_FILE_H

#include <stdint.h>

#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vectest {

class TVecEntry {
 public:
  std::string Section;    // "GOST-34.10-2001(test) verify": the header's whole text
  std::string Algorithm;  // "GOST-34.10-2001"
  std::string Param;      // "test"
  std::string File;       // the file as named to the reader
  int Line = 0;           // line of the entry's first field
  std::map<std::string, std::string> Fields;

  bool Has(const std::string& key) const { return Fields.count(key) != 0; }
  // Text answers the field's raw text and marks it read; a missing field fails the test.
  std::string Text(const std::string& key) const;
  std::vector<uint8_t> Bytes(const std::string& key) const;  // hex
  size_t Number(const std::string& key) const;               // decimal
  // Unused lists the fields not read so far.
  std::vector<std::string> Unused() const;
  std::string Where() const;  // "file:line" for failure messages

 private:
  mutable std::set<std::string> read_;
};

// TVecFile holds the entries of one file, in file order. A malformed line fails
// the test and is skipped. The destructor fails the test for each unread field
// unless the test already stopped on a fatal failure (an ASSERT that left the
// loop early would otherwise report every later field as well).
class TVecFile {
 public:
  // TVecFile reads tests/data/<relPath>.
  explicit TVecFile(const std::string& relPath);
  // TVecFile parses text already in memory; name is used in failure messages.
  TVecFile(const std::string& name, std::istream& in);
  ~TVecFile();
  TVecFile(const TVecFile&) = delete;
  TVecFile& operator=(const TVecFile&) = delete;

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const TVecEntry& operator[](size_t i) const { return entries_.at(i); }
  std::vector<TVecEntry>::const_iterator begin() const { return entries_.begin(); }
  std::vector<TVecEntry>::const_iterator end() const { return entries_.end(); }

 private:
  void Parse(const std::string& name, std::istream& in);
  std::vector<TVecEntry> entries_;
};

// FromHex decodes hex text (either case); odd length or a non-hex digit fails the test.
std::vector<uint8_t> FromHex(const std::string& hex);
std::string ToHex(const uint8_t* p, size_t n);
inline std::string ToHex(const std::vector<uint8_t>& v) { return ToHex(v.data(), v.size()); }

}  // namespace vectest

#endif  // TZM_TESTS_COMMON_VEC_FILE_H
