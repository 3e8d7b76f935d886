// GOST 28147-89 gamma with feedback (CFB-64) over 16 MiB, ours and libgcrypt's.
#include <benchmark/benchmark.h>
#include <gcrypt.h>

#include "bench_common.h"
#include "crypc_exports.h"

namespace {

void Cfb_Ours(benchmark::State& state) {
  const auto& msg = symbench::Message();
  auto params = symbench::ParamBlock();
  std::vector<uint8_t> ctx(kCrypCGammaOfbContextLen), random(kCrypCRandomStateLen), out(msg.size());
  uint8_t key[32] = {1, 2, 3}, synchro[8] = {4, 5, 6};
  for (auto _ : state) {
    CrypC_G28147_1989_gamma_ofb_init(ctx.data(), params.data(), random.data(), key, synchro);
    CrypC_G28147_1989_gamma_ofb_encrypt(ctx.data(), msg.data(), out.data(), int(msg.size()));
    benchmark::DoNotOptimize(out.data());
  }
  CrypC_G28147_1989_gamma_ofb_clear(ctx.data());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(msg.size()));
}

void Cfb_Gcrypt(benchmark::State& state) {
  symbench::GcryptReady();
  const auto& msg = symbench::Message();
  std::vector<uint8_t> out(msg.size());
  uint8_t key[32] = {1, 2, 3}, synchro[8] = {4, 5, 6};
  gcry_cipher_hd_t h;
  gcry_cipher_open(&h, GCRY_CIPHER_GOST28147, GCRY_CIPHER_MODE_CFB, 0);
  gcry_cipher_ctl(h, GCRYCTL_SET_SBOX, const_cast<char*>(symbench::kTestSboxOid), 0);
  gcry_cipher_setkey(h, key, sizeof key);
  for (auto _ : state) {
    gcry_cipher_setiv(h, synchro, sizeof synchro);
    gcry_cipher_encrypt(h, out.data(), out.size(), msg.data(), msg.size());
    benchmark::DoNotOptimize(out.data());
  }
  gcry_cipher_close(h);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(msg.size()));
}

BENCHMARK(Cfb_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Cfb_Gcrypt)->Unit(benchmark::kMillisecond);

}  // namespace
