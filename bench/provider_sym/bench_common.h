// Shared pieces of the symmetric benchmarks: the 16 MiB message, parameter
// blocks with the test S-boxes, a one-time libgcrypt set-up, and the names
// under which each primitive's pair of figures is reported.
#ifndef TZM_BENCH_PROVIDER_SYM_BENCH_COMMON_H
#define TZM_BENCH_PROVIDER_SYM_BENCH_COMMON_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

namespace symbench {

constexpr size_t kMessageLen = 16u << 20;

// Message answers the 16 MiB input shared by every benchmark.
const std::vector<uint8_t>& Message();
// ParamBlock answers a 4228-byte parameter block with the GOST R 34.11-94 test S-boxes.
std::vector<uint8_t> ParamBlock();
// GcryptReady initialises libgcrypt once.
void GcryptReady();

constexpr const char* kTestSboxOid = "1.2.643.2.2.30.0";

}  // namespace symbench

#endif  // TZM_BENCH_PROVIDER_SYM_BENCH_COMMON_H
