// Failures the engine framework raises itself: an abstract operation that the
// concrete engine left unprovided, and a nil pointer where the operation must
// write. Both travel as exceptions to the operation guard or the export frame,
// which answer their fixed failure values.
#ifndef TZM_ENGINE_ENGINEERRORS_H
#define TZM_ENGINE_ENGINEERRORS_H

#include "support.h"

namespace tzm {

// EAbstractError: an abstract operation was called; message "Abstract error".
TZM_DECLARE_EXCEPTION(EAbstractError, EException);
// ENilPointer: a nil pointer where a value must be read or written.
TZM_DECLARE_EXCEPTION(ENilPointer, EException);

// RequirePointer raises ENilPointer naming the operation when p is nil.
inline void RequirePointer(const void* p, const char* operation) {
  if (p == nullptr) throw ENilPointer(std::string("Nil pointer passed to ") + operation);
}

}  // namespace tzm

#endif
