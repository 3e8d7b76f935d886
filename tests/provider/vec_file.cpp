// Known-answer file reader; see vec_file.h for the format.
#include "vec_file.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vectest {

std::string VecEntry::Text(const std::string& key) const {
  auto it = fields.find(key);
  if (it == fields.end()) {
    ADD_FAILURE() << Where() << ": missing field " << key;
    return {};
  }
  read_.insert(key);
  return it->second;
}

std::vector<uint8_t> VecEntry::Bytes(const std::string& key) const { return FromHex(Text(key)); }

size_t VecEntry::Number(const std::string& key) const { return size_t(std::stoul(Text(key))); }

std::vector<std::string> VecEntry::Unused() const {
  std::vector<std::string> out;
  for (const auto& [key, value] : fields)
    if (!read_.count(key)) out.push_back(key);
  return out;
}

std::string VecEntry::Where() const { return file + ":" + std::to_string(line); }

std::vector<VecEntry> LoadVecFile(const std::string& relPath) {
  std::vector<VecEntry> entries;
  std::string path = std::string(TZM_TEST_DATA_DIR) + "/" + relPath;
  std::ifstream in(path);
  if (!in) {
    ADD_FAILURE() << "cannot open " << path;
    return entries;
  }
  std::string algorithm, param, text;
  VecEntry current;
  bool open = false;
  int lineNo = 0;
  auto flush = [&] {
    if (open) entries.push_back(current);
    open = false;
  };
  while (std::getline(in, text)) {
    ++lineNo;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.empty()) {
      flush();
      continue;
    }
    if (text[0] == '#') continue;
    if (text[0] == '[') {
      flush();
      size_t open_paren = text.find('('), close = text.rfind(')');
      if (text.back() != ']' || open_paren == std::string::npos || close == std::string::npos || close < open_paren) {
        ADD_FAILURE() << path << ":" << lineNo << ": bad section header";
        continue;
      }
      algorithm = text.substr(1, open_paren - 1);
      param = text.substr(open_paren + 1, close - open_paren - 1);
      continue;
    }
    size_t eq = text.find(" =");
    if (eq == std::string::npos) {
      ADD_FAILURE() << path << ":" << lineNo << ": expected 'Key = value'";
      continue;
    }
    if (!open) {
      current = VecEntry();
      current.algorithm = algorithm;
      current.param = param;
      current.file = relPath;
      current.line = lineNo;
      open = true;
    }
    std::string value = text.substr(eq + 2);
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    current.fields[text.substr(0, eq)] = value;
  }
  flush();
  return entries;
}

std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> out;
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) ADD_FAILURE() << "odd hex length: " << hex;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    int hi = nibble(hex[i]), lo = nibble(hex[i + 1]);
    if (hi < 0 || lo < 0) {
      ADD_FAILURE() << "bad hex: " << hex;
      break;
    }
    out.push_back(uint8_t(hi << 4 | lo));
  }
  return out;
}

std::string ToHex(const uint8_t* p, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    s += kDigits[p[i] >> 4];
    s += kDigits[p[i] & 15];
  }
  return s;
}

}  // namespace vectest
