// Live engines are kept by address in one small set under its own mutex. The
// mutex is held only while the set is searched or changed, never during an
// operation: one engine is used by one thread at a time, and releasing an
// engine while another thread still uses it is the caller's error.
#include "EngineHandles.h"

#include <mutex>
#include <unordered_set>

namespace tzm {

namespace {

struct TLiveEngines {
  std::mutex Lock;
  std::unordered_set<const void*> Handles;
};

// Built on first use, so an export called during another module's static
// initialisation still finds a valid set; freed when the library unloads.
// Engines left in the set then are not destroyed: the host never released them.
TLiveEngines& LiveEngines() {
  static TLiveEngines engines;
  return engines;
}

}  // namespace

void* RegisterEngine(std::unique_ptr<TCryptoEngine> engine) {
  TLiveEngines& live = LiveEngines();
  std::lock_guard<std::mutex> guard(live.Lock);
  live.Handles.insert(engine.get());
  return engine.release();
}

TCryptoEngine* FindEngine(const void* handle) {
  if (handle == nullptr) return nullptr;
  TLiveEngines& live = LiveEngines();
  std::lock_guard<std::mutex> guard(live.Lock);
  if (live.Handles.count(handle) == 0) return nullptr;
  return static_cast<TCryptoEngine*>(const_cast<void*>(handle));
}

std::unique_ptr<TCryptoEngine> ReleaseEngine(const void* handle) {
  if (handle == nullptr) return nullptr;
  TLiveEngines& live = LiveEngines();
  std::lock_guard<std::mutex> guard(live.Lock);
  if (live.Handles.erase(handle) == 0) return nullptr;
  return std::unique_ptr<TCryptoEngine>(static_cast<TCryptoEngine*>(const_cast<void*>(handle)));
}

}  // namespace tzm
