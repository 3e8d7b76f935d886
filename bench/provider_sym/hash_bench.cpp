// GOST R 34.11-94 over 16 MiB: ours through the entry points, and libgcrypt's.
#include <benchmark/benchmark.h>
#include <gcrypt.h>

#include "bench_common.h"
#include "crypc_exports.h"

namespace {

void Hash_Ours(benchmark::State& state) {
  const auto& msg = symbench::Message();
  auto params = symbench::ParamBlock();
  std::vector<uint8_t> ctx(kCrypCHashContextLen), random(kCrypCRandomStateLen);
  uint8_t startVector[32] = {}, digest[32];
  for (auto _ : state) {
    CrypC_R34_11_1994_init(ctx.data(), params.data(), random.data(), startVector);
    CrypC_R34_11_1994_update(ctx.data(), msg.data(), int(msg.size()));
    CrypC_R34_11_1994_final(ctx.data(), digest);
    benchmark::DoNotOptimize(digest);
  }
  CrypC_R34_11_1994_clear(ctx.data());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(msg.size()));
}

void Hash_Gcrypt(benchmark::State& state) {
  symbench::GcryptReady();
  const auto& msg = symbench::Message();
  uint8_t digest[32];
  for (auto _ : state) {
    gcry_md_hash_buffer(GCRY_MD_GOSTR3411_94, digest, msg.data(), msg.size());
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(msg.size()));
}

BENCHMARK(Hash_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Hash_Gcrypt)->Unit(benchmark::kMillisecond);

}  // namespace
