// The ownership half of TModule, the same on every system; loading, lookup and
// release are in the system branches.
#include "platform.h"

namespace tzm::platform {

TModule::~TModule() { Release(); }

TModule::TModule(TModule&& other) noexcept : Handle(other.Handle) { other.Handle = nullptr; }

TModule& TModule::operator=(TModule&& other) noexcept {
  if (this != &other) {
    Release();
    Handle = other.Handle;
    other.Handle = nullptr;
  }
  return *this;
}

}  // namespace tzm::platform
