// Inputs shared by the symmetric benchmarks.
#include "bench_common.h"

#include <gcrypt.h>
#include <string.h>

namespace symbench {

const std::vector<uint8_t>& Message() {
  static const std::vector<uint8_t> message = [] {
    std::vector<uint8_t> m(kMessageLen);
    uint32_t x = 0x12345678;
    for (auto& b : m) {
      x = x * 1664525u + 1013904223u;
      b = uint8_t(x >> 24);
    }
    return m;
  }();
  return message;
}

std::vector<uint8_t> ParamBlock() {
  // id-GostR3411-94-TestParamSet, K8 first (RFC 5831 section 7.1).
  static const uint8_t kTable[128] = {
      1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12, 13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12,
      4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14, 6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2,
      7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3, 5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11,
      14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9, 4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3};
  std::vector<uint8_t> block(4228, 0);
  memcpy(block.data(), kTable, sizeof kTable);
  return block;
}

void GcryptReady() {
  static const bool ready = [] {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  (void)ready;
}

}  // namespace symbench
