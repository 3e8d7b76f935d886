// A small reader for the known-answer files in tests/data: "[Section]" headers,
// "Key = value" lines, blank lines between entries, "#" comments. Every key an
// entry carries must be read by the test, so a misspelt or ignored key fails.
#ifndef TZM_TESTS_PROVIDER_PK_VEC_FILE_H
#define TZM_TESTS_PROVIDER_PK_VEC_FILE_H

#include <stdint.h>

#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace vecfile {

inline std::vector<uint8_t> Hex(const std::string& s) {
  if (s.size() % 2 != 0) throw std::runtime_error("odd hex length");
  std::vector<uint8_t> out(s.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = uint8_t(std::stoul(s.substr(2 * i, 2), nullptr, 16));
  return out;
}

inline std::string ToHex(const uint8_t* p, size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

class TEntry {
 public:
  std::string Section;
  int Line = 0;
  std::map<std::string, std::string> Fields;

  bool Has(const std::string& key) const { return Fields.count(key) != 0; }
  std::vector<uint8_t> Bytes(const std::string& key) {
    auto it = Fields.find(key);
    if (it == Fields.end()) throw std::runtime_error("missing key " + key);
    Used_.insert(key);
    return Hex(it->second);
  }
  // Unused names the keys the test never read (empty when all were read).
  std::string Unused() const {
    std::string s;
    for (const auto& [k, v] : Fields)
      if (!Used_.count(k)) s += k + " ";
    return s;
  }

 private:
  std::set<std::string> Used_;
};

inline std::vector<TEntry> Load(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::vector<TEntry> entries;
  std::string line, section;
  TEntry cur;
  int lineNo = 0;
  auto flush = [&] {
    if (!cur.Fields.empty()) entries.push_back(cur);
    cur = TEntry();
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      flush();
      continue;
    }
    if (line[0] == '#') continue;
    if (line[0] == '[') {
      flush();
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const size_t eq = line.find(" = ");
    if (eq == std::string::npos) throw std::runtime_error("bad line " + std::to_string(lineNo));
    if (cur.Fields.empty()) {
      cur.Section = section;
      cur.Line = lineNo;
    }
    cur.Fields[line.substr(0, eq)] = line.substr(eq + 3);
  }
  flush();
  return entries;
}

}  // namespace vecfile

#endif  // TZM_TESTS_PROVIDER_PK_VEC_FILE_H
