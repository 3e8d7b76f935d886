// Load and unload steps of the engine framework, and the abstract-call
// failure. The framework's process-wide state is the constant sample text
// (kCheckKeySampleText), so loading allocates nothing.
#include "engine.h"

namespace tzm {

void StartEngineModule() {}
void StopEngineModule() {}

void RaiseAbstractError() { throw EAbstractError("Abstract error"); }

}  // namespace tzm
