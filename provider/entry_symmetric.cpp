// Exported entry points of the symmetric half: GOST 28147-89 modes, the GOST R
// 34.11-94 hash, the random source and the symmetric self test.
#include "crypc_exports.h"
#include "random_state.h"

extern "C" {

#define CRYPC_STUB(name, args) \
  int name args { return crypc::kBadContext; }

CRYPC_STUB(CrypC_G28147_1989_block_init, (void*, const void*, void*, const uint8_t*))
CRYPC_STUB(CrypC_G28147_1989_block_encrypt, (void*, const uint8_t*, uint8_t*, int))
CRYPC_STUB(CrypC_G28147_1989_block_decrypt, (void*, const uint8_t*, uint8_t*, int))
CRYPC_STUB(CrypC_G28147_1989_block_clear, (void*))
CRYPC_STUB(CrypC_G28147_1989_gamma_init, (void*, const void*, void*, const uint8_t*, const uint8_t*))
CRYPC_STUB(CrypC_G28147_1989_gamma_clear, (void*))
CRYPC_STUB(CrypC_G28147_1989_gamma_crypt, (void*, const uint8_t*, uint8_t*, int))
CRYPC_STUB(CrypC_G28147_1989_gamma_ofb_init, (void*, const void*, void*, const uint8_t*, const uint8_t*))
CRYPC_STUB(CrypC_G28147_1989_gamma_ofb_clear, (void*))
CRYPC_STUB(CrypC_G28147_1989_gamma_ofb_encrypt, (void*, const uint8_t*, uint8_t*, int))
CRYPC_STUB(CrypC_G28147_1989_gamma_ofb_decrypt, (void*, const uint8_t*, uint8_t*, int))
CRYPC_STUB(CrypC_G28147_1989_mac_init, (void*, const void*, void*, const uint8_t*, uint8_t*))
CRYPC_STUB(CrypC_G28147_1989_mac_update, (void*, const uint8_t*, int))
CRYPC_STUB(CrypC_G28147_1989_mac_final, (void*, uint8_t*))
CRYPC_STUB(CrypC_G28147_1989_mac_clear, (void*))
CRYPC_STUB(CrypC_G28147_1989_mac_file_const, (void*, const uint8_t*, int, uint8_t*))
CRYPC_STUB(CrypC_R34_11_1994_init, (void*, const void*, void*, const uint8_t*))
CRYPC_STUB(CrypC_R34_11_1994_update, (void*, const uint8_t*, int))
CRYPC_STUB(CrypC_R34_11_1994_final, (void*, uint8_t*))
CRYPC_STUB(CrypC_R34_11_1994_clear, (void*))
CRYPC_STUB(CrypC_TestCryptoFunctions_, (void))

#undef CRYPC_STUB

int CrypC_Random_Fill(void* random, uint8_t* out, int len) {
  if (random == nullptr || out == nullptr) return crypc::kNullPointer;
  if (len < 0) return crypc::kBadArgument;
  return crypc::RandomDraw(random, out, size_t(len));
}

}  // extern "C"
