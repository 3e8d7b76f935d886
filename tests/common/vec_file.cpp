// Known-answer file reader; see vec_file.h for the format.
#include "vec_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <istream>

namespace vectest {

std::string TVecEntry::Text(const std::string& key) const {
  auto it = Fields.find(key);
  if (it == Fields.end()) {
    ADD_FAILURE() << Where() << ": missing field " << key;
    return {};
  }
  read_.insert(key);
  return it->second;
}

std::vector<uint8_t> TVecEntry::Bytes(const std::string& key) const { return FromHex(Text(key)); }

size_t TVecEntry::Number(const std::string& key) const {
  const std::string text = Text(key);
  size_t used = 0;
  unsigned long value = 0;
  try {
    value = std::stoul(text, &used, 10);
  } catch (const std::exception&) {
    used = 0;
  }
  if (text.empty() || used != text.size()) ADD_FAILURE() << Where() << ": " << key << " is not a number: " << text;
  return size_t(value);
}

std::vector<std::string> TVecEntry::Unused() const {
  std::vector<std::string> out;
  for (const auto& [key, value] : Fields)
    if (!read_.count(key)) out.push_back(key);
  return out;
}

std::string TVecEntry::Where() const { return File + ":" + std::to_string(Line); }

TVecFile::TVecFile(const std::string& relPath) {
  const std::string path = std::string(TZM_TEST_DATA_DIR) + "/" + relPath;
  std::ifstream in(path);
  if (!in) {
    ADD_FAILURE() << "cannot open " << path;
    return;
  }
  Parse(relPath, in);
}

TVecFile::TVecFile(const std::string& name, std::istream& in) { Parse(name, in); }

TVecFile::~TVecFile() {
  if (::testing::Test::HasFatalFailure()) return;
  for (const TVecEntry& e : entries_)
    for (const std::string& key : e.Unused()) ADD_FAILURE() << e.Where() << ": field " << key << " is never read";
}

void TVecFile::Parse(const std::string& name, std::istream& in) {
  std::string section, algorithm, param, text;
  TVecEntry current;
  bool open = false;
  int lineNo = 0;
  auto flush = [&] {
    if (open) entries_.push_back(current);
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
      const size_t openParen = text.find('('), closeParen = text.rfind(')');
      if (text.back() != ']' || openParen == std::string::npos || closeParen == std::string::npos ||
          closeParen < openParen) {
        ADD_FAILURE() << name << ":" << lineNo << ": bad section header";
        continue;
      }
      section = text.substr(1, text.size() - 2);
      algorithm = text.substr(1, openParen - 1);
      param = text.substr(openParen + 1, closeParen - openParen - 1);
      continue;
    }
    const size_t eq = text.find(" =");
    if (eq == std::string::npos || eq == 0) {
      ADD_FAILURE() << name << ":" << lineNo << ": expected 'Key = value'";
      continue;
    }
    if (!open) {
      current = TVecEntry();
      current.Section = section;
      current.Algorithm = algorithm;
      current.Param = param;
      current.File = name;
      current.Line = lineNo;
      open = true;
    }
    std::string value = text.substr(eq + 2);
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    const std::string key = text.substr(0, eq);
    if (!current.Fields.emplace(key, value).second) ADD_FAILURE() << name << ":" << lineNo << ": field " << key << " repeated";
  }
  flush();
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
    const int hi = nibble(hex[i]), lo = nibble(hex[i + 1]);
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
