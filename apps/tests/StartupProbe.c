/* Exercises what the start-up resources must carry: initialised globals,
   pointers into the globals (relocation list 1), pointers into code and
   read-only data (list 2), a function pointer, zeroed globals, the 32-bit
   arithmetic helpers and a few traps. PilotMain returns a checksum. */
#include "PalmOS.h"

static const Char greeting[] = "Hello, Palm";
const Char *greetingPtr = greeting;
Int32 counter = 1234567;
Int32 *counterPtr = &counter;
UInt16 pattern[8] = {0, 0, 0xFFFF, 0xFFFF, 0x1234, 0x5678, 0xA9F0, 0x0042};
static UInt32 scratch[8];

static Int32 twice(Int32 x) { return x * 2; }
Int32 (*operation)(Int32) = twice;

UInt32 PilotMain(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {
  UInt32 r;
  (void)cmdPBP;
  if (cmd != sysAppLaunchCmdNormalLaunch || !(launchFlags & sysAppLaunchFlagNewGlobals)) return 0;
  r = (UInt32)(*counterPtr) * StrLen(greetingPtr);
  r = r / 7 + r % 7 + (UInt32)(*counterPtr / -3) + (UInt32)(*counterPtr % -5);
  scratch[r & 7] = r + pattern[5];
  MemSet(scratch, sizeof scratch, 0);
  return (UInt32)operation((Int32)r) + scratch[3];
}
