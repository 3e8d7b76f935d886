// The provider's one helper for erasing secrets. It is a separate library from
// tz_morka, so it keeps its own copy instead of using support's SecureWipe.
#ifndef TZM_PROVIDER_WIPE_H
#define TZM_PROVIDER_WIPE_H

#include <stddef.h>

namespace crypc {

// Wipe sets n bytes at p to zero in a way the compiler cannot drop as a dead
// store. A null p is allowed when n is 0.
void Wipe(void* p, size_t n);

}  // namespace crypc

#endif  // TZM_PROVIDER_WIPE_H
