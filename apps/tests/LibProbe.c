/* Functions that the shared-library tests call on an emulation context:
   68K shared libraries loaded with SysLibLoad, found, called through library
   traps and removed. */
#include "PalmOS.h"

#define LIBRARY_TYPE 0x6C696272   /* 'libr' */
#define MATHLIB_CREATOR 0x4D74684C /* 'MthL' */
#define PBRICK_CREATOR 0x504C6962  /* 'PLib' */

/* An IEEE double as two longs, high word first: the code has no floating point. */
typedef struct {
  UInt32 hi, lo;
} Double;

typedef struct {
  UInt16 loadErr;
  UInt16 refNum;
  UInt16 foundRefNum;
  UInt16 openErr;
  UInt16 sqrtErr;
  UInt16 powErr;
  Double sqrtOf2;
  Double twoToThe10;
  UInt16 closeErr;
  UInt16 useCount;
  UInt16 removeErr;
  UInt16 findAfterRemoveErr;
} MathLibReport;

/* MathLib's calls: the library's reference number first, doubles by value. */
static Err mathLibOpen(UInt16 ref, UInt16 version) {
  register UInt32 r __asm__("d0");
  __asm__ __volatile__(
      "move.w %2,-(%%sp)\n\tmove.w %1,-(%%sp)\n\ttrap #15\n\t.short 0xA801\n\tlea 4(%%sp),%%sp"
      : "=r"(r)
      : "r"(ref), "r"(version)
      : "cc", "memory", "d1", "d2", "a0", "a1");
  return (Err)r;
}

static Err mathLibClose(UInt16 ref, UInt16 *useCountP) {
  register UInt32 r __asm__("d0");
  __asm__ __volatile__(
      "move.l %2,-(%%sp)\n\tmove.w %1,-(%%sp)\n\ttrap #15\n\t.short 0xA802\n\tlea 6(%%sp),%%sp"
      : "=r"(r)
      : "r"(ref), "r"(useCountP)
      : "cc", "memory", "d1", "d2", "a0", "a1");
  return (Err)r;
}

static Err mathLibSqrt(UInt16 ref, const Double *x, Double *result) {
  register UInt32 r __asm__("d0");
  __asm__ __volatile__(
      "move.l %4,-(%%sp)\n\tmove.l %3,-(%%sp)\n\tmove.l %2,-(%%sp)\n\tmove.w %1,-(%%sp)\n\t"
      "trap #15\n\t.short 0xA81E\n\tlea 14(%%sp),%%sp"
      : "=r"(r)
      : "r"(ref), "r"(x->hi), "r"(x->lo), "r"(result)
      : "cc", "memory", "d1", "d2", "a0", "a1");
  return (Err)r;
}

static Err mathLibPow(UInt16 ref, const Double *x, const Double *y, Double *result) {
  register UInt32 r __asm__("d0");
  __asm__ __volatile__(
      "move.l %6,-(%%sp)\n\tmove.l %5,-(%%sp)\n\tmove.l %4,-(%%sp)\n\tmove.l %3,-(%%sp)\n\t"
      "move.l %2,-(%%sp)\n\tmove.w %1,-(%%sp)\n\ttrap #15\n\t.short 0xA81D\n\tlea 22(%%sp),%%sp"
      : "=r"(r)
      : "r"(ref), "r"(x->hi), "r"(x->lo), "r"(y->hi), "r"(y->lo), "r"(result)
      : "cc", "memory", "d1", "d2", "a0", "a1");
  return (Err)r;
}

/* Loads MathLib, computes sqrt(2) and 2^10 with it, closes and removes it. */
void ProbeMathLib(MathLibReport *out) {
  Double two = {0x40000000, 0}, ten = {0x40240000, 0};
  UInt16 gone;
  MemSet(out, sizeof *out, 0);
  out->loadErr = SysLibLoad(LIBRARY_TYPE, MATHLIB_CREATOR, &out->refNum);
  if (out->loadErr) return;
  SysLibFind("MathLib", &out->foundRefNum);
  out->openErr = mathLibOpen(out->refNum, 1);
  out->sqrtErr = mathLibSqrt(out->refNum, &two, &out->sqrtOf2);
  out->powErr = mathLibPow(out->refNum, &two, &ten, &out->twoToThe10);
  out->closeErr = mathLibClose(out->refNum, &out->useCount);
  out->removeErr = SysLibRemove(out->refNum);
  out->findAfterRemoveErr = SysLibFind("MathLib", &gone);
}

typedef struct {
  UInt16 loadErr;
  UInt16 refNum;
  UInt16 foundRefNum;
  UInt16 hasDispatchTable;
  UInt16 removeErr;
  UInt16 findAfterRemoveErr;
} LoadReport;

/* Loads PBrickLib, finds it by its name and through its table entry, removes it. */
void ProbePBrickLib(LoadReport *out) {
  UInt32 *entry;
  UInt16 gone;
  MemSet(out, sizeof *out, 0);
  out->loadErr = SysLibLoad(LIBRARY_TYPE, PBRICK_CREATOR, &out->refNum);
  if (out->loadErr) return;
  SysLibFind("PBrick Library", &out->foundRefNum);
  entry = (UInt32 *)SysLibTblEntry(out->refNum);
  out->hasDispatchTable = entry && entry[0] != 0;
  out->removeErr = SysLibRemove(out->refNum);
  out->findAfterRemoveErr = SysLibFind("PBrick Library", &gone);
}

UInt32 PilotMain(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {
  (void)launchFlags;
  if (cmd == 0x8000) ProbeMathLib((MathLibReport *)cmdPBP);
  if (cmd == 0x8001) ProbePBrickLib((LoadReport *)cmdPBP);
  return 0;
}
