/* Functions that tests call one by one on an emulation context, each calling
   String, Time, System, Feature or Overlay Manager traps and returning (or
   writing into the buffer the test passes) what the test checks. */
#include "PalmOS.h"

#define PROBE_CREATOR 0x51765379 /* 'QvSy' */

typedef struct {
  Int16 second, minute, hour, day, month, year, weekDay;
} DateTimeType;

typedef struct {
  UInt16 language, country;
} LmLocaleType;

/* Four comparison signs, one byte each. */
UInt32 ProbeStringCompare(void) {
  UInt32 r = (UInt32)(UInt8)StrCompare("abc", "abd") << 24;
  r |= (UInt32)(UInt8)StrCompare("b", "a") << 16;
  r |= (UInt32)(UInt8)StrCompare("a", "A") << 8;
  return r | (UInt8)StrCaselessCompare("hello", "HELLO");
}

/* Builds a text in out from the conversions; returns its length. */
UInt32 ProbeStringBuild(Char *out) {
  Char number[12];
  StrCopy(out, "[");
  StrCat(out, (Char *)StrIToA(number, -1234));
  StrCat(out, ",");
  StrCat(out, (Char *)StrIToH(number, 0xBEEF));
  StrCat(out, ",");
  StrIToA(number, StrAToI("-42x"));
  StrCat(out, number);
  StrCat(out, ",");
  StrToLower(out + StrLen(out), "MiXeD \xC9T\xC9");
  StrCat(out, "]");
  return StrLen(out);
}

/* Offsets of what StrStr and StrChr find, and whether the edge cases give
   what they should: an empty token finds nothing, 0 finds the terminator. */
UInt32 ProbeStringSearch(void) {
  const Char *s = "find the needle";
  Char *p = (Char *)StrStr(s, "needle");
  Char *q = (Char *)StrChr(s, 'n');
  UInt32 r = ((UInt32)(p - s) << 16) | ((UInt32)(q - s) << 8);
  if (StrStr(s, "") == NULL) r |= 1;
  if ((Char *)StrChr(s, 0) == s + 15) r |= 2;
  if (StrChr(s, 'z') == NULL) r |= 4;
  return r;
}

/* Pointer values too low to be strings: each check that holds sets a bit. */
UInt32 ProbeStringEdges(Char *out) {
  UInt32 r = 0;
  out[0] = 'x';
  if (StrLen((const Char *)0x100) == 0) r |= 1;
  StrCopy(out, (const Char *)0x10);
  if (out[0] == 0) r |= 2;
  if (StrChr((const Char *)0x50, 'a') == NULL) r |= 4;
  if (StrCompare(NULL, "a") == 1 && StrCompare("a", NULL) == -1) r |= 8;
  if (StrAToI(NULL) == 0) r |= 16;
  return r;
}

/* The date of seconds in *out; returns the seconds converted back. */
UInt32 ProbeDateTime(DateTimeType *out, UInt32 seconds) {
  TimSecondsToDateTime(seconds, out);
  return TimDateTimeToSeconds(out);
}

/* Adjusts the date in *dt by the given seconds. */
UInt32 ProbeTimAdjust(DateTimeType *dt, Int32 adjustment) {
  TimAdjust(dt, adjustment);
  return TimDateTimeToSeconds(dt);
}

/* Sets a feature and reads it back; then a missing one, whose value must
   read 0 with the error. */
UInt32 ProbeFeatures(void) {
  UInt32 value = 0, missing = 0xFFFFFFFF;
  if (FtrSet(PROBE_CREATOR, 1, 0x12345678) != 0) return 0xE001;
  if (FtrGet(PROBE_CREATOR, 1, &value) != 0) return 0xE002;
  if (FtrGet(PROBE_CREATOR, 99, &missing) != 0x0C02 || missing != 0) return 0xE003;
  return value;
}

/* Feature memory: a new block, found again by FtrGet and by index. Returns
   the index of the probe's feature 2, or 0xE000 | step. */
UInt32 ProbeFeatureMemory(void) {
  void *p = (void *)1;
  UInt32 value = 0, creator, v;
  UInt16 index, number;
  if (FtrPtrNew(PROBE_CREATOR, 2, 10, &p) != 0) return 0xE101;
  if (DmWrite(p, 0, "feature", 8) != 0) return 0xE102;
  if (FtrGet(PROBE_CREATOR, 2, &value) != 0 || value != (UInt32)p) return 0xE103;
  for (index = 0; FtrGetByIndex(index, false, &creator, &number, &v) == 0; ++index)
    if (creator == PROBE_CREATOR && number == 2) return v == (UInt32)p ? index : 0xE104;
  return 0xE105;
}

static Int16 compareKeys(void *a, void *b, Int32 other) { return (Int16)((((UInt8 *)a)[0] - ((UInt8 *)b)[0]) * other); }

/* Sorts (key, tag) pairs by key with a 68K comparison; returns the tags in
   their new order. Equal keys keep their order. */
UInt32 ProbeSysQSort(void) {
  UInt8 items[6][2] = {{5, 1}, {3, 2}, {9, 3}, {1, 4}, {3, 5}, {0, 6}};
  UInt32 tags = 0;
  UInt16 i;
  SysQSort(items, 6, 2, (const void *)compareKeys, 1);
  for (i = 0; i < 6; ++i) tags = (tags << 4) | items[i][1];
  return tags;
}

/* SysRandom: a seed starts a sequence again, values stay in 0-32767. */
UInt32 ProbeSysRandom(void) {
  Int16 first = SysRandom(7);
  Int16 second = SysRandom(0);
  Int16 again = SysRandom(7);
  UInt16 i;
  for (i = 0; i < 100; ++i)
    if (SysRandom(0) < 0) return 0xE301;
  return (first == again && first != second) ? 1 : 0xE302;
}

/* Ticks per second and two tick readings that do not go back. */
UInt32 ProbeTicks(void) {
  UInt32 a = TimGetTicks();
  UInt32 b;
  SysTaskDelay(0);
  b = TimGetTicks();
  return b >= a ? SysTicksPerSecond() : 0xE401;
}

/* The system locale and the overlay name it gives a base name (in out);
   the locale read back from that name goes to out + 32. Returns the error. */
UInt32 ProbeOverlayName(Char *out) {
  LmLocaleType locale;
  LmLocaleType *back = (LmLocaleType *)(out + 32);
  OmGetSystemLocale(&locale);
  if (OmLocaleToOverlayDBName("Memo Pad", &locale, out) != 0) return 0xE501;
  return OmOverlayDBNameToLocale(out, back);
}

/* OmGetSystemLocale called through the routine address the Overlay Manager
   hands out; the locale goes to *out. Returns whether selector 5 has none. */
typedef void (*GetLocaleProc)(LmLocaleType *localeP);

UInt32 ProbeOverlayRoutine(LmLocaleType *out) {
  GetLocaleProc getSystemLocale = (GetLocaleProc)OmGetRoutineAddress(6);
  if (!getSystemLocale) return 0xE701;
  getSystemLocale(out);
  return OmGetRoutineAddress(5) == NULL;
}

/* The battery as the host reports it: the voltage, plugged-in flag and kind
   in one value, thresholds checked to read 0. */
UInt32 ProbeBattery(void) {
  UInt16 warn = 1, critical = 1, ticks = 1;
  UInt8 kind = 0;
  Boolean plugged = 9;
  UInt16 volts = SysBatteryInfoV20(false, &warn, &critical, &ticks, &kind, &plugged);
  if (warn || critical || ticks) return 0xE601;
  return ((UInt32)volts << 16) | ((UInt32)plugged << 8) | kind;
}

/* Each of these traps stops the program. */
UInt32 ProbeSerialLink(void) { return SlkProcessRPC(NULL, NULL); }
UInt32 ProbeUnimplementedTrap(void) { return (UInt32)FrmGetActiveForm(); }

/* Keeps every probe in the link; a launch code from 0x8000 gives its address. */
static const void *const probes[] = {ProbeStringCompare,  ProbeStringBuild, ProbeStringSearch, ProbeStringEdges,
                                     ProbeDateTime,       ProbeTimAdjust,   ProbeFeatures,     ProbeFeatureMemory,
                                     ProbeSysQSort,       ProbeSysRandom,   ProbeTicks,        ProbeOverlayName,
                                     ProbeOverlayRoutine, ProbeBattery,     ProbeSerialLink,   ProbeUnimplementedTrap};

UInt32 PilotMain(UInt16 cmd, MemPtr cmdPBP, UInt16 launchFlags) {
  (void)cmdPBP;
  (void)launchFlags;
  if (cmd < 0x8000 || cmd >= 0x8000 + sizeof probes / sizeof probes[0]) return 0;
  return (UInt32)probes[cmd - 0x8000];
}
