/* Compiles the public header as C and calls through it from C: any C++-only
 * construct in the header, or a declaration that does not match the
 * library's definition, fails the build or the test. */
#include "tz_morka.h"

#include <stddef.h>

int TzmCallFromC(void);

int TzmCallFromC(void) {
  int32_t(TZM_CALL * maxPath)(TZMEngine) = GetMaxFilePathLength;
  int32_t(TZM_CALL * sign)(TZMEngine, const unsigned char*, int32_t, unsigned char*, int32_t*, const char*) = SignData;
  void(TZM_CALL * paramName)(TZMEngine, int32_t, char*) = GetCryptoParamName;
  char name[8] = "x";
  TZMEngine nil = NULL;
  paramName(nil, 1, name); /* a nil engine leaves the buffer alone */
  if (name[0] != 'x') return -100;
  if (sign(nil, NULL, 0, NULL, NULL, NULL) != -3) return -200;
  return maxPath(nil);
}
