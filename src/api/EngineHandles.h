// The set of live engines. Every export checks its handle here before any
// use, so a nil, unknown or already released handle is refused without ever
// being dereferenced.
#ifndef TZM_API_ENGINEHANDLES_H
#define TZM_API_ENGINEHANDLES_H

#include <memory>

#include "engine.h"

namespace tzm {

// RegisterEngine takes ownership of engine, adds it to the live set and
// returns it as the host's handle.
void* RegisterEngine(std::unique_ptr<TCryptoEngine> engine);

// FindEngine returns the live engine behind handle, or nullptr.
TCryptoEngine* FindEngine(const void* handle);

// ReleaseEngine removes handle from the live set and returns its engine for
// destruction; nullptr when the handle is not live.
std::unique_ptr<TCryptoEngine> ReleaseEngine(const void* handle);

}  // namespace tzm

#endif
