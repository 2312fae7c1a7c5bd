// The end of a database's life in memory: deleting it, protecting it from
// deletion, and unloading it back to a stub after a launch.
#include <cstring>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/DataMgrPrivate.h"
#include "storage/DatabaseFiles.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

namespace {
constexpr UInt16 kNamedAttributes = 0x4FFF;
constexpr UInt32 kProtectEntrySize = 6;

// Frees the chunk a LocalID names; false when there is none to free.
bool freeChunk(LocalID id) {
  void* p = GetPtrWithoutLocking(id);
  return p && MemChunkFree(p) == errNone;
}

// Frees everything a loaded database holds besides its header; false when
// some chunk could not be found.
bool freeContents(UInt8* hdr) {
  bool all = true;
  for (UInt32 field : {DbHdr::kAppInfoID, DbHdr::kSortInfoID})
    if (LocalID id = get32(hdr + field)) all &= freeChunk(id);
  bool resource = DbHdr::isResourceDB(hdr);
  LocalID listID = 0;
  forEachRecordList(hdr, [&](const RecordList& list) {
    if (listID) all &= freeChunk(listID);
    for (UInt16 i = 0; i < list.count(); ++i)
      if (LocalID id = entryChunkID(list.entries() + i * DbHdr::entrySize(hdr), resource)) all &= freeChunk(id);
    listID = list.next();
    return true;
  });
  return all;
}

// The protect list: 6-byte entries {count, card, dbID}.
struct ProtectList {
  UInt8* bytes = nullptr;
  UInt32 count = 0;
  UInt8* find(UInt16 cardNo, LocalID dbID) const {
    for (UInt32 i = 0; i < count; ++i) {
      UInt8* e = bytes + i * kProtectEntrySize;
      if (e[1] == cardNo && get32(e + 2) == dbID) return e;
    }
    return nullptr;
  }
};

ProtectList protectList() {
  MemHandle h = dmGlobals().protectListH;
  if (!h) return {};
  return {static_cast<UInt8*>(MemHandleDataPtr(h)), MemHandleSize(h) / kProtectEntrySize};
}

Err addProtection(UInt16 cardNo, LocalID dbID) {
  DataMgrGlobals& g = dmGlobals();
  ProtectList list = protectList();
  if (UInt8* e = list.find(cardNo, dbID)) {
    if (e[0] < 255) ++e[0];
    return errNone;
  }
  if (!g.protectListH) {
    g.protectListH = GetNewChunk(0, 0, kProtectEntrySize, true, 1, false);
    if (!g.protectListH) return memErrNotEnoughSpace;
  } else if (MemHandleResize(g.protectListH, (list.count + 1) * kProtectEntrySize)) {
    WarningF("datamgr - DmDatabaseProtect: Unable to resize list");
    return memErrNotEnoughSpace;
  }
  list = protectList();
  UInt8* e = list.bytes + (list.count - 1) * kProtectEntrySize;
  e[0] = 1;
  e[1] = static_cast<UInt8>(cardNo);
  set32(e + 2, dbID);
  return errNone;
}

Err removeProtection(UInt16 cardNo, LocalID dbID) {
  DataMgrGlobals& g = dmGlobals();
  ProtectList list = protectList();
  UInt8* e = list.find(cardNo, dbID);
  if (!e) return dmErrCantFind;
  if (e[0] > 0) --e[0];
  if (e[0] > 0) return errNone;
  if (list.count == 1) {
    MemHandleFree(g.protectListH);
    g.protectListH = 0;
    return errNone;
  }
  UInt8* end = list.bytes + list.count * kProtectEntrySize;
  std::memmove(e, e + kProtectEntrySize, static_cast<size_t>(end - e - kProtectEntrySize));
  if (MemHandleResize(g.protectListH, (list.count - 1) * kProtectEntrySize))
    WarningF("datamgr - DmDatabaseProtect: Unable to resize list");
  return errNone;
}

bool staysLoaded(const UInt8* hdr) {
  UInt32 type = DbHdr::type(hdr);
  return type == FourCCs::libr ||
         (DbHdr::creator(hdr) == FourCCs::psys && (type == fourCC("sprf") || type == FourCCs::pref));
}

// Frees a chunk an unloaded database no longer holds, unless it is locked by
// no launch in particular.
void releaseChunk(LocalID id) {
  void* p = GetPtrWithoutLocking(id);
  if (!p) return;
  UInt16 locks = MemPtrLockCount(p);
  if (locks == 0 || MemPtrOwner(p) != 0) MemChunkFree(p);
}
}  // namespace

Boolean DatabaseProtected(UInt16 cardNo, LocalID dbID) {
  const UInt8* e = protectList().find(cardNo, dbID);
  return e && e[0] >= 1;
}

Err DmDatabaseProtect(UInt16 cardNo, LocalID dbID, Boolean protect) {
  if (!protect) return removeProtection(cardNo, dbID);
  if (Err err = FindDatabaseInDirectory(cardNo, dbID)) return err;
  return addProtection(cardNo, dbID);
}

Err DmDeleteDatabase(UInt16 cardNo, LocalID dbID) {
  if (dbID == 0) return dmErrInvalidParam;
  if (IsCurrentAppDatabase(cardNo, dbID) || storageSeams().loadedLibRef(dbID) != 0xFFFF) return dmErrDatabaseOpen;
  if (DatabaseProtected(cardNo, dbID)) return dmErrDatabaseProtected;
  if (cardNo != 0) return memErrCardNotPresent;
  if (Err err = FindDatabaseInDirectory(cardNo, dbID)) return err;
  UInt8* hdr = databaseHeader(dbID);
  if (!hdr) return dmErrMemError;
  UInt16 attr = DbHdr::attributes(hdr);
  if (attr & dmHdrAttrOpen) return dmErrDatabaseOpen;
  // The file goes first: a database whose file stays must stay registered,
  // or it would come back at the next start as if never deleted.
  if (!DeleteDatabaseFile(DbHdr::name(hdr), attr & kNamedAttributes, get16(hdr + DbHdr::kVersion), DbHdr::creator(hdr),
                          DbHdr::type(hdr))) {
    WarningF("DmDeleteDatabase: Warning - Cannot delete file %s", DbHdr::name(hdr));
    return dmErrMemError;
  }
  if (!RemoveStaleDatabaseFiles(dbID)) return dmErrMemError;
  if (Err err = RemoveDatabaseFromDirectory(cardNo, dbID)) return err;
  bool all = (attr & dmHdrAttrStub) ? true : freeContents(hdr);
  all &= MemChunkFree(hdr) == errNone;
  if (!all) WarningF("datamgr - DmDeleteDatabase warning: Not all memory freed");
  return errNone;
}

Boolean AnyLockedSegments(UInt16, const UInt8* header) {
  auto* hdr = const_cast<UInt8*>(header);
  bool resource = DbHdr::isResourceDB(hdr);
  bool locked = false;
  auto check = [&](LocalID id) {
    if (id && (id & 1) && MemHandleLockCount(id & ~1u) >= 1) locked = true;
  };
  check(get32(hdr + DbHdr::kAppInfoID));
  check(get32(hdr + DbHdr::kSortInfoID));
  forEachEntry(hdr, [&](UInt8* e) { check(entryChunkID(e, resource)); });
  return locked;
}

Err UnloadDatabase(LocalID dbID, Boolean recordDBsOnly, Boolean force) {
  UInt8* hdr = databaseHeader(dbID);
  if (!hdr) return dmErrCantFind;
  UInt16 attr = DbHdr::attributes(hdr);
  if (attr & dmHdrAttrStub) return errNone;
  if (attr & dmHdrAttrOpen) return dmErrDatabaseOpen;
  if (recordDBsOnly && (attr & dmHdrAttrResDB)) return dmErrNotRecordDB;
  if (staysLoaded(hdr)) return errNone;
  if (!force && AnyLockedSegments(0, hdr)) return memErrChunkLocked;
  // Unsaved changes exist only in memory: they reach the file first, or the
  // database stays loaded.
  if ((attr & dmHdrAttrDirty) && !SaveDatabaseNow(0, dbID)) return dmErrMemError;
  DbHdr::setAttributes(hdr, DbHdr::attributes(hdr) | dmHdrAttrStub);
  for (UInt32 field : {DbHdr::kAppInfoID, DbHdr::kSortInfoID}) {
    releaseChunk(get32(hdr + field));
    set32(hdr + field, 0);
  }
  RecordList own{hdr, true};
  UInt16 n = own.count();
  bool resource = DbHdr::isResourceDB(hdr);
  for (UInt16 i = 0; i < n; ++i) {
    UInt8* e = own.entries() + i * DbHdr::entrySize(hdr);
    releaseChunk(entryChunkID(e, resource));
    set32(e + (resource ? kResourceChunkOffset : 0), 0);
  }
  set16(hdr + DbHdr::kNumRecords, 0);
  if (n) MemHandleResize(dbID & ~1u, DbHdr::kSize);
  return errNone;
}

void UnloadDatabases(Boolean recordDBsOnly, Boolean force) {
  UInt16 n = DmNumDatabases(0);
  for (UInt16 i = 0; i < n; ++i) UnloadDatabase(DmGetDatabase(0, i), recordDBsOnly, force);
}
