// Start and stop of the library: one static object whose construction runs
// when the host loads the library and whose destruction runs when it unloads.
// Modules start in the call direction (root directory, engine framework, then
// the GOST engine, which starts the binding module before its registry) and
// stop in reverse. Nothing here loads libcrypt.dll: that happens on first use.
// The root directory's state starts with support itself and is released by
// it at unload, so it needs no step here.
#include "engine.h"
#include "gost.h"

namespace tzm {

namespace {

class TLibraryLifetime {
 public:
  TLibraryLifetime() {
    StartEngineModule();
    StartGostModule();
  }
  ~TLibraryLifetime() {
    StopGostModule();
    StopEngineModule();
  }
  TLibraryLifetime(const TLibraryLifetime&) = delete;
  TLibraryLifetime& operator=(const TLibraryLifetime&) = delete;
};

const TLibraryLifetime kLibraryLifetime;

}  // namespace

}  // namespace tzm
