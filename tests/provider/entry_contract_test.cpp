// How the symmetric entry points treat their callers: bad pointers and lengths,
// contexts that were never initialised, cleared or belong to another family,
// damaged parameter blocks, the random source, the self test and the export
// table of the built libcrypt.dll.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "crypc_exports.h"
#include "sym_test_util.h"

namespace {

using symtest::HeapArea;

struct Fixture {
  HeapArea params = symtest::ParamBlock("test");
  HeapArea random{kCrypCRandomStateLen};
  uint8_t key[32] = {1, 2, 3, 4};
  uint8_t synchro[8] = {8, 7, 6};
  uint8_t startVector[32] = {};
  uint8_t data[64] = {};
  uint8_t out[64] = {};
};

TEST(EntryContract, NullPointersAndNegativeLengthsAreRefused) {
  Fixture f;
  HeapArea gamma(kCrypCGammaContextLen), cfb(kCrypCGammaOfbContextLen), mac(kCrypCMacContextLen),
      block(kCrypCBlockContextLen), hash(kCrypCHashContextLen);
  ASSERT_EQ(0, CrypC_G28147_1989_gamma_init(gamma.get(), f.params.get(), f.random.get(), f.key, f.synchro));
  ASSERT_EQ(0, CrypC_G28147_1989_gamma_ofb_init(cfb.get(), f.params.get(), f.random.get(), f.key, f.synchro));
  ASSERT_EQ(0, CrypC_G28147_1989_mac_init(mac.get(), f.params.get(), f.random.get(), f.key, f.out));
  ASSERT_EQ(0, CrypC_G28147_1989_block_init(block.get(), f.params.get(), f.random.get(), f.key));
  ASSERT_EQ(0, CrypC_R34_11_1994_init(hash.get(), f.params.get(), f.random.get(), f.startVector));

  // Init with any mandatory pointer missing.
  HeapArea spare(kCrypCGammaOfbContextLen);
  EXPECT_NE(0, CrypC_G28147_1989_gamma_init(nullptr, f.params.get(), f.random.get(), f.key, f.synchro));
  EXPECT_NE(0, CrypC_G28147_1989_gamma_init(spare.get(), nullptr, f.random.get(), f.key, f.synchro));
  EXPECT_NE(0, CrypC_G28147_1989_gamma_init(spare.get(), f.params.get(), f.random.get(), nullptr, f.synchro));
  EXPECT_NE(0, CrypC_G28147_1989_gamma_init(spare.get(), f.params.get(), f.random.get(), f.key, nullptr));
  EXPECT_NE(0, CrypC_G28147_1989_gamma_ofb_init(spare.get(), f.params.get(), f.random.get(), f.key, nullptr));
  EXPECT_NE(0, CrypC_G28147_1989_mac_init(spare.get(), f.params.get(), f.random.get(), nullptr, f.out));
  EXPECT_NE(0, CrypC_G28147_1989_block_init(spare.get(), nullptr, f.random.get(), f.key));
  EXPECT_NE(0, CrypC_R34_11_1994_init(spare.get(), f.params.get(), f.random.get(), nullptr));
  EXPECT_NE(0, CrypC_R34_11_1994_init(nullptr, f.params.get(), f.random.get(), f.startVector));
  EXPECT_TRUE(spare.AllZero()) << "a refused init wrote into the context";

  // Working calls.
  for (auto fn : {CrypC_G28147_1989_gamma_crypt, CrypC_G28147_1989_gamma_ofb_encrypt,
                  CrypC_G28147_1989_gamma_ofb_decrypt, CrypC_G28147_1989_block_encrypt,
                  CrypC_G28147_1989_block_decrypt}) {
    void* ctx = fn == CrypC_G28147_1989_gamma_crypt ? gamma.get()
                : (fn == CrypC_G28147_1989_block_encrypt || fn == CrypC_G28147_1989_block_decrypt) ? block.get()
                                                                                                    : cfb.get();
    EXPECT_EQ(crypc::kNullPointer, fn(nullptr, f.data, f.out, 8));
    EXPECT_EQ(crypc::kNullPointer, fn(ctx, nullptr, f.out, 8));
    EXPECT_EQ(crypc::kNullPointer, fn(ctx, f.data, nullptr, 8));
    EXPECT_EQ(crypc::kBadArgument, fn(ctx, f.data, f.out, -8));
    EXPECT_EQ(crypc::kBadArgument, fn(ctx, f.data, f.out, INT32_MIN));
    EXPECT_EQ(0, fn(ctx, nullptr, nullptr, 0)) << "an empty buffer needs no address";
  }
  EXPECT_EQ(crypc::kBadArgument, CrypC_G28147_1989_block_encrypt(block.get(), f.data, f.out, 12))
      << "ECB takes whole blocks only";
  EXPECT_NE(0, CrypC_G28147_1989_mac_update(mac.get(), nullptr, 8));
  EXPECT_EQ(0, CrypC_G28147_1989_mac_update(mac.get(), nullptr, 0));
  EXPECT_EQ(0, CrypC_R34_11_1994_update(hash.get(), nullptr, 0));
  EXPECT_NE(0, CrypC_G28147_1989_mac_update(mac.get(), f.data, -1));
  EXPECT_NE(0, CrypC_G28147_1989_mac_update(nullptr, f.data, 8));
  EXPECT_NE(0, CrypC_G28147_1989_mac_final(mac.get(), nullptr));
  EXPECT_NE(0, CrypC_G28147_1989_mac_file_const(mac.get(), f.data, -1, f.out));
  EXPECT_NE(0, CrypC_G28147_1989_mac_file_const(mac.get(), f.data, 8, nullptr));
  EXPECT_NE(0, CrypC_R34_11_1994_update(hash.get(), nullptr, 8));
  EXPECT_NE(0, CrypC_R34_11_1994_update(hash.get(), f.data, -5));
  EXPECT_NE(0, CrypC_R34_11_1994_final(hash.get(), nullptr));
  EXPECT_NE(0, CrypC_R34_11_1994_final(nullptr, f.out));
  for (auto clear : {CrypC_G28147_1989_gamma_clear, CrypC_G28147_1989_gamma_ofb_clear, CrypC_G28147_1989_mac_clear,
                     CrypC_G28147_1989_block_clear, CrypC_R34_11_1994_clear})
    EXPECT_NE(0, clear(nullptr));
  EXPECT_NE(0, CrypC_Random_Fill(nullptr, f.out, 8));
  EXPECT_NE(0, CrypC_Random_Fill(f.random.get(), nullptr, 8));
  EXPECT_NE(0, CrypC_Random_Fill(f.random.get(), f.out, -1));

  // Refused calls leave the running state alone: the gamma still continues.
  uint8_t a[16], b[16];
  ASSERT_EQ(0, CrypC_G28147_1989_gamma_crypt(gamma.get(), f.data, a, 16));
  HeapArea fresh(kCrypCGammaContextLen);
  ASSERT_EQ(0, CrypC_G28147_1989_gamma_init(fresh.get(), f.params.get(), f.random.get(), f.key, f.synchro));
  ASSERT_EQ(0, CrypC_G28147_1989_gamma_crypt(fresh.get(), f.data, b, 16));
  EXPECT_EQ(0, memcmp(a, b, 16));

  EXPECT_EQ(0, CrypC_G28147_1989_gamma_clear(gamma.get()));
  EXPECT_EQ(0, CrypC_G28147_1989_gamma_ofb_clear(cfb.get()));
  EXPECT_EQ(0, CrypC_G28147_1989_mac_clear(mac.get()));
  EXPECT_EQ(0, CrypC_G28147_1989_block_clear(block.get()));
  EXPECT_EQ(0, CrypC_R34_11_1994_clear(hash.get()));
}

TEST(EntryContract, UninitialisedAndForeignContextsAreRefused) {
  Fixture f;
  HeapArea zero100(100), zero124(kCrypCGammaOfbContextLen), zero120(kCrypCHashContextLen);
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_gamma_crypt(zero100.get(), f.data, f.out, 8));
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_block_encrypt(zero100.get(), f.data, f.out, 8));
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_mac_update(zero100.get(), f.data, 8));
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_mac_final(zero100.get(), f.out));
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_mac_file_const(zero100.get(), f.data, 8, f.out));
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_gamma_ofb_encrypt(zero124.get(), f.data, f.out, 8));
  EXPECT_EQ(crypc::kBadContext, CrypC_R34_11_1994_update(zero120.get(), f.data, 8));
  EXPECT_EQ(crypc::kBadContext, CrypC_R34_11_1994_final(zero120.get(), f.out));
  EXPECT_EQ(0, CrypC_G28147_1989_gamma_clear(zero100.get())) << "clearing a blank context is harmless";

  // A gamma context handed to the MAC or block calls (same size) is refused.
  HeapArea gamma(kCrypCGammaContextLen);
  ASSERT_EQ(0, CrypC_G28147_1989_gamma_init(gamma.get(), f.params.get(), f.random.get(), f.key, f.synchro));
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_mac_update(gamma.get(), f.data, 8));
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_block_encrypt(gamma.get(), f.data, f.out, 8));
  EXPECT_EQ(0, CrypC_G28147_1989_gamma_clear(gamma.get()));
}

TEST(EntryContract, DamagedParameterBlocksAreRefused) {
  Fixture f;
  HeapArea ctx(kCrypCGammaContextLen);
  // A table byte outside 0..15 is not an S-box table.
  f.params.get()[77] = 0x10;
  EXPECT_EQ(crypc::kBadArgument,
            CrypC_G28147_1989_gamma_init(ctx.get(), f.params.get(), f.random.get(), f.key, f.synchro));
  EXPECT_EQ(crypc::kBadArgument, CrypC_R34_11_1994_init(ctx.get(), f.params.get(), f.random.get(), f.startVector));
  EXPECT_TRUE(ctx.AllZero());
  f.params.get()[77] = 0x0F;
  ASSERT_EQ(0, CrypC_G28147_1989_gamma_init(ctx.get(), f.params.get(), f.random.get(), f.key, f.synchro));
  // A block rebuilt by the caller after init (spare bytes zeroed) is not used
  // with stale or missing tables.
  memset(f.params.get() + kCrypCSboxTableLen, 0, kCrypCParamBlockLen - kCrypCSboxTableLen);
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_gamma_crypt(ctx.get(), f.data, f.out, 8));
  // Nor after its table changed: the expanded tables would no longer match it.
  ASSERT_EQ(0, CrypC_G28147_1989_gamma_init(ctx.get(), f.params.get(), f.random.get(), f.key, f.synchro));
  f.params.get()[5] ^= 1;
  EXPECT_EQ(crypc::kBadContext, CrypC_G28147_1989_gamma_crypt(ctx.get(), f.data, f.out, 8));
  EXPECT_EQ(0, CrypC_G28147_1989_gamma_clear(ctx.get()));
}

TEST(RandomFill, DrawsDifferEvenFromOneCopiedState) {
  HeapArea state(kCrypCRandomStateLen);  // never seeded: all zero
  HeapArea copy(kCrypCRandomStateLen);
  std::vector<uint8_t> a(1000), b(1000), zeros(1000, 0);
  ASSERT_EQ(0, CrypC_Random_Fill(state.get(), a.data(), int(a.size())));
  EXPECT_FALSE(state.AllZero()) << "the record advances";
  memcpy(copy.get(), state.get(), kCrypCRandomStateLen);
  ASSERT_EQ(0, CrypC_Random_Fill(state.get(), a.data(), int(a.size())));
  ASSERT_EQ(0, CrypC_Random_Fill(copy.get(), b.data(), int(b.size())));
  EXPECT_NE(a, b);
  EXPECT_NE(a, zeros);
  EXPECT_NE(0, memcmp(state.get(), copy.get(), kCrypCRandomStateLen));
  // Short, empty and odd-sized draws fill exactly what was asked.
  for (int len : {0, 1, 31, 32, 33, 65, 4097}) {
    std::vector<uint8_t> buf(size_t(len) + 8, 0xEE);
    ASSERT_EQ(0, CrypC_Random_Fill(state.get(), buf.data(), len));
    for (size_t i = size_t(len); i < buf.size(); ++i) ASSERT_EQ(0xEE, buf[i]) << "len " << len;
  }
  // A crude sanity check on a large draw: every byte value turns up.
  std::vector<uint8_t> big(1 << 16);
  ASSERT_EQ(0, CrypC_Random_Fill(state.get(), big.data(), int(big.size())));
  std::vector<int> seen(256);
  for (uint8_t v : big) seen[v]++;
  EXPECT_EQ(0, std::count(seen.begin(), seen.end(), 0));
}

TEST(SelfTest, Passes) { EXPECT_EQ(0, CrypC_TestCryptoFunctions_()); }

// The built library exports every entry point of the table under its plain
// name, and nothing of its internals.
TEST(Exports, LibraryResolvesEveryEntryPoint) {
  std::string path = std::string(TZM_BIN_DIR) + "/libcrypt.dll";
  void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, lib) << dlerror();
#define CHECK_EXPORT(name, args) EXPECT_NE(nullptr, dlsym(lib, #name)) << #name;
  CRYPC_ENTRY_POINTS(CHECK_EXPORT)
#undef CHECK_EXPORT
  EXPECT_EQ(nullptr, dlsym(lib, "_ZN5crypc10RandomDrawEPvPhm"));
  EXPECT_EQ(nullptr, dlsym(lib, "_ZN5crypc4WipeEPvm"));
  auto selfTest = reinterpret_cast<CrypC_TestCryptoFunctions__fn>(dlsym(lib, "CrypC_TestCryptoFunctions_"));
  ASSERT_NE(nullptr, selfTest);
  EXPECT_EQ(0, selfTest());
  dlclose(lib);
}

}  // namespace
