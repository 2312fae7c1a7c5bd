// Opening and closing databases, and the queries on open references.
#include <cstring>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"
#include "storage/overlay.h"

namespace {
UInt8* accessOf(DmOpenRef ref) { return static_cast<UInt8*>(ref); }

UInt8* newSystemChunk(UInt32 size, UInt8 owner) {
  return static_cast<UInt8*>(fromEmu(GetNewChunk(0, 0, size, false, owner, false)));
}

void pushFront(EmuAddr& head, UInt8* block) {
  set32(block, head);
  head = toEmu(block);
}

// Takes a block off a list linked through its first word.
bool unlinkFrom(EmuAddr& head, UInt8* block) {
  EmuAddr target = toEmu(block);
  if (head == target) {
    head = get32(block);
    return true;
  }
  for (EmuAddr a = head; a; a = get32(fromEmu(a))) {
    auto* node = static_cast<UInt8*>(fromEmu(a));
    if (get32(node) == target) {
      set32(node, get32(block));
      return true;
    }
  }
  return false;
}

UInt16 openFlagsFor(UInt16 mode) {
  UInt16 flags = 0;
  if (mode & dmModeExclusive) flags |= OpenInfo::kExclusive;
  if (mode & dmModeWrite) flags |= OpenInfo::kWrite;
  return flags;
}

DmOpenRef failOpen(UInt8* ref, Err err) {
  MemChunkFree(ref);
  setLastErr(err);
  return nullptr;
}

// The open info of a database opened for the first time; its header stays locked.
UInt8* firstOpen(UInt16 cardNo, LocalID dbID, Err* errP) {
  UInt32 numRecords = 0;
  if ((*errP = DmDatabaseSize(cardNo, dbID, &numRecords, nullptr, nullptr))) return nullptr;
  MemHandle hdrH = MemLocalIDToGlobal(dbID, cardNo);
  auto* hdr = static_cast<UInt8*>(MemHandleLock(hdrH));
  if (!hdr) {
    *errP = dmErrMemError;
    return nullptr;
  }
  UInt8* info = newSystemChunk(OpenInfo::kSize, 1);
  if (!info) {
    MemHandleUnlock(hdrH);
    *errP = memErrNotEnoughSpace;
    return nullptr;
  }
  DbHdr::setAttributes(hdr, DbHdr::attributes(hdr) | dmHdrAttrOpen);
  pushFront(dmGlobals().openInfoHead, info);
  set16(info + OpenInfo::kOpenCount, 0);
  set16(info + OpenInfo::kFlags, DbHdr::isResourceDB(hdr) ? OpenInfo::kResDB : 0);
  set32(info + OpenInfo::kHdrID, dbID);
  set32(info + OpenInfo::kHdrH, hdrH);
  set32(info + OpenInfo::kHdrP, toEmu(hdr));
  set16(info + OpenInfo::kCardNo, cardNo);
  set16(info + OpenInfo::kNumRecords, static_cast<UInt16>(numRecords));
  info[OpenInfo::kEmptyAtOpen] = numRecords == 0;
  return info;
}

// The reference opened right before ref (its newer neighbour in the list).
UInt8* newerNeighbour(const UInt8* ref) {
  for (EmuAddr a = dmGlobals().accessHead; a; a = get32(fromEmu(a)))
    if (get32(fromEmu(a)) == toEmu(ref)) return static_cast<UInt8*>(fromEmu(a));
  return nullptr;
}

void DeleteAccess(UInt8* ref) {
  if (!unlinkFrom(dmGlobals().accessHead, ref)) WarningF("datamgr - DmCloseDatabase warning: access info not found");
  MemChunkFree(ref);
}
}  // namespace

Boolean ValidAccessPtr(DmOpenRef ref) {
  if (!ref) return false;
  auto wanted = reinterpret_cast<std::uintptr_t>(ref);
  for (EmuAddr a = dmGlobals().accessHead; a; a = get32(fromEmu(a)))
    if (a == wanted) return true;
  return false;
}

UInt8* FindOpenInfo(UInt16 cardNo, LocalID dbID) {
  for (EmuAddr a = dmGlobals().openInfoHead; a; a = get32(fromEmu(a))) {
    auto* info = static_cast<UInt8*>(fromEmu(a));
    if (OpenInfo::hdrID(info) == dbID && OpenInfo::cardNo(info) == cardNo) return info;
  }
  return nullptr;
}

Boolean FileOpenedForWrite(const UInt8* openInfo, Boolean sameDepthOnly) {
  if (!(OpenInfo::flags(openInfo) & OpenInfo::kWrite)) return false;
  UInt16 depth = GetLauncheeDepth() & 15;
  for (EmuAddr a = dmGlobals().accessHead; a; a = get32(fromEmu(a))) {
    auto* ref = static_cast<UInt8*>(fromEmu(a));
    if (Access::openInfo(ref) != openInfo || !(Access::mode(ref) & dmModeWrite)) continue;
    if (!sameDepthOnly || MemPtrOwner(ref) == depth) return true;
  }
  return false;
}

EmuAddr GetDmAccessList() { return dmGlobals().accessHead; }

DmOpenRef OpenSingleDatabase(UInt16 cardNo, LocalID dbID, UInt16 mode, Boolean shareAlways) {
  setLastErr(errNone);
  UInt8 owner = (mode & dmModeLeaveOpen) ? 1 : static_cast<UInt8>(GetLauncheeDepth() & 15);
  UInt8* ref = newSystemChunk(Access::kSize, owner);
  if (!ref) {
    setLastErr(memErrNotEnoughSpace);
    return nullptr;
  }
  UInt8* info = FindOpenInfo(cardNo, dbID);
  if (info) {
    UInt16 flags = OpenInfo::flags(info);
    if (!shareAlways && ((flags & OpenInfo::kExclusive) || (mode & dmModeExclusive)))
      return failOpen(ref, dmErrCantOpen);
    if ((flags & OpenInfo::kWrite) && (mode & dmModeWrite) && !FileOpenedForWrite(info, true))
      return failOpen(ref, dmErrAlreadyOpenForWrites);
  } else {
    Err err = errNone;
    info = firstOpen(cardNo, dbID, &err);
    if (!info) return failOpen(ref, err);
  }
  set16(info + OpenInfo::kOpenCount, static_cast<UInt16>(get16(info + OpenInfo::kOpenCount) + 1));
  set16(info + OpenInfo::kFlags, OpenInfo::flags(info) | openFlagsFor(mode));
  UInt8* hdr = OpenInfo::header(info);
  pushFront(dmGlobals().accessHead, ref);
  set16(ref + Access::kMode, mode);
  set32(ref + Access::kOpenP, toEmu(info));
  set32(ref + Access::kModNum, get32(hdr + DbHdr::kModificationNumber));
  ref[Access::kResDB] = (OpenInfo::flags(info) & OpenInfo::kResDB) ? 1 : 0;
  setLE16(ref + Access::kHint, 0xFFFF);
  return ref;
}

DmOpenRef DmOpenDBNoOverlay(UInt16 cardNo, LocalID dbID, UInt16 mode) {
  return OpenSingleDatabase(cardNo, dbID, mode, false);
}

DmOpenRef DmOpenDatabase(UInt16 cardNo, LocalID dbID, UInt16 mode) {
  DmOpenRef ref = OpenSingleDatabase(cardNo, dbID, mode, false);
  return ref ? OpenOverlayOf(ref, cardNo, mode) : nullptr;
}

DmOpenRef DmOpenDatabaseByTypeCreator(UInt32 type, UInt32 creator, UInt16 mode) {
  UInt16 cardNo = 0;
  LocalID dbID = 0;
  Err err = GetNextDatabaseByTypeCreator(true, nullptr, type, creator, true, &cardNo, &dbID, false);
  if (err && !(type && creator))
    err = DmGetNextDatabaseByTypeCreator(true, nullptr, type, creator, true, &cardNo, &dbID);
  if (err) {
    setLastErr(err);
    return nullptr;
  }
  return DmOpenDatabase(cardNo, dbID, mode);
}

Err DmCloseDatabase(DmOpenRef dbP) {
  if (!ValidAccessPtr(dbP)) return dmErrInvalidParam;
  UInt8* ref = accessOf(dbP);
  UInt8* info = Access::openInfo(ref);
  UInt8* hdr = OpenInfo::header(info);
  if (get32(hdr + DbHdr::kModificationNumber) != get32(ref + Access::kModNum))
    set32(hdr + DbHdr::kModificationDate, storageSeams().seconds());
  // A locale overlay goes with its base.
  UInt8* overlay = MayHaveOverlay(Access::mode(ref), hdr) ? newerNeighbour(ref) : nullptr;
  UInt32 creator = DbHdr::creator(hdr);
  UInt16 count = get16(info + OpenInfo::kOpenCount);
  if (count > 1) {
    set16(info + OpenInfo::kOpenCount, static_cast<UInt16>(count - 1));
    UInt16 mode = Access::mode(ref);
    DeleteAccess(ref);
    UInt16 flags = OpenInfo::flags(info);
    if (mode & dmModeExclusive) flags &= ~OpenInfo::kExclusive;
    set16(info + OpenInfo::kFlags, flags);
    if ((mode & dmModeWrite) && !FileOpenedForWrite(info, false))
      set16(info + OpenInfo::kFlags, flags & ~OpenInfo::kWrite);
    if (overlay && IsOverlayOfClosedBase(overlay, creator)) DmCloseDatabase(overlay);
    return errNone;
  }
  UInt16 cardNo = OpenInfo::cardNo(info);
  LocalID dbID = OpenInfo::hdrID(info);
  if (IsCurrentAppDatabase(cardNo, dbID)) FreeDelayedMemoryChunks();
  DbHdr::setAttributes(hdr, DbHdr::attributes(hdr) & ~dmHdrAttrOpen);
  bool dirty = DbHdr::attributes(hdr) & dmHdrAttrDirty;
  MemPtrUnlock(hdr);
  if (!unlinkFrom(dmGlobals().openInfoHead, info)) WarningF("datamgr - DmCloseDatabase warning: open info not found");
  MemChunkFree(info);
  DeleteAccess(ref);
  // The dirty bit goes only once the file holds the changes.
  if (dirty) SaveDatabaseNow(cardNo, dbID);
  if (overlay && IsOverlayOfClosedBase(overlay, creator)) DmCloseDatabase(overlay);
  return errNone;
}

DmOpenRef DmNextOpenDatabase(DmOpenRef currentP) {
  if (!currentP) return fromEmu(dmGlobals().accessHead);
  if (!ValidAccessPtr(currentP)) return nullptr;
  return fromEmu(get32(accessOf(currentP)));
}

Err DmOpenDatabaseInfo(DmOpenRef dbP, LocalID* dbIDP, UInt16* openCountP, UInt16* modeP, UInt16* cardNoP,
                       Boolean* resDBP) {
  if (!ValidAccessPtr(dbP)) return dmErrInvalidParam;
  UInt8* ref = accessOf(dbP);
  UInt8* info = Access::openInfo(ref);
  if (dbIDP) *dbIDP = OpenInfo::hdrID(info);
  if (openCountP) *openCountP = get16(info + OpenInfo::kOpenCount);
  if (modeP) *modeP = Access::mode(ref);
  if (cardNoP) *cardNoP = OpenInfo::cardNo(info);
  if (resDBP) *resDBP = (OpenInfo::flags(info) & OpenInfo::kResDB) ? 1 : 0;
  return errNone;
}

LocalID DmGetAppInfoID(DmOpenRef dbP) {
  if (!ValidAccessPtr(dbP)) return 0;
  return get32(OpenInfo::header(Access::openInfo(accessOf(dbP))) + DbHdr::kAppInfoID);
}

void DmGetDatabaseLockState(DmOpenRef dbR, UInt8* highest, UInt32* count, UInt32* busy) {
  UInt8 high = 0;
  UInt32 n = 0;
  UInt32 busyCount = 0;
  if (ValidAccessPtr(dbR)) {
    UInt8* hdr = OpenInfo::header(Access::openInfo(accessOf(dbR)));
    bool resource = DbHdr::isResourceDB(hdr);
    forEachEntry(hdr, [&](UInt8* e) {
      if (!resource && (RecEntry::attributes(e) & dmRecAttrBusy)) ++busyCount;
      LocalID id = entryChunkID(e, resource);
      if (!id) return;
      UInt8 locks = static_cast<UInt8>(MemHandleLockCount(id & ~1u));
      if (locks > high) {
        high = locks;
        n = 0;
      }
      if (locks == high) ++n;
    });
  }
  if (highest) *highest = high;
  if (count) *count = n;
  if (busy) *busy = busyCount;
}

Err DmResetRecordStates(DmOpenRef dbP) {
  if (!ValidAccessPtr(dbP)) return dmErrInvalidParam;
  UInt8* hdr = OpenInfo::header(Access::openInfo(accessOf(dbP)));
  bool resource = DbHdr::isResourceDB(hdr);
  Err result = errNone;
  forEachEntry(hdr, [&](UInt8* e) {
    LocalID id = entryChunkID(e, resource);
    Err err = id ? MemHandleResetLock(id & ~1u) : dmErrMemError;
    if (!resource) RecEntry::setAttributes(e, RecEntry::attributes(e) & ~dmRecAttrBusy);
    if (err && !result) result = err;
  });
  return result;
}

namespace {
// Closes the references that launches deeper than the current one left open,
// except those opened to stay open. Every such reference is found, wherever
// it stands in the list.
void closeOpenedByApplication(bool resourceOnly) {
  UInt16 depth = GetLauncheeDepth();
  bool closed = true;
  while (closed) {
    closed = false;
    for (EmuAddr a = dmGlobals().accessHead; a && !closed; a = get32(fromEmu(a))) {
      auto* ref = static_cast<UInt8*>(fromEmu(a));
      if (MemPtrOwner(ref) <= depth || (Access::mode(ref) & dmModeLeaveOpen)) continue;
      if (resourceOnly && !ref[Access::kResDB]) continue;
      DmCloseDatabase(ref);
      closed = true;
    }
  }
}
}  // namespace

void CloseDatabasesOpenedByApplication() { closeOpenedByApplication(false); }

void CloseResourceDatabasesOpenedByApplication() { closeOpenedByApplication(true); }
