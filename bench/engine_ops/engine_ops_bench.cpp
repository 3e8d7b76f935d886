// SignData, VerifyData, EncodeData and DecodeData through the exports of the
// built library, each beside the bare libcrypt.dll work it cannot avoid: one
// GOST R 34.11-94 pass for signing and verifying, one MAC pass plus one gamma
// pass for encrypting and decrypting. Reported as bytes per second.
//
// The users live in a scratch folder: A (GOST R 34.10-2001) encrypts and
// signs, B (GOST R 34.10-94) decrypts and verifies, and A knows up to 100
// correspondents holding B's keys under other names. Pairwise keys are
// agreed before timing starts, as in a running host, so the figures are the
// steady state; the first block for a correspondent adds one agreement.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "abi_host.h"
#include "crypc_context.h"
#include "key_pairs.h"

namespace tzm::test {
namespace {

constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = 1024 * 1024;

struct TBenchUser {
  std::string UID;
  TZMEngine Engine = nullptr;
};

// TBenchWorld sets up the library, the users and their folders once.
class TBenchWorld {
 public:
  TBenchWorld() {
    TAbiHost& host = AbiHost();
    if (!host.Loaded()) return;
    Root = std::filesystem::temp_directory_path() / ("tzm_engine_ops_bench_" + std::to_string(platform::CurrentThreadId()));
    std::filesystem::remove_all(Root);
    A = MakeUser("BenchA", kAlgorithmGost2001, "a");
    B = MakeUser("BenchB", kAlgorithmGost94, "b");
    const std::vector<uint8_t> aKey = ReadFileBytes(Root / "a" / "self.pub");
    const std::vector<uint8_t> bKey = ReadFileBytes(Root / "b" / "self.pub");
    WriteFileBytes(Root / "b" / "abonents" / "a.pub", aKey);
    WriteFileBytes(Root / "a" / "abonents" / "b.pub", bKey);
    for (int i = 1; i < 100; ++i) {
      const std::string uid = "Peer" + std::to_string(i);
      WriteFileBytes(Root / "a" / "abonents" / (uid + ".pub"), RelabelledPublicKey(bKey, uid));
      Recipients.push_back(uid);
    }
    Ready = A.Engine != nullptr && B.Engine != nullptr;
  }

  ~TBenchWorld() {
    if (A.Engine != nullptr) AbiHost().DoneEngine(A.Engine);
    if (B.Engine != nullptr) AbiHost().DoneEngine(B.Engine);
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
  }

  // RecipientList answers "BenchB;Peer1;...", |count| UIDs in all.
  std::string RecipientList(int count) const {
    std::string list = B.UID;
    for (int i = 0; i + 1 < count; ++i) list += ";" + Recipients[static_cast<size_t>(i)];
    return list;
  }

  static constexpr int32_t kAlgorithmGost94 = 0;
  static constexpr int32_t kAlgorithmGost2001 = 1;

  bool Ready = false;
  std::filesystem::path Root;
  TBenchUser A;
  TBenchUser B;
  std::vector<std::string> Recipients;

 private:
  TBenchUser MakeUser(const std::string& uid, int32_t algorithm, const std::string& folder) {
    const TKeyPairFiles& files = GeneratedKeyPair(uid, algorithm);
    const std::filesystem::path dir = Root / folder;
    std::filesystem::create_directories(dir / "abonents");
    std::filesystem::create_directories(dir / "ca");
    WriteFileBytes(dir / "self.pub", files.PublicKey);
    WriteFileBytes(dir / "self.sec", files.SecretKey);
    TBenchUser user{uid, AbiHost().GetCryptObj(0)};
    if (user.Engine == nullptr || files.PublicKey.empty()) return user;
    AbiHost().SetCryptoParamValue(user.Engine, 1, (dir / "self.pub").string().c_str());
    AbiHost().SetCryptoParamValue(user.Engine, 2, (dir / "self.sec").string().c_str());
    AbiHost().SetCryptoParamValue(user.Engine, 3, ((dir / "abonents").string() + "/").c_str());
    AbiHost().SetCryptoParamValue(user.Engine, 4, ((dir / "ca").string() + "/").c_str());
    // Keys stay loaded for the whole run, as with a host's usual settings.
    AbiHost().SetCryptoParamValue(user.Engine, 7, "3600");
    AbiHost().SetCryptoParamValue(user.Engine, 8, "3600");
    return user;
  }
};

TBenchWorld& World() {
  static TBenchWorld world;
  return world;
}

std::vector<uint8_t> Data(int64_t len) {
  std::vector<uint8_t> data(static_cast<size_t>(len));
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 131 + (i >> 9));
  return data;
}

bool Check(benchmark::State& state, int32_t result, const char* what) {
  if (result == 0) return true;
  state.SkipWithError((std::string(what) + " failed with " + std::to_string(result)).c_str());
  return false;
}

// ---- Bare library work, the yardsticks. ----

void BM_BareHash(benchmark::State& state) {
  TCryptoC_DLL& dll = TestBinding();
  const std::vector<uint8_t> data = Data(state.range(0));
  TGostParamBlock params;
  TRandomRecord random;
  std::array<uint8_t, 32> start{};
  std::array<uint8_t, 32> digest{};
  for (auto _ : state) {
    THashContext ctx(dll);
    int32_t r = dll.CrypC_R34_11_1994_init(ctx.Get(), params.Get(), static_cast<void*>(random.data()), start.data());
    r |= dll.CrypC_R34_11_1994_update(ctx.Get(), data.data(), static_cast<int>(data.size()));
    r |= dll.CrypC_R34_11_1994_final(ctx.Get(), digest.data());
    if (!Check(state, r, "hash")) break;
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// range(1): 0 = encrypting gamma with feedback (EncodeData's pass), 1 =
// decrypting (DecodeData's, which the library can run several blocks at once).
void BM_BareMacAndGamma(benchmark::State& state) {
  TCryptoC_DLL& dll = TestBinding();
  const std::vector<uint8_t> data = Data(state.range(0));
  std::vector<uint8_t> out(data.size());
  TGostParamBlock params;
  TRandomRecord random;
  std::array<uint8_t, 32> key{};
  std::array<uint8_t, 8> mac{};
  std::array<uint8_t, 8> synchro{};
  for (auto _ : state) {
    int32_t r = 0;
    {
      TMacContext ctx(dll);
      r |= dll.CrypC_G28147_1989_mac_init(ctx.Get(), params.Get(), static_cast<void*>(random.data()), key.data(),
                                          mac.data());
      r |= dll.CrypC_G28147_1989_mac_update(ctx.Get(), data.data(), static_cast<int>(data.size()));
      r |= dll.CrypC_G28147_1989_mac_final(ctx.Get(), mac.data());
    }
    {
      TGammaOfbContext ctx(dll);
      r |= dll.CrypC_G28147_1989_gamma_ofb_init(ctx.Get(), params.Get(), static_cast<void*>(random.data()),
                                                key.data(), synchro.data());
      const int len = static_cast<int>(data.size());
      r |= state.range(1) == 0 ? dll.CrypC_G28147_1989_gamma_ofb_encrypt(ctx.Get(), data.data(), out.data(), len)
                               : dll.CrypC_G28147_1989_gamma_ofb_decrypt(ctx.Get(), data.data(), out.data(), len);
    }
    if (!Check(state, r, "mac and gamma")) break;
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// ---- The engine operations through the exports. ----

void BM_SignData(benchmark::State& state) {
  TBenchWorld& world = World();
  if (!world.Ready) return state.SkipWithError("setup failed");
  TAbiHost& host = AbiHost();
  host.SetCryptoParamValue(world.A.Engine, 13, state.range(1) != 0 ? "GOST" : "");
  const std::vector<uint8_t> data = Data(state.range(0));
  std::vector<uint8_t> signature(319);
  for (auto _ : state) {
    int32_t len = 0;
    if (!Check(state, host.SignData(world.A.Engine, data.data(), static_cast<int32_t>(data.size()), signature.data(),
                                    &len, nullptr),
               "SignData")) {
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// range(1): 1 = signed with the GOST digest, 0 = with OLD_FORMAT (from
// 65536 bytes on this costs the second digest of the fallback).
void BM_VerifyData(benchmark::State& state) {
  TBenchWorld& world = World();
  if (!world.Ready) return state.SkipWithError("setup failed");
  TAbiHost& host = AbiHost();
  host.SetCryptoParamValue(world.A.Engine, 13, state.range(1) != 0 ? "GOST" : "");
  const std::vector<uint8_t> data = Data(state.range(0));
  std::vector<uint8_t> signature(319);
  int32_t len = 0;
  if (!Check(state, host.SignData(world.A.Engine, data.data(), static_cast<int32_t>(data.size()), signature.data(),
                                  &len, nullptr),
             "SignData")) {
    return;
  }
  std::vector<char> signer(255);
  for (auto _ : state) {
    if (!Check(state, host.VerifyData(world.B.Engine, data.data(), static_cast<int32_t>(data.size()),
                                      signature.data(), len, signer.data()),
               "VerifyData")) {
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// range(1): number of recipients.
void BM_EncodeData(benchmark::State& state) {
  TBenchWorld& world = World();
  if (!world.Ready) return state.SkipWithError("setup failed");
  TAbiHost& host = AbiHost();
  const std::string list = world.RecipientList(static_cast<int>(state.range(1)));
  const std::vector<uint8_t> data = Data(state.range(0));
  std::vector<uint8_t> buffer(data.size() + static_cast<size_t>(host.GetMaxAdditionEx(world.A.Engine, list.c_str())));
  auto encode = [&]() {
    std::memcpy(buffer.data(), data.data(), data.size());
    int32_t len = static_cast<int32_t>(data.size());
    return host.EncodeData(world.A.Engine, buffer.data(), &len, list.c_str());
  };
  if (!Check(state, encode(), "EncodeData")) return;  // agrees the pairwise keys
  for (auto _ : state) {
    if (!Check(state, encode(), "EncodeData")) break;
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_DecodeData(benchmark::State& state) {
  TBenchWorld& world = World();
  if (!world.Ready) return state.SkipWithError("setup failed");
  TAbiHost& host = AbiHost();
  const std::vector<uint8_t> data = Data(state.range(0));
  std::vector<uint8_t> block(data.size() + 30579);
  std::memcpy(block.data(), data.data(), data.size());
  int32_t blockLen = static_cast<int32_t>(data.size());
  if (!Check(state, host.EncodeData(world.A.Engine, block.data(), &blockLen, world.B.UID.c_str()), "EncodeData")) {
    return;
  }
  block.resize(static_cast<size_t>(blockLen));
  std::vector<uint8_t> buffer(block.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(buffer.data(), block.data(), block.size());
    state.ResumeTiming();
    int32_t len = blockLen;
    if (!Check(state, host.DecodeData(world.B.Engine, buffer.data(), &len, nullptr), "DecodeData")) break;
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// Small sizes run as often as the library decides; 64 MiB a few times.
constexpr int64_t kLarge = 64 * kMiB;
constexpr int kLargeIterations = 2;

#define TZM_SIZES(fn, ...)                                                                              \
  BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Args({kKiB __VA_OPT__(, ) __VA_ARGS__})->Args({kMiB __VA_OPT__(, ) __VA_ARGS__}); \
  BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Args({kLarge __VA_OPT__(, ) __VA_ARGS__})->Iterations(kLargeIterations)

TZM_SIZES(BM_BareHash);
TZM_SIZES(BM_SignData, 1);
TZM_SIZES(BM_SignData, 0);
TZM_SIZES(BM_VerifyData, 1);
TZM_SIZES(BM_VerifyData, 0);
TZM_SIZES(BM_BareMacAndGamma, 0);
TZM_SIZES(BM_EncodeData, 1);
TZM_SIZES(BM_BareMacAndGamma, 1);
TZM_SIZES(BM_DecodeData);
BENCHMARK(BM_EncodeData)->Unit(benchmark::kMillisecond)->Args({kKiB, 10})->Args({kKiB, 100});

}  // namespace
}  // namespace tzm::test

BENCHMARK_MAIN();
