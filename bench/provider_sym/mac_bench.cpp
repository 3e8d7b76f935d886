// GOST 28147-89 MAC over 16 MiB, ours and libgcrypt's.
#include <benchmark/benchmark.h>
#include <gcrypt.h>

#include "bench_common.h"
#include "crypc_exports.h"

namespace {

void Mac_Ours(benchmark::State& state) {
  const auto& msg = symbench::Message();
  auto params = symbench::ParamBlock();
  std::vector<uint8_t> ctx(kCrypCMacContextLen), random(kCrypCRandomStateLen);
  uint8_t key[32] = {1, 2, 3}, mac[8] = {};
  for (auto _ : state) {
    CrypC_G28147_1989_mac_init(ctx.data(), params.data(), random.data(), key, mac);
    CrypC_G28147_1989_mac_update(ctx.data(), msg.data(), int(msg.size()));
    CrypC_G28147_1989_mac_final(ctx.data(), mac);
    benchmark::DoNotOptimize(mac);
  }
  CrypC_G28147_1989_mac_clear(ctx.data());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(msg.size()));
}

void Mac_Gcrypt(benchmark::State& state) {
  symbench::GcryptReady();
  const auto& msg = symbench::Message();
  uint8_t key[32] = {1, 2, 3}, mac[8];
  gcry_mac_hd_t h;
  gcry_mac_open(&h, GCRY_MAC_GOST28147_IMIT, 0, nullptr);
  gcry_mac_ctl(h, GCRYCTL_SET_SBOX, const_cast<char*>(symbench::kTestSboxOid), 0);
  gcry_mac_setkey(h, key, sizeof key);
  for (auto _ : state) {
    gcry_mac_reset(h);
    gcry_mac_write(h, msg.data(), msg.size());
    size_t macLen = sizeof mac;
    gcry_mac_read(h, mac, &macLen);
    benchmark::DoNotOptimize(mac);
  }
  gcry_mac_close(h);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(msg.size()));
}

BENCHMARK(Mac_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Mac_Gcrypt)->Unit(benchmark::kMillisecond);

}  // namespace
