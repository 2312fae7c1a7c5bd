// The record calls: looking up, creating, attaching, detaching, moving,
// deleting and archiving records, and their attributes.
#include <cstring>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/memorymgr.h"

namespace {
void* chunkOf(LocalID chunkID) { return chunkID ? MemHandleDataPtr(entryHandle(chunkID)) : nullptr; }

void setOwningDatabase(LocalID chunkID, LocalID dbID) {
  if (void* p = chunkOf(chunkID)) SetMemPtrDBID(p, dbID);
}

Err recordError(const UInt8* entry) { return RecEntry::chunkID(entry) ? dmErrRecordArchived : dmErrRecordDeleted; }

Err AttachRecord(DmOpenRef ref, UInt16* indexP, MemHandle h, MemHandle* oldHP, bool busy) {
  EntryRef db;
  if (Err err = CheckAccess(ref, true, false, &db)) return err;
  if (!ValidMemHandle(h)) return dmErrInvalidParam;
  if (MemHandleCardNo(h) != OpenInfo::cardNo(db.openInfo)) return dmErrRecordInWrongCard;
  if (!MemHandleDataStorage(h)) return dmErrInvalidParam;
  LocalID dbID = OpenInfo::hdrID(db.openInfo);
  UInt8 attr = dmRecAttrDirty | (busy ? dmRecAttrBusy : 0);
  if (oldHP) {
    if (*indexP >= OpenInfo::numRecords(db.openInfo)) return dmErrIndexOutOfRange;
    if (Err err = FindByIndex(ref, true, false, *indexP, &db)) return err;
  }
  if (ChunkHeldByDatabase(OpenInfo::cardNo(db.openInfo), h)) return dmErrInvalidParam;
  if (oldHP) {
    LocalID old = RecEntry::chunkID(db.entry);
    *oldHP = entryHandle(old);
    setOwningDatabase(old, 0);
    RecEntry::setChunkID(db.entry, MemHandleToLocalID(h));
    RecEntry::setAttributes(db.entry, RecEntry::attributes(db.entry) | attr);
  } else {
    UInt32 id;
    if (!GetUniqueID(db.header, &id)) return dmErrInvalidParam;
    UInt8* e;
    if (Err err = InsertEntry(db, indexP, &e)) return err;
    RecEntry::setChunkID(e, MemHandleToLocalID(h));
    RecEntry::setAttributes(e, attr);
    RecEntry::setUniqueID(e, id);
    set32(db.header + DbHdr::kUniqueIDSeed, id + 1);
  }
  DbHdr::markChanged(db.header);
  SetMemPtrDBID(MemHandleDataPtr(h), dbID);
  return errNone;
}

Err DeleteOrArchiveRecord(DmOpenRef ref, UInt16 index, bool archive) {
  EntryRef db;
  if (Err err = FindByIndex(ref, true, false, index, &db)) return err;
  UInt8 attr = RecEntry::attributes(db.entry);
  if (attr & dmRecAttrDelete) return recordError(db.entry);
  RecEntry::setAttributes(db.entry, attr | dmRecAttrDelete);
  LocalID chunkID = RecEntry::chunkID(db.entry);
  if (chunkID && archive) {
    MemHandleResetLock(entryHandle(chunkID));
  } else if (chunkID) {
    MemHandleFree(entryHandle(chunkID));
    RecEntry::setChunkID(db.entry, 0);
  }
  DbHdr::markChanged(db.header);
  return errNone;
}

// The handle of a record that is not deleted, with the error for one that is.
Err liveRecord(DmOpenRef ref, UInt16 index, EntryRef* db, MemHandle* hP) {
  *hP = 0;
  if (Err err = FindByIndex(ref, false, false, index, db)) return err;
  if (RecEntry::attributes(db->entry) & dmRecAttrDelete) return recordError(db->entry);
  LocalID chunkID = RecEntry::chunkID(db->entry);
  *hP = entryHandle(chunkID);
  return errNone;
}
}  // namespace

UInt16 DmNumRecords(DmOpenRef dbP) {
  return ValidAccessPtr(dbP) ? OpenInfo::numRecords(Access::openInfo(static_cast<UInt8*>(dbP))) : 0;
}

Err DmRecordInfo(DmOpenRef dbP, UInt16 index, UInt16* attrP, UInt32* uniqueIDP, LocalID* chunkIDP) {
  EntryRef db;
  if (Err err = FindByIndex(dbP, false, false, index, &db)) return err;
  if (attrP) *attrP = RecEntry::attributes(db.entry);
  if (uniqueIDP) *uniqueIDP = RecEntry::uniqueID(db.entry);
  if (chunkIDP) *chunkIDP = RecEntry::chunkID(db.entry);
  return errNone;
}

Err DmSetRecordInfo(DmOpenRef dbP, UInt16 index, UInt16* attrP, UInt32* uniqueIDP) {
  EntryRef db;
  if (Err err = FindByIndex(dbP, true, false, index, &db)) return err;
  if (attrP) {
    UInt8 busy = RecEntry::attributes(db.entry) & dmRecAttrBusy;
    RecEntry::setAttributes(db.entry, static_cast<UInt8>((*attrP & ~dmRecAttrBusy) | busy));
  }
  if (uniqueIDP) RecEntry::setUniqueID(db.entry, *uniqueIDP);
  DbHdr::markChanged(db.header);
  return errNone;
}

Err DmAttachRecord(DmOpenRef dbP, UInt16* atP, MemHandle newH, MemHandle* oldHP) {
  if (!ValidAccessPtr(dbP)) return dmErrInvalidParam;
  UInt16 at = atP ? *atP : dmMaxRecordIndex;
  Err err = AttachRecord(dbP, &at, newH, oldHP, false);
  if (atP) *atP = at;
  return err;
}

Err DmDetachRecord(DmOpenRef dbP, UInt16 index, MemHandle* oldHP) {
  EntryRef db;
  if (Err err = FindByIndex(dbP, true, false, index, &db)) return err;
  LocalID chunkID = RecEntry::chunkID(db.entry);
  if (Err err = RemoveEntry(db, index)) return err;
  setOwningDatabase(chunkID, 0);
  DbHdr::markChanged(db.header);
  if (oldHP) *oldHP = entryHandle(chunkID);
  return errNone;
}

Err DmMoveRecord(DmOpenRef dbP, UInt16 from, UInt16 to) {
  EntryRef db;
  if (Err err = FindByIndex(dbP, true, false, from, &db)) return err;
  UInt8 saved[DbHdr::kRecordEntrySize];
  std::memcpy(saved, db.entry, sizeof saved);
  if (Err err = RemoveEntry(db, from)) return err;
  if (from < to) --to;
  UInt8* e;
  if (Err err = InsertEntry(db, &to, &e)) return err;
  std::memcpy(e, saved, sizeof saved);
  setOwningDatabase(RecEntry::chunkID(e), OpenInfo::hdrID(db.openInfo));
  DbHdr::markChanged(db.header);
  return errNone;
}

MemHandle DmNewRecord(DmOpenRef dbP, UInt16* atP, UInt32 size) {
  if (!ValidAccessPtr(dbP)) return setLastErr(dmErrInvalidParam), 0;
  if (size == 0) return setLastErr(dmErrMemError), 0;
  UInt16 card = OpenInfo::cardNo(Access::openInfo(static_cast<UInt8*>(dbP)));
  MemHandle h = GetNewChunk(card, 1, size, true, 0, false);
  if (!h) return setLastErr(memErrNotEnoughSpace), 0;
  UInt16 at = atP ? *atP : dmMaxRecordIndex;
  if (Err err = AttachRecord(dbP, &at, h, nullptr, true)) {
    MemHandleFree(h);
    return setLastErr(err), 0;
  }
  if (atP) *atP = at;
  setLastErr(errNone);
  return h;
}

Err DmRemoveRecord(DmOpenRef dbP, UInt16 index) {
  MemHandle h = 0;
  if (Err err = DmDetachRecord(dbP, index, &h)) return err;
  if (h) MemHandleFree(h);
  return errNone;
}

Err DmDeleteRecord(DmOpenRef dbP, UInt16 index) { return DeleteOrArchiveRecord(dbP, index, false); }

Err DmArchiveRecord(DmOpenRef dbP, UInt16 index) { return DeleteOrArchiveRecord(dbP, index, true); }

MemHandle DmNewHandle(DmOpenRef dbP, UInt32 size) {
  if (dbP && !ValidAccessPtr(dbP)) return setLastErr(dmErrInvalidParam), 0;
  if (size == 0) return setLastErr(dmErrMemError), 0;
  UInt16 card = dbP ? OpenInfo::cardNo(Access::openInfo(static_cast<UInt8*>(dbP))) : 0;
  MemHandle h = GetNewChunk(card, 1, size, true, 0, false);
  setLastErr(h ? errNone : memErrNotEnoughSpace);
  return h;
}

Err DmRemoveSecretRecords(DmOpenRef dbP) {
  for (UInt16 i = 0;;) {
    EntryRef db;
    Err err = FindByIndex(dbP, true, false, i, &db);
    if (err == dmErrIndexOutOfRange) return errNone;
    if (err) return err;
    if (!(RecEntry::attributes(db.entry) & dmRecAttrSecret)) {
      ++i;
    } else if ((err = DmRemoveRecord(dbP, i))) {
      return err;
    }
  }
}

Err DmFindRecordByID(DmOpenRef dbP, UInt32 uniqueID, UInt16* indexP) {
  EntryRef db;
  if (Err err = CheckAccess(dbP, false, false, &db)) return err;
  UInt16 index = 0;
  bool found = false;
  forEachEntry(db.header, [&](UInt8* e) {
    if (found) return;
    if (RecEntry::uniqueID(e) == (uniqueID & 0xFFFFFF))
      found = true;
    else
      ++index;
  });
  if (!found) return dmErrUniqueIDNotFound;
  if (indexP) *indexP = index;
  return errNone;
}

MemHandle DmQueryRecord(DmOpenRef dbP, UInt16 index) {
  EntryRef db;
  MemHandle h;
  setLastErr(liveRecord(dbP, index, &db, &h));
  return h;
}

MemHandle DmGetRecord(DmOpenRef dbP, UInt16 index) {
  EntryRef db;
  MemHandle h;
  Err err = liveRecord(dbP, index, &db, &h);
  if (!err && (RecEntry::attributes(db.entry) & dmRecAttrBusy)) {
    err = dmErrRecordBusy;
    h = 0;
  }
  if (!err) RecEntry::setAttributes(db.entry, RecEntry::attributes(db.entry) | dmRecAttrBusy);
  setLastErr(err);
  return h;
}

MemHandle DmResizeRecord(DmOpenRef dbP, UInt16 index, UInt32 newSize) {
  EntryRef db;
  Err err = FindByIndex(dbP, false, false, index, &db);
  if (err) return setLastErr(err), 0;
  LocalID chunkID = RecEntry::chunkID(db.entry);
  if ((RecEntry::attributes(db.entry) & dmRecAttrDelete) && !chunkID) return setLastErr(dmErrRecordDeleted), 0;
  if (!(Access::mode(db.access) & dmModeWrite) && !(OpenInfo::flags(db.openInfo) & OpenInfo::kWrite))
    return setLastErr(dmErrReadOnly), 0;
  if (!chunkID) return setLastErr(dmErrMemError), 0;
  if ((err = MemHandleResize(entryHandle(chunkID), newSize))) return setLastErr(err), 0;
  DbHdr::markChanged(db.header);
  setLastErr(errNone);
  return entryHandle(chunkID);
}

Err DmReleaseRecord(DmOpenRef dbP, UInt16 index, Boolean dirty) {
  EntryRef db;
  if (Err err = FindByIndex(dbP, false, false, index, &db)) return err;
  UInt8 attr = RecEntry::attributes(db.entry) & ~dmRecAttrBusy;
  if (dirty) {
    attr |= dmRecAttrDirty;
    DbHdr::markChanged(db.header);
  }
  RecEntry::setAttributes(db.entry, attr);
  return errNone;
}

UInt16 DmSearchRecord(MemHandle recH, DmOpenRef* dbPP) {
  for (EmuAddr a = GetDmAccessList(); a; a = get32(fromEmu(a))) {
    auto* ref = static_cast<UInt8*>(fromEmu(a));
    if (ref[Access::kResDB]) continue;
    UInt16 index = 0;
    bool found = false;
    forEachEntry(OpenInfo::header(Access::openInfo(ref)), [&](UInt8* e) {
      if (found) return;
      if (RecEntry::chunkID(e) && entryHandle(RecEntry::chunkID(e)) == recH)
        found = true;
      else
        ++index;
    });
    if (found) {
      if (dbPP) *dbPP = ref;
      return index;
    }
  }
  if (dbPP) *dbPP = nullptr;
  return 0xFFFF;
}
