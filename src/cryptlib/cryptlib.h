// cryptlib: the binding to the outside GOST library libcrypt.dll.
//
// Owns: loading libcrypt.dll once per process and resolving its 60 CrypC_
// entry points (crypc_table.h), the binding class TCryptoC_DLL with the
// user's secret key held masked in memory, the key files on disk, the
// signature and encrypted-block formats, and the public-key cache.
// Called by: gost/ (the GOST engine's registry and operations), tests.
// Calls: support/ (files, wipe, bounded readers, root-directory loader) and,
// through function pointers only, libcrypt.dll.
// Locks, always in this order: the registry's CryptoDLLLock (in gost/), a
// binding's KeyLock, the same binding's RandomLock. LibraryLock guards only the
// process-wide module handle. Library calls that hash, sign, verify and
// encrypt run outside every lock on private copies of keys and random state.
#ifndef TZM_CRYPTLIB_CRYPTLIB_H
#define TZM_CRYPTLIB_CRYPTLIB_H

#include "cryptoc_dll.h"

#endif  // TZM_CRYPTLIB_CRYPTLIB_H
