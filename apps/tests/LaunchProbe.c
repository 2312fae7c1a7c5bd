/* An application that the end-to-end tests launch through the quorvane
   program. Its reset launch (no globals) appends an 'RSET' record to its
   database "LPrb"; its normal launch appends a 'RUN!' record holding what it
   found and computed: the records already there, an ErrLongJump and an
   ErrThrow caught, a float result and what a sub-launch of itself saw. */
#include "PalmOS.h"

#define PROBE_CREATOR 0x51764C70 /* 'QvLp' */
#define PROBE_TYPE 0x44415441    /* 'DATA' */
#define RESET_TAG 0x52534554     /* 'RSET' */
#define RUN_TAG 0x52554E21       /* 'RUN!' */
#define SUB_LAUNCH_CMD 0x8001
#define SUB_LAUNCH_RESULT 0x5AB

typedef struct {
  UInt32 tag;
  UInt16 recordsBefore;
  UInt16 longJump;     /* what ErrSetJump returned after ErrLongJump(5) */
  UInt32 caught;       /* the error an ErrThrow(0x1234) delivered to its catch */
  Int32 floatResult;   /* 7 / 2 * 4 through the Float Manager: 14 */
  UInt32 subResult;    /* the sub-launch's result */
  UInt16 subFlags;     /* launch flags the sub-launch saw */
  UInt16 subOwner;     /* its memOwnerID */
  UInt16 subSawGlobal; /* 1 when it shared the outer launch's globals */
  UInt16 ownFlags;     /* launch flags of the normal launch */
  UInt16 ownOwner;     /* its memOwnerID */
  UInt16 pad;
} RunRecord;

typedef struct {
  UInt16 flags;
  UInt16 owner;
  UInt16 sawGlobal;
} SubLaunchReport;

UInt32 outerToken;

/* The reset launch runs without A5: what it calls is inlined (calls of
   functions go through the GOT at A5) and the name is built from immediates. */
#define NO_GLOBALS_HELPER static __inline__ __attribute__((always_inline))

NO_GLOBALS_HELPER void probeDbName(Char *s) {
  s[0] = 'L';
  s[1] = 'P';
  s[2] = 'r';
  s[3] = 'b';
  s[4] = 0;
}

NO_GLOBALS_HELPER DmOpenRef openProbeDb(void) {
  Char name[8];
  LocalID id;
  probeDbName(name);
  id = DmFindDatabase(0, name);
  if (!id) {
    if (DmCreateDatabase(0, name, PROBE_CREATOR, PROBE_TYPE, false) != 0) return 0;
    id = DmFindDatabase(0, name);
  }
  return id ? DmOpenDatabase(0, id, 3 /* read-write */) : 0;
}

NO_GLOBALS_HELPER void appendRecord(DmOpenRef db, const void *data, UInt32 size) {
  UInt16 at = 0xFFFF;
  MemHandle h = DmNewRecord(db, &at, size);
  if (!h) return;
  DmWrite(MemHandleLock(h), 0, data, size);
  MemHandleUnlock(h);
  DmReleaseRecord(db, at, true);
}

UInt32 PilotMainNoGlobals(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {
  DmOpenRef db;
  UInt32 tag = RESET_TAG;
  (void)cmdPBP;
  (void)launchFlags;
  if (cmd != sysAppLaunchCmdSystemReset) return 0;
  db = openProbeDb();
  if (!db) return 1;
  appendRecord(db, &tag, sizeof tag);
  DmCloseDatabase(db);
  return 0;
}

static UInt16 longJumpValue(void) {
  UInt32 buffer[12];
  volatile UInt16 round = 0;
  Int16 r = ErrSetJump(buffer);
  ++round;
  if (round == 1) ErrLongJump(buffer, 5);
  return (UInt16)r;
}

/* The error a try block catches from ErrThrow. */
static UInt32 caughtError(void) {
  UInt32 caught = 0;
  ErrTry { ErrThrow(0x1234); }
  ErrCatch(err) { caught = (UInt32)err; }
  ErrEndCatch
  return caught;
}

static Int32 floatResult(void) {
  FloatType q = FplDiv(FplLongToFloat(7), FplLongToFloat(2));
  return FplFloatToLong(FplMul(q, FplLongToFloat(4)));
}

static void readAppInfo(UInt16 *flags, UInt16 *owner) {
  SysAppInfoType *ui = 0, *current = 0;
  SysGetAppInfo(&ui, &current);
  *flags = current ? current->launchFlags : 0;
  *owner = current ? current->memOwnerID : 0;
}

static UInt32 subLaunch(SubLaunchReport *report) {
  SysAppInfoType *ui = 0, *current = 0;
  SysGetAppInfo(&ui, &current);
  readAppInfo(&report->flags, &report->owner);
  report->sawGlobal = (outerToken == 0xC0FFEE && ui != current) ? 1 : 0;
  return SUB_LAUNCH_RESULT;
}

static void normalLaunch(void) {
  RunRecord r;
  SubLaunchReport report = {0, 0, 0};
  UInt16 card = 0;
  LocalID self = 0;
  DmOpenRef db = openProbeDb();
  if (!db) return;
  MemSet(&r, sizeof r, 0);
  r.tag = RUN_TAG;
  r.recordsBefore = DmNumRecords(db);
  r.longJump = longJumpValue();
  r.caught = caughtError();
  r.floatResult = floatResult();
  readAppInfo(&r.ownFlags, &r.ownOwner);
  outerToken = 0xC0FFEE;
  SysCurAppDatabase(&card, &self);
  if (SysAppLaunch(card, self, 0, SUB_LAUNCH_CMD, &report, &r.subResult) != 0) r.subResult = 0;
  r.subFlags = report.flags;
  r.subOwner = report.owner;
  r.subSawGlobal = report.sawGlobal;
  appendRecord(db, &r, sizeof r);
  DmCloseDatabase(db);
}

UInt32 PilotMain(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {
  (void)launchFlags;
  if (cmd == sysAppLaunchCmdNormalLaunch) normalLaunch();
  if (cmd == SUB_LAUNCH_CMD) return subLaunch((SubLaunchReport *)cmdPBP);
  return 0;
}
