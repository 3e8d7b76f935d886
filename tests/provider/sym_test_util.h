// Helpers shared by the symmetric provider tests: parameter blocks built from
// the named S-box tables of tests/data/gost28147/sboxes.vec, caller areas
// allocated at exactly their stated sizes (so AddressSanitizer sees any
// overrun), and random ways to cut a message into pieces.
#ifndef TZM_TESTS_PROVIDER_SYM_TEST_UTIL_H
#define TZM_TESTS_PROVIDER_SYM_TEST_UTIL_H

#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "crypc_table.h"
#include "vec_file.h"

namespace symtest {

// HeapArea is a zero-filled heap area of exactly len bytes.
class HeapArea {
 public:
  explicit HeapArea(size_t len) : len_(len), p_(new uint8_t[len]()) {}
  uint8_t* get() const { return p_.get(); }
  size_t size() const { return len_; }
  bool AllZero() const { return std::all_of(p_.get(), p_.get() + len_, [](uint8_t b) { return b == 0; }); }

 private:
  size_t len_;
  std::unique_ptr<uint8_t[]> p_;
};

// SboxTable answers the 128-byte table named in sboxes.vec ("test", "cryptopro-a", "cryptopro-hash").
std::vector<uint8_t> SboxTable(const std::string& name);

// ParamBlock answers a fresh zero-filled GostParamBlock holding the named table.
inline HeapArea ParamBlock(const std::string& sboxName) {
  HeapArea block(kCrypCParamBlockLen);
  std::vector<uint8_t> table = SboxTable(sboxName);
  memcpy(block.get(), table.data(), std::min(table.size(), size_t(kCrypCSboxTableLen)));
  return block;
}

// RandomPieces cuts len into pieces of random sizes (multiples of granule,
// none larger than maxPiece; zero-length pieces included).
inline std::vector<size_t> RandomPieces(size_t len, std::mt19937& rng, size_t granule = 1,
                                        size_t maxPiece = SIZE_MAX) {
  std::vector<size_t> pieces;
  size_t left = len / granule;
  size_t maxUnits = std::max<size_t>(1, maxPiece / granule);
  while (left > 0) {
    size_t cap = std::min({left, maxUnits, std::max<size_t>(1, left / 2 + 9)});
    size_t units = std::uniform_int_distribution<size_t>(0, cap)(rng);
    pieces.push_back(units * granule);
    left -= units;
  }
  return pieces;
}

// Message answers an entry's message: In (hex), Text, or PatternLen = N (bytes i mod 251).
inline std::vector<uint8_t> Message(const vectest::TVecEntry& e) {
  if (e.Has("Text")) {
    std::string t = e.Text("Text");
    return std::vector<uint8_t>(t.begin(), t.end());
  }
  if (e.Has("PatternLen")) {
    std::vector<uint8_t> m(e.Number("PatternLen"));
    for (size_t i = 0; i < m.size(); ++i) m[i] = uint8_t(i % 251);
    return m;
  }
  return e.Bytes("In");
}

}  // namespace symtest

#endif  // TZM_TESTS_PROVIDER_SYM_TEST_UTIL_H
