// A stand-in libcrypt.dll that exports 59 of the 60 entry points: every one
// but CrypC_TestSignFunctions_, which the system never calls and still
// requires. The stubs only answer a failure code.
#include "crypc_table.h"

// The absent entry point is defined under another name, so the table below
// stays complete while the library's export list is not.
#define CrypC_TestSignFunctions_ CrypC_TestSignFunctions_absent

#define TZM_STUB_ENTRY(name, args) \
  extern "C" int name args { return 1; }
CRYPC_ENTRY_POINTS(TZM_STUB_ENTRY)
#undef TZM_STUB_ENTRY
