/* StrPrintF: the trap reads its variable arguments from the stack behind the
   format, which is where a va_list of gcc's 68K code points. */
#include <stdarg.h>
#include "PalmOS.h"

Int16 StrPrintF(Char *s, const Char *formatStr, ...) {
  va_list args;
  Int16 n;
  va_start(args, formatStr);
  n = StrVPrintF(s, formatStr, args);
  va_end(args);
  return n;
}
