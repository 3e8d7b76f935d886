// Loads tz_morka by name from the folder of tzcli and resolves its exports.
#include "host_library.h"

#include "host_os.h"

namespace tzcli {

THostLibrary::~THostLibrary() {
  if (Module != nullptr) CloseModule(Module);
}

bool THostLibrary::Load() {
  LibraryPath = ProgramDirectory() + kLibraryFileName;
  Module = OpenModule(LibraryPath, LoadError);
  if (Module == nullptr) return false;
#define TZCLI_RESOLVE(name)                                                    \
  name = reinterpret_cast<decltype(name)>(FindSymbol(Module, #name));         \
  if (name == nullptr) {                                                       \
    LoadError = "export " #name " not found in " + LibraryPath;                \
    return false;                                                              \
  }
  TZCLI_EXPORTS(TZCLI_RESOLVE)
#undef TZCLI_RESOLVE
  return true;
}

}  // namespace tzcli
