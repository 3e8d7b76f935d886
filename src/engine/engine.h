// Engine framework: the abstract engine TCryptoEngine with its ordered table
// of virtual operations and their defaults, the import and export
// dispatchers, the %KVLRoot% path macro, the parameter table and the
// last-error holder TSyncExceptStr.
//
// Called by gost/ (the concrete engine derives from TCryptoEngine) and api/
// (the exports call one operation each). Calls support/ only. Takes no lock
// except the reader/writer lock inside each engine's TSyncExceptStr; an
// engine object is meant to be used by one thread at a time.
#ifndef TZM_ENGINE_ENGINE_H
#define TZM_ENGINE_ENGINE_H

#include "EngineErrors.h"
#include "TCryptoEngine.h"
#include "TSyncExceptStr.h"

namespace tzm {

// StartEngineModule / StopEngineModule run when the library loads and
// unloads. The framework's only process-wide state is the constant sample
// text of CheckSecretKeyReady, so both are cheap.
void StartEngineModule();
void StopEngineModule();

}  // namespace tzm

#endif
