// The 60 entry points of the outside GOST library libcrypt.dll, declared once.
// The binding's pointer table, its resolver and the stand-in provider's export
// declarations are all generated from CRYPC_ENTRY_POINTS, so a signature can
// only change in one place. Order is the resolution order of the binding.
//
// Every entry point uses the C calling convention and returns 0 on success or
// a code from 1 to 15. Contexts are zero-filled caller areas of fixed size
// (the kCrypC...ContextLen constants below); "params" is a GostParamBlock,
// "random" is the caller's private copy of the 76-byte random state.
#ifndef TZM_CRYPTLIB_CRYPC_TABLE_H
#define TZM_CRYPTLIB_CRYPC_TABLE_H

#include <stdint.h>

#define CRYPC_ENTRY_POINTS(X)                                                                   \
  X(CrypC_G28147_1989_block_init, (void* ctx, void* params, void* random, const uint8_t* key)) \
  X(CrypC_G28147_1989_block_encrypt, (void* ctx, const uint8_t* in, uint8_t* out, int len))    \
  X(CrypC_G28147_1989_block_decrypt, (void* ctx, const uint8_t* in, uint8_t* out, int len))    \
  X(CrypC_G28147_1989_block_clear, (void* ctx))                                                 \
  X(CrypC_G28147_1989_gamma_init,                                                               \
    (void* ctx, void* params, void* random, const uint8_t* key, const uint8_t* synchro))  \
  X(CrypC_G28147_1989_gamma_clear, (void* ctx))                                                 \
  X(CrypC_G28147_1989_gamma_crypt, (void* ctx, const uint8_t* in, uint8_t* out, int len))      \
  X(CrypC_G28147_1989_gamma_ofb_init,                                                           \
    (void* ctx, void* params, void* random, const uint8_t* key, const uint8_t* synchro))  \
  X(CrypC_G28147_1989_gamma_ofb_clear, (void* ctx))                                             \
  X(CrypC_G28147_1989_gamma_ofb_encrypt, (void* ctx, const uint8_t* in, uint8_t* out, int len)) \
  X(CrypC_G28147_1989_gamma_ofb_decrypt, (void* ctx, const uint8_t* in, uint8_t* out, int len)) \
  X(CrypC_G28147_1989_mac_init,                                                                 \
    (void* ctx, void* params, void* random, const uint8_t* key, uint8_t* mac))            \
  X(CrypC_G28147_1989_mac_update, (void* ctx, const uint8_t* data, int len))                    \
  X(CrypC_G28147_1989_mac_final, (void* ctx, uint8_t* mac))                                     \
  X(CrypC_G28147_1989_mac_clear, (void* ctx))                                                   \
  X(CrypC_G28147_1989_mac_file_const, (void* ctx, const uint8_t* data, int len, uint8_t* mac)) \
  X(CrypC_R34_11_1994_init, (void* ctx, void* params, void* random, const uint8_t* startVector)) \
  X(CrypC_R34_11_1994_update, (void* ctx, const uint8_t* data, int len))                        \
  X(CrypC_R34_11_1994_final, (void* ctx, uint8_t* out))                                         \
  X(CrypC_R34_11_1994_clear, (void* ctx))                                                       \
  X(CrypC_LR34_10_1994_set_parms,                                                               \
    (void* ctx, void* random, const uint8_t* p, int pLen, const uint8_t* q, int qLen, const uint8_t* a)) \
  X(CrypC_LR34_10_2001_set_parms,                                                               \
    (void* ctx, void* random, const uint8_t* p, int pLen, const uint8_t* q, int qLen,            \
     const uint8_t* a, const uint8_t* b, const uint8_t* point))                                  \
  X(CrypC_LR34_10_1994_get_parms,                                                               \
    (void* ctx, uint8_t* p, int* pLen, uint8_t* q, int* qLen, uint8_t* a))                       \
  X(CrypC_LR34_10_1994_gen_secret_key, (void* ctx))                                             \
  X(CrypC_LR34_10_2001_gen_secret_key, (void* ctx))                                             \
  X(CrypC_LR34_10_1994_gen_public_key, (void* ctx))                                             \
  X(CrypC_LR34_10_2001_gen_public_key, (void* ctx))                                             \
  X(CrypC_LR34_10_1994_get_secret_key, (void* ctx, uint8_t* out, int* outLen))                  \
  X(CrypC_LR34_10_2001_get_secret_key, (void* ctx, uint8_t* out, int* outLen))                  \
  X(CrypC_LR34_10_1994_get_public_key, (void* ctx, uint8_t* out, int* outLen))                  \
  X(CrypC_LR34_10_2001_get_public_key, (void* ctx, uint8_t* out, int* outLen))                  \
  X(CrypC_LR34_10_1994_set_secret_key, (void* ctx, const uint8_t* key))                         \
  X(CrypC_LR34_10_2001_set_secret_key, (void* ctx, const uint8_t* key))                         \
  X(CrypC_LR34_10_1994_set_public_key, (void* ctx, const uint8_t* key))                         \
  X(CrypC_LR34_10_2001_set_public_key, (void* ctx, const uint8_t* key))                         \
  X(CrypC_LR34_10_1994_sign, (void* ctx, const uint8_t* hash, uint8_t* signature))              \
  X(CrypC_LR34_10_2001_sign, (void* ctx, const uint8_t* hash, uint8_t* signature))              \
  X(CrypC_LR34_10_1994_verify, (void* ctx, const uint8_t* hash, const uint8_t* signature))      \
  X(CrypC_LR34_10_2001_verify, (void* ctx, const uint8_t* hash, const uint8_t* signature))      \
  X(CrypC_LR34_10_1994_clear_secret_key, (void* ctx))                                           \
  X(CrypC_LR34_10_2001_clear_secret_key, (void* ctx))                                           \
  X(CrypC_LR34_10_1994_clear_public_key, (void* ctx))                                           \
  X(CrypC_LR34_10_2001_clear_public_key, (void* ctx))                                           \
  X(CrypC_LR34_10_1994_clear, (void* ctx))                                                      \
  X(CrypC_LR34_10_2001_clear, (void* ctx))                                                      \
  X(CrypC_LR34_10_2001_gen_mutual_key, (void* ctx, const uint8_t* peerPublic, uint8_t* out))    \
  X(CrypC_LDH_PKA_set_parms, (void* ctx, void* random, const uint8_t* p, int pLen, const uint8_t* g)) \
  X(CrypC_LDH_PKA_get_parms, (void* ctx, uint8_t* p, int* pLen, uint8_t* g))                    \
  X(CrypC_LDH_PKA_gen_secret_key, (void* ctx))                                                  \
  X(CrypC_LDH_PKA_gen_public_key, (void* ctx))                                                  \
  X(CrypC_LDH_PKA_gen_mutual_key, (void* ctx, const uint8_t* peerPublic, uint8_t* out))         \
  X(CrypC_LDH_PKA_get_secret_key, (void* ctx, uint8_t* out, int* outLen))                       \
  X(CrypC_LDH_PKA_get_public_key, (void* ctx, uint8_t* out, int* outLen))                       \
  X(CrypC_LDH_PKA_set_secret_key, (void* ctx, const uint8_t* key))                              \
  X(CrypC_LDH_PKA_clear_secret_key, (void* ctx))                                                \
  X(CrypC_LDH_PKA_clear_public_key, (void* ctx))                                                \
  X(CrypC_LDH_PKA_clear, (void* ctx))                                                           \
  X(CrypC_Random_Fill, (void* random, uint8_t* out, int len))                                   \
  X(CrypC_TestCryptoFunctions_, (void))                                                         \
  X(CrypC_TestSignFunctions_, (void))

// Sizes of the caller-provided areas. The library's state must fit inside.
enum {
  kCrypCBlockContextLen = 100,
  kCrypCGammaContextLen = 100,
  kCrypCGammaOfbContextLen = 124,
  kCrypCMacContextLen = 100,
  kCrypCHashContextLen = 120,
  kCrypC1994ContextLen = 1148,
  kCrypC2001ContextLen = 748,
  kCrypCDhContextLen = 1300,
  kCrypCRandomStateLen = 76,
  kCrypCParamBlockLen = 4228,  // 128-byte S-box table + 4100 bytes the library may use
  kCrypCSboxTableLen = 128,
  kCrypCSignatureLen = 64,
  kCrypCHashLen = 32,
  kCrypCSigningSecretKeyLen = 32,
  kCrypC1994PublicKeyLen = 128,
  kCrypC2001PublicKeyLen = 100,
  kCrypCExchangeKeyLen = 128,
  kCrypCVerifyNegative = 5  // verify result: the signature does not match
};

// Pointer types: CrypC_xxx_fn for every entry point.
#define CRYPC_DECLARE_FN_TYPE(name, args) typedef int(*name##_fn) args;
CRYPC_ENTRY_POINTS(CRYPC_DECLARE_FN_TYPE)
#undef CRYPC_DECLARE_FN_TYPE

#endif  // TZM_CRYPTLIB_CRYPC_TABLE_H
