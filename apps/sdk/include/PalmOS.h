/* The SDK for Palm applications built with Quorvane's toolchain: types,
   launch codes, the application record of a launch and the trap wrappers. */
#ifndef QUORVANE_PALM_OS_H
#define QUORVANE_PALM_OS_H

#include "PalmTypes.h"
#include "PalmTraps.h"

/* Launch codes. */
#define sysAppLaunchCmdNormalLaunch 0
#define sysAppLaunchCmdSyncNotify 3
#define sysAppLaunchCmdSystemReset 5

/* Launch flags. */
#define sysAppLaunchFlagNewStack 0x02
#define sysAppLaunchFlagNewGlobals 0x04
#define sysAppLaunchFlagUIApp 0x08
#define sysAppLaunchFlagSubCall 0x10
#define sysAppLaunchFlagDataRelocated 0x80

/* The application record the launch fills (60 bytes). */
typedef struct SysAppInfoType {
  Int16 cmd;
  MemPtr cmdPBP;
  UInt16 launchFlags;
  UInt32 taskID;
  MemHandle codeH;
  DmOpenRef dbP;
  UInt8 *stackP;
  UInt8 *globalsChunkP;
  UInt16 memOwnerID;
  MemPtr dmAccessP;
  Err dmLastErr;
  MemPtr errExceptionP;
  UInt8 *a5Ptr;
  UInt8 *stackEndP;
  UInt8 *globalEndP;
  MemPtr rootP;
  MemPtr extraP;
} SysAppInfoType;

typedef char QuorvaneSysAppInfoSize[sizeof(SysAppInfoType) == 60 ? 1 : -1];

/* Try blocks. ErrThrow (or a manager's throw) inside the block lands in
   the catch part with the thrown error; the block's record links into the
   context's exception list while the block runs.

     ErrTry { ... } ErrCatch(err) { ... } ErrEndCatch
*/
typedef struct ErrExceptionType {
  struct ErrExceptionType *nextP;
  UInt32 jumpBuffer[12];
  Int32 err;
} ErrExceptionType;

#define ErrTry                                                          \
  {                                                                     \
    ErrExceptionType _tryRecord;                                        \
    ErrExceptionType **_tryList = (ErrExceptionType **)ErrExceptionList(); \
    _tryRecord.err = 0;                                                 \
    _tryRecord.nextP = *_tryList;                                       \
    *_tryList = &_tryRecord;                                            \
    if (ErrSetJump(_tryRecord.jumpBuffer) == 0) {
#define ErrCatch(theErr)          \
    *_tryList = _tryRecord.nextP; \
    }                             \
    else {                        \
      Int32 theErr = _tryRecord.err; \
      *_tryList = _tryRecord.nextP;
#define ErrEndCatch \
    }               \
  }

/* The application's entry with its globals in place. */
UInt32 PilotMain(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags);

/* The entry for launches without globals (A5 = 0, such as the reset launch
   code 5). The default returns 0. An application's own version must not touch
   globals, and so must call only trap wrappers and functions inlined into it
   (static __inline__ __attribute__((always_inline))): every other call, static
   functions included, goes through the GOT at A5, and so do the helpers that
   32-bit multiplication, division and structure copies call. */
UInt32 PilotMainNoGlobals(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags);

/* Routines the system calls back (event handlers, list and table procedures)
   receive a Boolean or other byte argument in the first byte of its 2-byte
   slot, where gcc expects it in the second: declare such a parameter UInt16
   and take its value with PalmByteArg. */
#define PalmByteArg(slot) ((UInt8)((UInt16)(slot) >> 8))

/* Formats like StrVPrintF with the arguments that follow. */
Int16 StrPrintF(Char *s, const Char *formatStr, ...);

/* Helpers the compiler calls, with the compiler's own signatures (under
   -mshort, int and size_t are 16 bits wide). */
void *memcpy(void *dst, const void *src, __SIZE_TYPE__ n);
void *memmove(void *dst, const void *src, __SIZE_TYPE__ n);
void *memset(void *dst, int value, __SIZE_TYPE__ n);
int memcmp(const void *a, const void *b, __SIZE_TYPE__ n);

#endif
