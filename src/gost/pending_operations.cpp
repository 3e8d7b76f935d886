// Operations of the GOST engine whose working versions are not written yet.
// Each answers the base default, exactly as the base class would. A working
// version replaces its line here with a body in its own file.
#include "TCryptoCEngine.h"

namespace tzm {

using Base = TCryptoEngine;


}  // namespace tzm
