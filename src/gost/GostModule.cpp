// Load and unload steps of the GOST engine. The binding registry and its lock
// are created and destroyed here once they exist; libcrypt.dll itself is
// loaded on first use, never at library load.
#include "gost.h"

namespace tzm {

void StartGostModule() {}
void StopGostModule() {}

}  // namespace tzm
