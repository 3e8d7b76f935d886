// The one frame around every export: find the live engine, call exactly one
// operation, and turn anything that escapes into the export's fixed failure
// value. Nothing crosses the boundary.
#ifndef TZM_API_EXPORTGUARD_H
#define TZM_API_EXPORTGUARD_H

#include <cstdint>

#include "EngineHandles.h"

namespace tzm {

// Failure values of the three kinds of export.
inline constexpr int32_t kExportSizeFailure = -1;  // sizes, counts, yes/no answers
inline constexpr int32_t kExportFailure = -3;      // operations

// ExportGuard calls body with the live engine behind handle and returns its
// result. An unknown handle or any exception answers failValue.
template <class TBody>
int32_t ExportGuard(const void* handle, int32_t failValue, TBody&& body) noexcept {
  try {
    TCryptoEngine* engine = FindEngine(handle);
    if (engine == nullptr) return failValue;
    return body(*engine);
  } catch (...) {
    return failValue;
  }
}

// ProcedureGuard: ExportGuard for exports without a result.
template <class TBody>
void ProcedureGuard(const void* handle, TBody&& body) noexcept {
  try {
    TCryptoEngine* engine = FindEngine(handle);
    if (engine != nullptr) body(*engine);
  } catch (...) {
  }
}

}  // namespace tzm

#endif
