/* 68K routines that native code calls back, for the callback bridge tests. */
#include "PalmOS.h"

/* A comparison that itself calls traps: allocates, measures and frees a
   chunk before comparing the first bytes (ascending). */
Int16 CompareCallingTraps(void *rec1, void *rec2, Int16 other, void *info1, void *info2, MemHandle appInfoH) {
  void *scratch = MemPtrNew(10);
  Int16 size = (Int16)MemPtrSize(scratch);
  (void)info1;
  (void)info2;
  (void)appInfoH;
  MemChunkFree(scratch);
  return (Int16)(((UInt8 *)rec1)[0] - ((UInt8 *)rec2)[0]) * other * (size / 10);
}

/* An event handler that sorts a database: the sort calls back into 68K
   code again while this routine is still running. Returns true when the
   records came out ascending. */
Boolean SortFromACallback(void *eventP) {
  DmOpenRef db = DmOpenDatabase(0, DmFindDatabase(0, (const Char *)eventP), 3);
  UInt16 i;
  UInt8 previous = 0;
  Boolean ascending = true;
  if (!db) return false;
  DmQuickSort(db, (const void *)CompareCallingTraps, 1);
  for (i = 0; i < DmNumRecords(db); ++i) {
    MemHandle h = DmQueryRecord(db, i);
    UInt8 first = *(UInt8 *)MemHandleLock(h);
    MemHandleUnlock(h);
    if (first < previous) ascending = false;
    previous = first;
  }
  DmCloseDatabase(db);
  return ascending;
}

/* Takes a Boolean as the system passes it (value in the high byte of the
   word) and a word after it; returns both so the test sees where they landed. */
UInt32 EchoBooleanAndWord(UInt16 booleanSlot, UInt16 word) {
  return ((UInt32)PalmByteArg(booleanSlot) << 16) | word;
}

/* A table load routine: fills the three out-values in 68K byte order. */
Err LoadData(void *tableP, Int16 row, Int16 column, UInt16 editableSlot, MemHandle *dataH, Int16 *dataOffset,
             Int16 *dataSize, void *fieldP) {
  (void)tableP;
  (void)fieldP;
  *dataH = (MemHandle)0x12345678;
  *dataOffset = (Int16)(row * 100 + column);
  *dataSize = PalmByteArg(editableSlot) ? 1 : 2;
  return 0x0203;
}

/* A write procedure: reads and shrinks the size it is given. */
Err WriteProc(const void *dataP, UInt32 *sizeP, void *userDataP) {
  (void)dataP;
  (void)userDataP;
  *sizeP = *sizeP / 2;
  return 0;
}

static const void *const routines[] = {(const void *)CompareCallingTraps, (const void *)SortFromACallback,
                                       (const void *)EchoBooleanAndWord, (const void *)LoadData,
                                       (const void *)WriteProc};

UInt32 PilotMain(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {
  (void)cmdPBP;
  (void)launchFlags;
  return cmd < sizeof routines / sizeof routines[0] ? (UInt32)routines[cmd] : 0;
}
