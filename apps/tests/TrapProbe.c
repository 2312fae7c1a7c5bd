/* Functions that tests call one by one on an emulation context, each
   exercising a family of traps and returning a value the test checks. */
#include "PalmOS.h"

#define PROBE_CREATOR 0x51765470 /* 'QvTp' */
#define PROBE_TYPE 0x44415441    /* 'DATA' */

/* Allocates, locks, grows and frees memory; returns the sum of what it read
   back, or 0xE000 | step on the first failure. */
UInt32 ProbeMemory(void) {
  MemHandle h = MemHandleNew(16);
  UInt8 *p;
  UInt32 sum = 0;
  UInt16 i;
  if (!h) return 0xE001;
  p = (UInt8 *)MemHandleLock(h);
  for (i = 0; i < 16; ++i) p[i] = (UInt8)(i + 1);
  if (MemHandleResize(h, 64) == 0) return 0xE002; /* locked: must be refused */
  MemHandleUnlock(h);
  if (MemHandleResize(h, 64) != 0) return 0xE003;
  if (MemHandleSize(h) != 64) return 0xE004;
  p = (UInt8 *)MemHandleLock(h);
  for (i = 0; i < 16; ++i) sum += p[i];
  MemHandleUnlock(h);
  if (MemHandleFree(h) != 0) return 0xE005;
  p = (UInt8 *)MemPtrNew(100);
  if (!p) return 0xE006;
  MemSet(p, 100, 7);
  sum += p[99];
  MemChunkFree(p);
  return sum;
}

/* Creates a database, writes three records and reads them back; returns
   the number of records times 1000 plus the second record's first byte. */
UInt32 ProbeDatabase(void) {
  LocalID id;
  DmOpenRef db;
  UInt16 at, i, attr = 0;
  UInt32 uniqueID = 0;
  MemHandle h;
  UInt8 *p;
  UInt32 result;
  if (DmCreateDatabase(0, "ProbeDB", PROBE_CREATOR, PROBE_TYPE, false) != 0) return 0xE101;
  id = DmFindDatabase(0, "ProbeDB");
  if (!id) return 0xE102;
  db = DmOpenDatabase(0, id, 3 /* read-write */);
  if (!db) return 0xE103;
  for (i = 0; i < 3; ++i) {
    UInt8 value = (UInt8)(10 * (i + 1));
    at = 0xFFFF; /* append */
    h = DmNewRecord(db, &at, 8);
    if (!h) return 0xE104;
    p = (UInt8 *)MemHandleLock(h);
    DmWrite(p, 0, &value, 1);
    MemHandleUnlock(h);
    DmReleaseRecord(db, at, true);
  }
  if (DmRecordInfo(db, 1, &attr, &uniqueID, 0) != 0) return 0xE105;
  if (!(attr & 0x40) || uniqueID == 0) return 0xE106; /* dirty, with an ID */
  h = DmQueryRecord(db, 1);
  p = (UInt8 *)MemHandleLock(h);
  result = (UInt32)DmNumRecords(db) * 1000 + p[0];
  MemHandleUnlock(h);
  DmCloseDatabase(db);
  return result;
}

/* Orders records by their first byte, descending. */
static Int16 compareDescending(void *rec1, void *rec2, Int16 other, void *info1, void *info2, MemHandle appInfoH) {
  (void)info1;
  (void)info2;
  (void)appInfoH;
  return (Int16)(((UInt8 *)rec2)[0] - ((UInt8 *)rec1)[0]) * other;
}

/* Sorts ProbeDB (made by ProbeDatabase) with a 68K comparison routine;
   returns the first bytes of the records in their new order. */
UInt32 ProbeSort(void) {
  DmOpenRef db = DmOpenDatabase(0, DmFindDatabase(0, "ProbeDB"), 3);
  UInt32 order = 0;
  UInt16 i;
  if (!db) return 0xE201;
  if (DmQuickSort(db, (const void *)compareDescending, 1) != 0) return 0xE202;
  for (i = 0; i < DmNumRecords(db); ++i) {
    MemHandle h = DmQueryRecord(db, i);
    order = (order << 8) | *(UInt8 *)MemHandleLock(h);
    MemHandleUnlock(h);
  }
  DmCloseDatabase(db);
  return order;
}

/* A try block around a throw: returns the caught error plus 0x10000 when
   the block was left through the throw, and the list head is restored. */
UInt32 ProbeErrTry(void) {
  void *head = *(void **)ErrExceptionList();
  UInt32 result = 0xE301; /* the throw returned */
  ErrTry {
    ErrThrow(0x1234);
  }
  ErrCatch(err) {
    result = 0x10000 | (UInt32)err;
  }
  ErrEndCatch
  return *(void **)ErrExceptionList() == head ? result : 0xE302;
}

/* ErrSetJump returns 0, then the value a later ErrLongJump passes. */
UInt32 ProbeLongJump(void) {
  UInt32 buffer[12];
  volatile UInt16 round = 0;
  Int16 r = ErrSetJump(buffer);
  ++round;
  if (round == 1) ErrLongJump(buffer, 5);
  return ((UInt32)round << 16) | (UInt16)r;
}

/* Calls MemPtrNew through the pseudo address SysGetTrapAddress hands out. */
typedef void *(*PtrNewProc)(UInt32 size);

UInt32 ProbePseudoTrap(void) {
  PtrNewProc ptrNew = (PtrNewProc)SysGetTrapAddress(0xA013);
  void *p = ptrNew(32);
  UInt32 size;
  if (!p) return 0xE401;
  size = MemPtrSize(p);
  MemChunkFree(p);
  return size;
}

/* Raises a trap that has no implementation. */
UInt32 ProbeUnsupportedTrap(void) { return (UInt32)FrmGetActiveForm(); }

/* Divides by a zero the compiler cannot see. */
volatile Int16 zeroDivisor = 0;
UInt32 ProbeDivideByZero(void) {
  Int16 n = 100;
  Int16 q;
  __asm__ __volatile__("divs.w %1,%0" : "=d"(q) : "d"(zeroDivisor), "0"((Int32)n));
  return (UInt32)q;
}

/* Custom launch codes from 0x8000 run the probes in this order; the table
   also keeps every probe in the link. */
static UInt32 (*const probes[])(void) = {ProbeMemory,     ProbeDatabase,        ProbeSort,
                                         ProbeErrTry,     ProbeLongJump,        ProbePseudoTrap,
                                         ProbeUnsupportedTrap, ProbeDivideByZero};

UInt32 PilotMain(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {
  (void)cmdPBP;
  (void)launchFlags;
  if (cmd < 0x8000 || cmd >= 0x8000 + sizeof probes / sizeof probes[0]) return 0;
  return probes[cmd - 0x8000]();
}
