// Zeroing that survives optimisation: the memory barrier after memset tells the
// compiler the zeros may be read, so the stores cannot be removed.
#include "wipe.h"

#include <string.h>

namespace crypc {

void Wipe(void* p, size_t n) {
  if (p == nullptr || n == 0) return;
  memset(p, 0, n);
  __asm__ __volatile__("" : : "r"(p) : "memory");
}

}  // namespace crypc
