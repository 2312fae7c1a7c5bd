#include "emulator/launch/SysAppLaunch.h"

#include <cstring>

#include "emulator/context/M68K.h"
#include "emulator/launch/AppGlobals.h"
#include "emulator/launch/StartupResources.h"
#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/DATAMGR.h"
#include "storage/DataMgrPrivate.h"
#include "storage/memorymgr.h"

namespace {

constexpr UInt32 kSharedLibraryType = fourCC("SLib");
constexpr UInt16 kDeskAccessoryEntry = 1000;
constexpr UInt16 kApplicationEntry = 1;

// Settings that particular applications need to run as they were written.
struct CreatorSettings {
  UInt16 extraFlags = 0;
  bool zeroStackBeforeFormHandler = false;
};

CreatorSettings creatorSettings(UInt32 creator) {
  CreatorSettings s;
  if (creator == fourCC("Cks4")) s.extraFlags = sysAppLaunchFlagNewGlobals;
  if (creator == fourCC("SeR7")) s.zeroStackBeforeFormHandler = true;
  return s;
}

// A5 of the running launch of the same application that has its own
// globals: a launch without new globals shares them (a sub-call).
UInt32 subCallA5(const AppGlobals& g, UInt16 card, LocalID dbID) {
  for (UInt32 i = g.launcheeCount; i-- > 0;) {
    const LauncheeEntry& e = g.launchees[i];
    if (e.card == card && e.dbID == dbID && (get16(e.info + SysAppInfo68K::launchFlags) & sysAppLaunchFlagNewGlobals))
      return get32(e.info + SysAppInfo68K::a5Ptr);
  }
  return 0;
}

struct Launch {
  UInt16 card;
  LocalID dbID;
  UInt16 flags;
  UInt16 cmd;
  EmuAddr cmdPBP;
  DmOpenRef db;
  MemHandle code;
  void* codeStart;
  M68Kcontext* context;
  UInt32 a5;
  void* globals;
};

UInt8* newAppInfo(const AppGlobals& g, const Launch& l) {
  auto* info = static_cast<UInt8*>(MemPtrNew(SysAppInfo68K::size));
  QV_ASSERT(info != nullptr);
  std::memset(info, 0, SysAppInfo68K::size);
  const EmuAddr stack = toEmu(l.context->getUserStackBase());
  set16(info + SysAppInfo68K::cmd, l.cmd);
  set32(info + SysAppInfo68K::cmdPBP, l.cmdPBP);
  set16(info + SysAppInfo68K::launchFlags, l.flags);
  set32(info + SysAppInfo68K::codeH, l.code);
  set32(info + SysAppInfo68K::dbP, toEmu(l.db));
  set32(info + SysAppInfo68K::stackP, stack);
  set32(info + SysAppInfo68K::globalsChunkP, l.globals ? toEmu(l.globals) : 0);
  set16(info + SysAppInfo68K::memOwnerID, static_cast<UInt16>(g.launcheeCount + kLauncheeOwnerBase + 1));
  set32(info + SysAppInfo68K::dmAccessP, GetDmAccessList());
  set32(info + SysAppInfo68K::a5Ptr, l.a5);
  set32(info + SysAppInfo68K::stackEndP, stack + l.context->getUserStackSize() - 1);
  return info;
}

// Runs the entry code with the launch's info record current.
Err runEntry(const Launch& l, UInt32* resultP) {
  AppGlobals& g = *GetAppGlobals();
  UInt8* kept = g.current();
  UInt8* info = newAppInfo(g, l);
  g.setCurrent(info);
  if (l.a5) set32(fromEmu(l.a5), toEmu(g.currentInfo));
  Err err = errNone;
  if (!g.push({l.dbID, info, l.card})) {
    err = sysErrOutOfOwnerIDs;
  } else {
    l.context->setA5(l.a5);
    l.context->call(toEmu(l.codeStart), 0);
    if (resultP) *resultP = l.context->getD0Long();
    g.pop();
  }
  MemPtrFree(info);
  g.setCurrent(kept);
  return err;
}

Err runWithContext(Launch& l, UInt32 creator, UInt32* resultP) {
  const CreatorSettings settings = creatorSettings(creator);
  l.flags |= settings.extraFlags;
  // The stack size comes from the application's own 'pref' resource.
  l.context = M68Kcontext::construct(AppStackSize(l.db));
  if (!l.context) {
    WarningF("Not enough memory for the application's stack. Launch aborted.");
    return memErrNotEnoughSpace;
  }
  l.flags |= sysAppLaunchFlagNewStack;
  if (settings.zeroStackBeforeFormHandler) l.context->zeroUnusedStackBeforeFormHandlerCallback();
  Err err = errNone;
  if (l.flags & sysAppLaunchFlagNewGlobals) {
    err = createGlobals(l.db, l.codeStart, &l.a5, &l.globals);
    l.flags |= sysAppLaunchFlagDataRelocated;
  } else if ((l.a5 = subCallA5(*GetAppGlobals(), l.card, l.dbID)) != 0) {
    l.flags |= sysAppLaunchFlagSubCall;
  }
  if (err == errNone) err = runEntry(l, resultP);
  if (l.globals) MemPtrFree(l.globals);
  delete l.context;
  return err;
}

MemHandle entryCode(DmOpenRef db, UInt32 type) {
  UInt16 index = DmFindResource(db, FourCCs::code, type == FourCCs::DAcc ? kDeskAccessoryEntry : kApplicationEntry, 0);
  return index == 0xFFFF ? 0 : DmGetResourceIndex(db, index);
}

}  // namespace

Err SysAppLaunch(UInt16 cardNo, LocalID dbID, UInt16 launchFlags, UInt16 cmd, EmuAddr cmdPBP, UInt32* resultP) {
  AppGlobals* g = GetAppGlobals();
  QV_ASSERT(g != nullptr);
  if (cmd != sysAppLaunchCmdSyncNotify) {
    switch (g->insertLaunched({cardNo, dbID})) {
      case LaunchedListInsert::Added: {
        // hardReset and createDefaultDB both false.
        void* resetParms = MemPtrNew(2);
        QV_VALIDATE(resetParms);
        std::memset(resetParms, 0, 2);
        UInt32 ignored = 0;
        SysAppLaunchAfterReset(cardNo, dbID, 0, sysAppLaunchCmdSystemReset, toEmu(resetParms), &ignored);
        MemPtrFree(resetParms);
        break;
      }
      case LaunchedListInsert::Full:
        WarningF("Exceeded max apps launched in this process.");
        break;
      case LaunchedListInsert::AlreadyThere:
        break;
    }
  }
  return SysAppLaunchAfterReset(cardNo, dbID, launchFlags, cmd, cmdPBP, resultP);
}

Err SysAppLaunchAfterReset(UInt16 cardNo, LocalID dbID, UInt16 launchFlags, UInt16 cmd, EmuAddr cmdPBP,
                           UInt32* resultP) {
  DmOpenRef db = DmOpenDatabase(cardNo, dbID, dmModeReadOnly);
  if (!db) {
    WarningF("Unable to open application resource database. Launch aborted.");
    return sysErrInvalidStartupResources;
  }
  UInt32 type = 0, creator = 0;
  DmDatabaseInfo(cardNo, dbID, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &type,
                 &creator);
  Err err = errNone;
  if (type == kSharedLibraryType && cmd == sysAppLaunchCmdSystemReset) {
    // Libraries are not given the reset launch.
    if (resultP) *resultP = 0;
  } else if (MemHandle code = entryCode(db, type)) {
    void* codeStart = MemHandleLock(code);
    QV_ASSERT(codeStart != nullptr);
    Launch l{cardNo, dbID, launchFlags, cmd, cmdPBP, db, code, codeStart, nullptr, 0, nullptr};
    err = runWithContext(l, creator, resultP);
    MemHandleUnlock(code);
    DmReleaseResource(code);
  } else {
    err = sysErrInvalidStartupResources;
  }
  DmCloseDatabase(db);
  CloseResourceDatabasesOpenedByApplication();
  return err;
}
