/* The default entry for launches without globals: nothing to do. */
#include "PalmOS.h"

__attribute__((weak)) UInt32 PilotMainNoGlobals(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {
  (void)cmd;
  (void)cmdPBP;
  (void)launchFlags;
  return 0;
}
