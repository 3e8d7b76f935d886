// Operations per second of GOST R 34.10-2001, GOST R 34.10-94, LDH_PKA and the
// underlying 1024-bit modular exponentiation, each next to libgcrypt doing the
// same work. The provider's figures go through the entry points with a fresh
// context per operation, as the binding drives them. After the run a table
// pairs every figure with libgcrypt's and prints the ratio.
#include <benchmark/benchmark.h>
#include <gcrypt.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "crypc_exports.h"
#include "gost3410_94.h"
#include "params_gost3410.h"

namespace {

uint8_t gRandom[76];
const uint8_t kHash[32] = {0x29, 0x8e, 0x0f, 0xa3, 0x0b, 0x51, 0xaf, 0x50, 0x29, 0x96, 0x5d,
                           0x5b, 0xe3, 0x52, 0xc8, 0xae, 0x7f, 0xb2, 0xd1, 0xd3, 0xdd, 0xbe,
                           0x1c, 0xd2, 0xc0, 0x74, 0x7a, 0xb4, 0x9d, 0xeb, 0x13, 0x8d};

int Init2001(void* c) { return CrypC_LR34_10_2001_set_parms(c, gRandom, nullptr, 32, nullptr, 32, nullptr, nullptr, nullptr); }
int Init94(void* c) { return CrypC_LR34_10_1994_set_parms(c, gRandom, nullptr, 128, nullptr, 32, nullptr); }
int InitDh(void* c) { return CrypC_LDH_PKA_set_parms(c, gRandom, nullptr, 128, nullptr); }

// ---- provider ---------------------------------------------------------------

struct TKeys {
  uint8_t Secret2001[32], Public2001[100], Sig2001[64];
  uint8_t Secret94[32], Public94[128], Sig94[64];
  uint8_t SecretDh[128], PublicDh[128], PeerDh[128];
  TKeys() {
    uint8_t c[kCrypCDhContextLen] = {};
    int len;
    Init2001(c);
    CrypC_LR34_10_2001_gen_secret_key(c);
    CrypC_LR34_10_2001_gen_public_key(c);
    CrypC_LR34_10_2001_get_secret_key(c, Secret2001, &len);
    CrypC_LR34_10_2001_get_public_key(c, Public2001, &len);
    CrypC_LR34_10_2001_sign(c, kHash, Sig2001);
    CrypC_LR34_10_2001_clear(c);
    Init94(c);
    CrypC_LR34_10_1994_gen_secret_key(c);
    CrypC_LR34_10_1994_gen_public_key(c);
    CrypC_LR34_10_1994_get_secret_key(c, Secret94, &len);
    CrypC_LR34_10_1994_get_public_key(c, Public94, &len);
    CrypC_LR34_10_1994_sign(c, kHash, Sig94);
    CrypC_LR34_10_1994_clear(c);
    for (uint8_t* out : {SecretDh, PeerDh}) {
      InitDh(c);
      CrypC_LDH_PKA_gen_secret_key(c);
      CrypC_LDH_PKA_gen_public_key(c);
      CrypC_LDH_PKA_get_secret_key(c, SecretDh, &len);
      CrypC_LDH_PKA_get_public_key(c, out, &len);
      CrypC_LDH_PKA_clear(c);
    }
  }
};
const TKeys& Keys() {
  static TKeys k;
  return k;
}

void Check(benchmark::State& state, int rc) {
  if (rc != 0) state.SkipWithError("entry point failed");
}

void Provider2001Sign(benchmark::State& state) {
  const TKeys& k = Keys();
  uint8_t sig[64];
  for (auto _ : state) {
    uint8_t c[kCrypC2001ContextLen] = {};
    Check(state, Init2001(c) | CrypC_LR34_10_2001_set_secret_key(c, k.Secret2001) | CrypC_LR34_10_2001_sign(c, kHash, sig));
    CrypC_LR34_10_2001_clear(c);
  }
}
void Provider2001Verify(benchmark::State& state) {
  const TKeys& k = Keys();
  for (auto _ : state) {
    uint8_t c[kCrypC2001ContextLen] = {};
    Check(state, Init2001(c) | CrypC_LR34_10_2001_set_public_key(c, k.Public2001) | CrypC_LR34_10_2001_verify(c, kHash, k.Sig2001));
    CrypC_LR34_10_2001_clear(c);
  }
}
void Provider2001KeyGen(benchmark::State& state) {
  for (auto _ : state) {
    uint8_t c[kCrypC2001ContextLen] = {};
    Check(state, Init2001(c) | CrypC_LR34_10_2001_gen_secret_key(c) | CrypC_LR34_10_2001_gen_public_key(c));
    CrypC_LR34_10_2001_clear(c);
  }
}
void Provider94Sign(benchmark::State& state) {
  const TKeys& k = Keys();
  uint8_t sig[64];
  for (auto _ : state) {
    uint8_t c[kCrypC1994ContextLen] = {};
    Check(state, Init94(c) | CrypC_LR34_10_1994_set_secret_key(c, k.Secret94) | CrypC_LR34_10_1994_sign(c, kHash, sig));
    CrypC_LR34_10_1994_clear(c);
  }
}
void Provider94Verify(benchmark::State& state) {
  const TKeys& k = Keys();
  for (auto _ : state) {
    uint8_t c[kCrypC1994ContextLen] = {};
    Check(state, Init94(c) | CrypC_LR34_10_1994_set_public_key(c, k.Public94) | CrypC_LR34_10_1994_verify(c, kHash, k.Sig94));
    CrypC_LR34_10_1994_clear(c);
  }
}
void Provider94KeyGen(benchmark::State& state) {
  for (auto _ : state) {
    uint8_t c[kCrypC1994ContextLen] = {};
    Check(state, Init94(c) | CrypC_LR34_10_1994_gen_secret_key(c) | CrypC_LR34_10_1994_gen_public_key(c));
    CrypC_LR34_10_1994_clear(c);
  }
}
void ProviderDhAgree(benchmark::State& state) {
  const TKeys& k = Keys();
  uint8_t out[128];
  for (auto _ : state) {
    uint8_t c[kCrypCDhContextLen] = {};
    Check(state, InitDh(c) | CrypC_LDH_PKA_set_secret_key(c, k.SecretDh) | CrypC_LDH_PKA_gen_mutual_key(c, k.PeerDh, out));
    CrypC_LDH_PKA_clear(c);
  }
}
void ProviderModExp(benchmark::State& state) {
  const crypc::TGost94Group& g = crypc::TGost94Group::CryptoProA();
  crypc::TNat<16> base = crypc::TNat<16>::FromLe(Keys().PeerDh);
  crypc::TNat<4> e = crypc::TNat<4>::FromLe(Keys().SecretDh);
  for (auto _ : state) benchmark::DoNotOptimize(g.PowSecret(base, e));
}

// ---- libgcrypt --------------------------------------------------------------

gcry_mpi_t Mpi(const uint8_t* le, size_t n) {
  std::vector<uint8_t> be(le, le + n);
  std::reverse(be.begin(), be.end());
  gcry_mpi_t m = nullptr;
  gcry_mpi_scan(&m, GCRYMPI_FMT_USG, be.data(), be.size(), nullptr);
  return m;
}
gcry_mpi_t Hex(const char* h) {
  gcry_mpi_t m = nullptr;
  gcry_mpi_scan(&m, GCRYMPI_FMT_HEX, h, 0, nullptr);
  return m;
}

struct TGcry {
  gcry_sexp_t Pub = nullptr, Priv = nullptr, Data = nullptr, Sig = nullptr;
  gcry_mpi_t P, Q, A;
  TGcry() {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    const TKeys& k = Keys();
    uint8_t q[65] = {4}, d[32], e[32];
    for (int i = 0; i < 32; ++i) {
      q[1 + i] = k.Public2001[31 - i];
      q[33 + i] = k.Public2001[63 - i];
      d[i] = k.Secret2001[31 - i];
      e[i] = kHash[31 - i];
    }
    gcry_sexp_build(&Pub, nullptr, "(public-key (ecc (curve GOST2001-CryptoPro-A) (q %b)))", 65, q);
    gcry_sexp_build(&Priv, nullptr, "(private-key (ecc (curve GOST2001-CryptoPro-A) (q %b) (d %b)))", 65, q, 32, d);
    gcry_sexp_build(&Data, nullptr, "(data (flags gost) (value %b))", 32, e);
    gcry_pk_sign(&Sig, Data, Priv);
    P = Hex(crypc::kGost94CryptoProA.P);
    Q = Hex(crypc::kGost94CryptoProA.Q);
    A = Hex(crypc::kGost94CryptoProA.A);
  }
};
const TGcry& Gcry() {
  static TGcry g;
  return g;
}

void Gcrypt2001Sign(benchmark::State& state) {
  const TGcry& g = Gcry();
  for (auto _ : state) {
    gcry_sexp_t sig = nullptr;
    if (gcry_pk_sign(&sig, g.Data, g.Priv) != 0) state.SkipWithError("sign failed");
    gcry_sexp_release(sig);
  }
}
void Gcrypt2001Verify(benchmark::State& state) {
  const TGcry& g = Gcry();
  for (auto _ : state)
    if (gcry_pk_verify(g.Sig, g.Data, g.Pub) != 0) state.SkipWithError("verify failed");
}
void Gcrypt2001KeyGen(benchmark::State& state) {
  gcry_sexp_t params = nullptr;
  Gcry();
  gcry_sexp_build(&params, nullptr, "(genkey (ecc (curve GOST2001-CryptoPro-A)))");
  for (auto _ : state) {
    gcry_sexp_t key = nullptr;
    if (gcry_pk_genkey(&key, params) != 0) state.SkipWithError("genkey failed");
    gcry_sexp_release(key);
  }
  gcry_sexp_release(params);
}
// libgcrypt has no GOST R 34.10-94: the same formulas with its MPI functions.
void Gcrypt94Sign(benchmark::State& state) {
  const TGcry& g = Gcry();
  gcry_mpi_t x = Mpi(Keys().Secret94, 32), e = Mpi(kHash, 32), k = gcry_mpi_new(256), r = gcry_mpi_new(1024),
             s = gcry_mpi_new(256), t = gcry_mpi_new(256);
  gcry_mpi_mod(e, e, g.Q);
  for (auto _ : state) {
    gcry_mpi_randomize(k, 256, GCRY_STRONG_RANDOM);
    gcry_mpi_mod(k, k, g.Q);
    gcry_mpi_powm(r, g.A, k, g.P);
    gcry_mpi_mod(r, r, g.Q);
    gcry_mpi_mulm(s, x, r, g.Q);
    gcry_mpi_mulm(t, k, e, g.Q);
    gcry_mpi_addm(s, s, t, g.Q);
  }
  for (gcry_mpi_t m : {x, e, k, r, s, t}) gcry_mpi_release(m);
}
void Gcrypt94Verify(benchmark::State& state) {
  const TGcry& g = Gcry();
  gcry_mpi_t y = Mpi(Keys().Public94, 128), e = Mpi(kHash, 32), r = nullptr, s = nullptr;
  gcry_mpi_scan(&s, GCRYMPI_FMT_USG, Keys().Sig94, 32, nullptr);  // signature: s BE then r BE
  gcry_mpi_scan(&r, GCRYMPI_FMT_USG, Keys().Sig94 + 32, 32, nullptr);
  gcry_mpi_t v = gcry_mpi_new(256), z1 = gcry_mpi_new(256), z2 = gcry_mpi_new(256), t1 = gcry_mpi_new(1024),
             t2 = gcry_mpi_new(1024), chk = gcry_mpi_new(1024);
  gcry_mpi_mod(e, e, g.Q);
  for (auto _ : state) {
    gcry_mpi_powm(chk, y, g.Q, g.P);  // the subgroup check the provider makes too
    gcry_mpi_invm(v, e, g.Q);
    gcry_mpi_mulm(z1, s, v, g.Q);
    gcry_mpi_sub(z2, g.Q, r);
    gcry_mpi_mulm(z2, z2, v, g.Q);
    gcry_mpi_powm(t1, g.A, z1, g.P);
    gcry_mpi_powm(t2, y, z2, g.P);
    gcry_mpi_mulm(t1, t1, t2, g.P);
    gcry_mpi_mod(t1, t1, g.Q);
    if (gcry_mpi_cmp(t1, r) != 0 || gcry_mpi_cmp_ui(chk, 1) != 0) state.SkipWithError("verify failed");
  }
  for (gcry_mpi_t m : {y, e, r, s, v, z1, z2, t1, t2, chk}) gcry_mpi_release(m);
}
void Gcrypt94KeyGen(benchmark::State& state) {
  const TGcry& g = Gcry();
  gcry_mpi_t x = gcry_mpi_new(256), y = gcry_mpi_new(1024);
  for (auto _ : state) {
    gcry_mpi_randomize(x, 256, GCRY_STRONG_RANDOM);
    gcry_mpi_mod(x, x, g.Q);
    gcry_mpi_powm(y, g.A, x, g.P);
  }
  gcry_mpi_release(x);
  gcry_mpi_release(y);
}
void GcryptDhAgree(benchmark::State& state) {
  const TGcry& g = Gcry();
  gcry_mpi_t x = Mpi(Keys().SecretDh, 128), b = Mpi(Keys().PeerDh, 128), k = gcry_mpi_new(1024),
             chk = gcry_mpi_new(1024);
  for (auto _ : state) {
    gcry_mpi_powm(chk, b, g.Q, g.P);  // peer check, as the provider does
    gcry_mpi_powm(k, b, x, g.P);
  }
  for (gcry_mpi_t m : {x, b, k, chk}) gcry_mpi_release(m);
}
void GcryptModExp(benchmark::State& state) {
  const TGcry& g = Gcry();
  gcry_mpi_t x = Mpi(Keys().SecretDh, 128), b = Mpi(Keys().PeerDh, 128), k = gcry_mpi_new(1024);
  for (auto _ : state) gcry_mpi_powm(k, b, x, g.P);
  for (gcry_mpi_t m : {x, b, k}) gcry_mpi_release(m);
}

const char* const kPairs[][2] = {
    {"Provider2001Sign", "Gcrypt2001Sign"},     {"Provider2001Verify", "Gcrypt2001Verify"},
    {"Provider2001KeyGen", "Gcrypt2001KeyGen"}, {"Provider94Sign", "Gcrypt94Sign"},
    {"Provider94Verify", "Gcrypt94Verify"},     {"Provider94KeyGen", "Gcrypt94KeyGen"},
    {"ProviderDhAgree", "GcryptDhAgree"},       {"ProviderModExp", "GcryptModExp"},
};

// TTableReporter prints the usual console lines and remembers ops/s per name,
// from CPU time: the machine is shared, so wall time mostly measures the others.
// With repetitions it keeps the mean; the other aggregates (median, stddev, cv)
// are not times per operation and must not overwrite it.
class TTableReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> OpsPerSecond;
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration && r.aggregate_name != "mean") continue;
      const double perOp = r.GetAdjustedCPUTime();  // in r.time_unit
      if (perOp > 0) OpsPerSecond[r.run_name.function_name] = benchmark::GetTimeUnitMultiplier(r.time_unit) / perOp;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  Keys();
  Gcry();
  for (auto& pair : kPairs) {
    for (const char* name : pair) {
      const std::string n = name;
      void (*fn)(benchmark::State&) =
          n == "Provider2001Sign" ? Provider2001Sign : n == "Gcrypt2001Sign" ? Gcrypt2001Sign
          : n == "Provider2001Verify" ? Provider2001Verify : n == "Gcrypt2001Verify" ? Gcrypt2001Verify
          : n == "Provider2001KeyGen" ? Provider2001KeyGen : n == "Gcrypt2001KeyGen" ? Gcrypt2001KeyGen
          : n == "Provider94Sign" ? Provider94Sign : n == "Gcrypt94Sign" ? Gcrypt94Sign
          : n == "Provider94Verify" ? Provider94Verify : n == "Gcrypt94Verify" ? Gcrypt94Verify
          : n == "Provider94KeyGen" ? Provider94KeyGen : n == "Gcrypt94KeyGen" ? Gcrypt94KeyGen
          : n == "ProviderDhAgree" ? ProviderDhAgree : n == "GcryptDhAgree" ? GcryptDhAgree
          : n == "ProviderModExp" ? ProviderModExp : GcryptModExp;
      benchmark::RegisterBenchmark(name, fn)->MinTime(0.3);
    }
  }
  benchmark::Initialize(&argc, argv);
  TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printf("\n%-20s %14s %14s %8s\n", "operation", "provider op/s", "libgcrypt op/s", "ratio");
  for (auto& pair : kPairs) {
    auto a = reporter.OpsPerSecond.find(pair[0]), b = reporter.OpsPerSecond.find(pair[1]);
    if (a == reporter.OpsPerSecond.end() || b == reporter.OpsPerSecond.end()) continue;
    printf("%-20s %14.0f %14.0f %8.2f\n", pair[0] + 8, a->second, b->second, a->second / b->second);
  }
  benchmark::Shutdown();
  return 0;
}
