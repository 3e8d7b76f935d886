/* Compiles the public header as C: any C++-only construct in it fails the build. */
#include "tz_morka.h"

/* One pointer of each export kind proves the declarations are usable from C. */
typedef int32_t(TZM_CALL* TzmSizeQuery)(TZMEngine);
typedef void(TZM_CALL* TzmProcedure)(TZMEngine, int32_t, char*);

int TzmHeaderIsC(void);
int TzmHeaderIsC(void) {
  TZMEngine engine = 0;
  (void)engine;
  return TZM_MAX_FILE_PATH_LENGTH + (int)sizeof(TzmSizeQuery) * 0 + (int)sizeof(TzmProcedure) * 0;
}
