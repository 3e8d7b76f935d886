// Exported entry points of the symmetric half: GOST 28147-89 in block, gamma,
// gamma-with-feedback and MAC modes, the GOST R 34.11-94 hash, the random source
// and the symmetric self test. Each call checks its pointers and lengths, copies
// the mode's state out of the caller's context, works on the copy and writes it
// back; the copy holds the key schedule and is wiped on every path.
#include <string.h>

#include "crypc_exports.h"
#include "gost28147.h"
#include "gost28147_modes.h"
#include "gost3411.h"
#include "random_state.h"
#include "wipe.h"

namespace crypc {
namespace {

// Family markers stored at the start of each context; a context of another
// family, a zero-filled one and a cleared one all fail the check.
constexpr uint32_t kBlockMagic = 0x31424B47;  // "GKB1"
constexpr uint32_t kGammaMagic = 0x31414D47;  // "GMA1"
constexpr uint32_t kCfbMagic = 0x31424647;    // "GFB1"
constexpr uint32_t kMacMagic = 0x31434D47;    // "GMC1"
constexpr uint32_t kHashMagic = 0x31534847;   // "GHS1"

static_assert(sizeof(Gost28147BlockState) <= kCrypCBlockContextLen);
static_assert(sizeof(GammaState) <= kCrypCGammaContextLen);
static_assert(sizeof(CfbState) <= kCrypCGammaOfbContextLen);
static_assert(sizeof(MacState) <= kCrypCMacContextLen);
static_assert(sizeof(HashState) <= kCrypCHashContextLen);
static_assert(kCrypCParamBlockLen == kGostParamBlockLen);

void SetParams(ContextHeader& h, const void* params) {
  uint64_t v = reinterpret_cast<uintptr_t>(params);
  h.paramsLo = uint32_t(v);
  h.paramsHi = uint32_t(v >> 32);
}

const void* GetParams(const ContextHeader& h) {
  return reinterpret_cast<const void*>(uintptr_t(uint64_t(h.paramsHi) << 32 | h.paramsLo));
}

// ContextState is a private, self-wiping copy of one context's state.
template <class State>
class ContextState {
 public:
  ContextState() { memset(&state_, 0, sizeof state_); }
  ~ContextState() { Wipe(&state_, sizeof state_); }
  ContextState(const ContextState&) = delete;
  ContextState& operator=(const ContextState&) = delete;

  // Load copies the state out of ctx and checks its marker and parameter block.
  [[nodiscard]] int Load(const void* ctx, uint32_t magic) {
    if (ctx == nullptr) return kNullPointer;
    memcpy(&state_, ctx, sizeof state_);
    if (state_.header.magic != magic) return kBadContext;
    tables_ = ParamTables(GetParams(state_.header));
    return tables_ == nullptr ? kBadContext : kOk;
  }

  // Begin starts a fresh state for init: prepares the parameter block and
  // stores its pointer with the family marker.
  [[nodiscard]] int Begin(void* params, uint32_t magic) {
    // The block is the caller's writable GostParamBlock; its spare bytes receive
    // the expanded tables.
    if (!PrepareParamBlock(params)) return kBadArgument;
    tables_ = ParamTables(params);
    state_.header.magic = magic;
    SetParams(state_.header, params);
    return kOk;
  }

  // Store writes the state into ctx, zeroing the rest of its ctxLen bytes.
  void Store(void* ctx, size_t ctxLen) const {
    memcpy(ctx, &state_, sizeof state_);
    memset(static_cast<uint8_t*>(ctx) + sizeof state_, 0, ctxLen - sizeof state_);
  }

  State& operator*() { return state_; }
  State* operator->() { return &state_; }
  Gost28147Tables Tables() const { return Gost28147Tables(tables_); }

 private:
  State state_;
  const uint8_t* tables_ = nullptr;
};

int Clear(void* ctx, size_t ctxLen) {
  if (ctx == nullptr) return kNullPointer;
  Wipe(ctx, ctxLen);
  return kOk;
}

// CheckBuffers: a length that is not negative, and non-null data pointers
// unless the length is zero (an empty buffer may come without an address).
int CheckBuffers(const void* in, const void* out, int len) {
  if (len < 0) return kBadArgument;
  if (len > 0 && (in == nullptr || out == nullptr)) return kNullPointer;
  return kOk;
}

template <class State, class Start>
int InitKeyed(void* ctx, size_t ctxLen, uint32_t magic, void* params, const uint8_t* key, Start start) {
  if (ctx == nullptr || params == nullptr || key == nullptr) return kNullPointer;
  ContextState<State> st;
  if (int rc = st.Begin(params, magic)) return rc;
  LoadGost28147Key(std::span<const uint8_t, kGostKeyLen>(key, kGostKeyLen), st->key);
  start(*st, st.Tables());
  st.Store(ctx, ctxLen);
  return kOk;
}

// Crypt runs one stream or block operation on a context of the given family.
template <class State, class Op>
int Crypt(void* ctx, uint32_t magic, size_t ctxLen, const uint8_t* in, uint8_t* out, int len, Op op) {
  if (int rc = CheckBuffers(in, out, len)) return rc;
  ContextState<State> st;
  if (int rc = st.Load(ctx, magic)) return rc;
  size_t n = size_t(len);
  op(*st, st.Tables(), std::span<const uint8_t>(in, n), std::span<uint8_t>(out, n));
  st.Store(ctx, ctxLen);
  return kOk;
}

}  // namespace
}  // namespace crypc

using namespace crypc;

extern "C" {

// ---- Simple replacement (ECB) ---------------------------------------------

int CrypC_G28147_1989_block_init(void* ctx, void* params, void* /*random: unused*/, const uint8_t* key) {
  return InitKeyed<Gost28147BlockState>(ctx, kCrypCBlockContextLen, kBlockMagic, params, key,
                                        [](Gost28147BlockState&, const Gost28147Tables&) {});
}

int CrypC_G28147_1989_block_encrypt(void* ctx, const uint8_t* in, uint8_t* out, int len) {
  if (int rc = CheckBuffers(in, out, len)) return rc;
  if (len % int(kGostBlockLen) != 0) return kBadArgument;  // whole blocks only
  return Crypt<Gost28147BlockState>(ctx, kBlockMagic, kCrypCBlockContextLen, in, out, len,
                                    [](Gost28147BlockState& s, const Gost28147Tables& t, auto i, auto o) {
                                      EcbEncrypt(t, s.key, i, o);
                                    });
}

int CrypC_G28147_1989_block_decrypt(void* ctx, const uint8_t* in, uint8_t* out, int len) {
  if (int rc = CheckBuffers(in, out, len)) return rc;
  if (len % int(kGostBlockLen) != 0) return kBadArgument;  // whole blocks only
  return Crypt<Gost28147BlockState>(ctx, kBlockMagic, kCrypCBlockContextLen, in, out, len,
                                    [](Gost28147BlockState& s, const Gost28147Tables& t, auto i, auto o) {
                                      EcbDecrypt(t, s.key, i, o);
                                    });
}

int CrypC_G28147_1989_block_clear(void* ctx) { return Clear(ctx, kCrypCBlockContextLen); }

// ---- Gamma (counter) --------------------------------------------------------

int CrypC_G28147_1989_gamma_init(void* ctx, void* params, void* /*random: unused*/, const uint8_t* key,
                                 const uint8_t* synchro) {
  if (synchro == nullptr) return kNullPointer;
  return InitKeyed<GammaState>(ctx, kCrypCGammaContextLen, kGammaMagic, params, key,
                               [synchro](GammaState& s, const Gost28147Tables& t) {
                                 GammaStart(s, t, std::span<const uint8_t, kGostBlockLen>(synchro, kGostBlockLen));
                               });
}

int CrypC_G28147_1989_gamma_clear(void* ctx) { return Clear(ctx, kCrypCGammaContextLen); }

int CrypC_G28147_1989_gamma_crypt(void* ctx, const uint8_t* in, uint8_t* out, int len) {
  return Crypt<GammaState>(ctx, kGammaMagic, kCrypCGammaContextLen, in, out, len,
                           [](GammaState& s, const Gost28147Tables& t, auto i, auto o) { GammaCrypt(s, t, i, o); });
}

// ---- Gamma with feedback (CFB-64) -------------------------------------------

int CrypC_G28147_1989_gamma_ofb_init(void* ctx, void* params, void* /*random: unused*/, const uint8_t* key,
                                     const uint8_t* synchro) {
  if (synchro == nullptr) return kNullPointer;
  return InitKeyed<CfbState>(ctx, kCrypCGammaOfbContextLen, kCfbMagic, params, key,
                             [synchro](CfbState& s, const Gost28147Tables&) {
                               CfbStart(s, std::span<const uint8_t, kGostBlockLen>(synchro, kGostBlockLen));
                             });
}

int CrypC_G28147_1989_gamma_ofb_clear(void* ctx) { return Clear(ctx, kCrypCGammaOfbContextLen); }

int CrypC_G28147_1989_gamma_ofb_encrypt(void* ctx, const uint8_t* in, uint8_t* out, int len) {
  return Crypt<CfbState>(ctx, kCfbMagic, kCrypCGammaOfbContextLen, in, out, len,
                         [](CfbState& s, const Gost28147Tables& t, auto i, auto o) { CfbEncrypt(s, t, i, o); });
}

int CrypC_G28147_1989_gamma_ofb_decrypt(void* ctx, const uint8_t* in, uint8_t* out, int len) {
  return Crypt<CfbState>(ctx, kCfbMagic, kCrypCGammaOfbContextLen, in, out, len,
                         [](CfbState& s, const Gost28147Tables& t, auto i, auto o) { CfbDecrypt(s, t, i, o); });
}

// ---- MAC ------------------------------------------------------------------

// The MAC buffer passed to init is not read: the MAC always starts from the
// zero state (callers pass a zero-filled buffer).
int CrypC_G28147_1989_mac_init(void* ctx, void* params, void* /*random: unused*/, const uint8_t* key,
                               uint8_t* /*mac*/) {
  return InitKeyed<MacState>(ctx, kCrypCMacContextLen, kMacMagic, params, key,
                             [](MacState& s, const Gost28147Tables&) { MacStart(s); });
}

int CrypC_G28147_1989_mac_update(void* ctx, const uint8_t* data, int len) {
  if (int rc = CheckBuffers(data, data, len)) return rc;
  ContextState<MacState> st;
  if (int rc = st.Load(ctx, kMacMagic)) return rc;
  MacUpdate(*st, st.Tables(), std::span<const uint8_t>(data, size_t(len)));
  st.Store(ctx, kCrypCMacContextLen);
  return kOk;
}

// mac_final writes all 8 bytes of the state; the context may go on absorbing.
int CrypC_G28147_1989_mac_final(void* ctx, uint8_t* mac) {
  if (mac == nullptr) return kNullPointer;
  ContextState<MacState> st;
  if (int rc = st.Load(ctx, kMacMagic)) return rc;
  MacFinish(*st, st.Tables(), std::span<uint8_t, kGostBlockLen>(mac, kGostBlockLen));
  return kOk;
}

int CrypC_G28147_1989_mac_clear(void* ctx) { return Clear(ctx, kCrypCMacContextLen); }

// mac_file_const computes the MAC of one whole message with the key of an
// initialised MAC context, leaving the context as it was.
int CrypC_G28147_1989_mac_file_const(void* ctx, const uint8_t* data, int len, uint8_t* mac) {
  if (mac == nullptr) return kNullPointer;
  if (int rc = CheckBuffers(data, data, len)) return rc;
  ContextState<MacState> st;
  if (int rc = st.Load(ctx, kMacMagic)) return rc;
  MacStart(*st);
  MacUpdate(*st, st.Tables(), std::span<const uint8_t>(data, size_t(len)));
  MacFinish(*st, st.Tables(), std::span<uint8_t, kGostBlockLen>(mac, kGostBlockLen));
  return kOk;
}

// ---- Hash -----------------------------------------------------------------

int CrypC_R34_11_1994_init(void* ctx, void* params, void* /*random: unused*/, const uint8_t* startVector) {
  if (ctx == nullptr || params == nullptr || startVector == nullptr) return kNullPointer;
  ContextState<HashState> st;
  if (int rc = st.Begin(params, kHashMagic)) return rc;
  HashStart(*st, std::span<const uint8_t, kGost3411HashLen>(startVector, kGost3411HashLen));
  st.Store(ctx, kCrypCHashContextLen);
  return kOk;
}

int CrypC_R34_11_1994_update(void* ctx, const uint8_t* data, int len) {
  if (int rc = CheckBuffers(data, data, len)) return rc;
  ContextState<HashState> st;
  if (int rc = st.Load(ctx, kHashMagic)) return rc;
  HashUpdate(*st, st.Tables(), std::span<const uint8_t>(data, size_t(len)));
  st.Store(ctx, kCrypCHashContextLen);
  return kOk;
}

// final writes the digest; the context may go on absorbing.
int CrypC_R34_11_1994_final(void* ctx, uint8_t* out) {
  if (out == nullptr) return kNullPointer;
  ContextState<HashState> st;
  if (int rc = st.Load(ctx, kHashMagic)) return rc;
  HashFinish(*st, st.Tables(), std::span<uint8_t, kGost3411HashLen>(out, kGost3411HashLen));
  return kOk;
}

int CrypC_R34_11_1994_clear(void* ctx) { return Clear(ctx, kCrypCHashContextLen); }

// ---- Random source and self test ---------------------------------------------

int CrypC_Random_Fill(void* random, uint8_t* out, int len) {
  if (random == nullptr) return kNullPointer;
  if (int rc = CheckBuffers(out, out, len)) return rc;
  return RandomDraw(random, out, size_t(len));
}

int CrypC_TestCryptoFunctions_(void) { return RunSymmetricSelfTest(); }

}  // extern "C"
