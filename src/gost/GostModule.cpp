// Load and unload steps of the GOST engine. The binding registry and its lock
// are created and destroyed here once they exist; libcrypt.dll itself is
// loaded on first use, never at library load.
#include "gost.h"
#include "registry.h"

namespace tzm {

void StartGostModule() { StartBindingRegistry(); }
void StopGostModule() { StopBindingRegistry(); }

}  // namespace tzm
