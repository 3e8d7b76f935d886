// GOST engine: TCryptoCEngine (the one concrete engine), its parameter set,
// the process-wide registry of library bindings, every working operation and
// the table of result codes and messages.
//
// Called by api/ (GetCryptObj creates a TCryptoCEngine; the exports call its
// operations). Calls engine/ (the base class) and cryptlib/ (the bindings).
// Locks: the registry's CryptoDLLLock, always taken before a binding's
// KeyLock and RandomLock; an engine object itself is not locked.
#ifndef TZM_GOST_GOST_H
#define TZM_GOST_GOST_H

#include "ResultCodes.h"
#include "TCryptoCEngine.h"

#endif
