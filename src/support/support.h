// Support library: services every layer above the platform shares.
//
// Owns: the wipe helper and self-wiping containers, little-endian block
// coding with a bounded reader/writer, the size-query helper of the exports,
// the exception classes, the Base64 codec, the file and text utilities, the
// process-wide root directory with the library loader, and the reader/writer
// lock TRWCriticalSection. Called by cryptlib/, gost/, engine/, api/ and
// tools; calls only platform/ and the standard library. Locks: the root
// directory state has one private mutex (held only while copying it); the
// reader/writer lock is the callers' own. No other locks are taken here.
//
// Other folders include only this header; the files it includes are internal.
#ifndef TZM_SUPPORT_SUPPORT_H
#define TZM_SUPPORT_SUPPORT_H

#include "platform.h"

#include "base64.h"
#include "bytes.h"
#include "exceptions.h"
#include "file_utils.h"
#include "root_dir.h"
#include "rw_lock.h"
#include "secure.h"
#include "size_query.h"
#include "text_utils.h"

#endif  // TZM_SUPPORT_SUPPORT_H
