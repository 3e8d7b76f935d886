// Front of provider/, our stand-in libcrypt.dll: the GOST 28147-89 modes, the
// GOST R 34.11-94 hash, GOST R 34.10-94/2001 signatures, the LDH_PKA key
// agreement and the random source behind the 60 CrypC_ entry points.
// Callers: the binding in cryptlib/, which loads the library at run time, and
// the provider tests and benchmarks (through crypt_core). It calls nothing of
// the project, only the C++ standard library and the OS entropy source, and
// takes no locks: every call works on the caller's context, parameter block and
// random-state record, which the caller keeps private to one thread.
// Every front file (entry_*.cpp) includes this header, so the compiler checks
// each definition against the one table in crypc_table.h.
#ifndef TZM_PROVIDER_CRYPC_EXPORTS_H
#define TZM_PROVIDER_CRYPC_EXPORTS_H

#include "crypc_table.h"

// On Windows the names are pinned by libcrypt.def (undecorated, cdecl); elsewhere
// the symbols are hidden by default and these are made visible.
#if defined(_WIN32)
#define CRYPC_EXPORT
#else
#define CRYPC_EXPORT __attribute__((visibility("default")))
#endif

#define CRYPC_DECLARE_EXPORT(name, args) CRYPC_EXPORT int name args;
extern "C" {
CRYPC_ENTRY_POINTS(CRYPC_DECLARE_EXPORT)
}
#undef CRYPC_DECLARE_EXPORT

namespace crypc {

// Result codes of the entry points. 0 is success; the binding passes 1..15 on
// unchanged and the engine has a text for each.
enum : int {
  kOk = 0,
  kBadContext = 1,     // context never initialised, already cleared, or damaged
  kBadArgument = 2,    // impossible length or value (negative length, bad S-box table, ...)
  kUnusableKey = 3,    // a key that cannot be used
  kKeyAlreadySet = 4,  // a key set into a context that already holds one
  kVerifyNegative = 5, // a signature verified with a negative outcome
  kSelfTestFailed = 14,
  kNullPointer = 15,   // null pointer to a mandatory argument
};

// RunSymmetricSelfTest runs the known-answer tests of the cipher, its modes,
// the MAC and the hash through the entry points; 0 when all pass, else
// kSelfTestFailed.
int RunSymmetricSelfTest();

}  // namespace crypc

#endif  // TZM_PROVIDER_CRYPC_EXPORTS_H
