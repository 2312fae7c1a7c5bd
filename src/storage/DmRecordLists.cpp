// The record lists of an open database: finding an entry by index, opening
// and closing gaps, unique IDs.
#include <cstring>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/memorymgr.h"

namespace {
void setNumRecords(UInt8* info, Int32 delta) {
  set16(info + OpenInfo::kNumRecords, static_cast<UInt16>(OpenInfo::numRecords(info) + delta));
}

// Resizes the locked header chunk of an open database. It may move: its
// locks are carried over and the open info learns its new address.
UInt8* resizeHeader(UInt8* info, UInt32 bytes) {
  UInt8* hdr = OpenInfo::header(info);
  if (MemPtrResize(hdr, bytes) == errNone) return hdr;
  MemHandle h = get32(info + OpenInfo::kHdrH);
  UInt16 locks = MemHandleLockCount(h);
  MemHandleResetLock(h);
  Err err = MemHandleResize(h, bytes);
  void* p = MemHandleDataPtr(h);
  for (UInt16 i = 0; i < locks; ++i) MemHandleLock(h);
  if (err) return nullptr;
  set32(info + OpenInfo::kHdrP, toEmu(p));
  return static_cast<UInt8*>(p);
}

// Resizes a list for count entries; false when memory is short.
bool resizeList(EntryRef& db, RecordList& list, UInt32 count) {
  UInt32 bytes = list.bytesFor(count, DbHdr::entrySize(db.header));
  if (list.inHeader) {
    UInt8* hdr = resizeHeader(db.openInfo, bytes);
    if (!hdr) return false;
    db.header = list.chunk = hdr;
    return true;
  }
  MemHandle h = MemPtrRecoverHandle(list.chunk);
  if (MemHandleResize(h, bytes)) return false;
  list.chunk = static_cast<UInt8*>(MemHandleDataPtr(h));
  return true;
}

// The list holding index (or, past the end, the last list) and the position in it.
RecordList locate(UInt8* hdr, UInt16 index, UInt16* inListP) {
  RecordList found{hdr, true};
  UInt32 rest = index;
  forEachRecordList(hdr, [&](const RecordList& list) {
    found = list;
    if (rest < list.count()) return false;
    if (!list.next()) return false;
    rest -= list.count();
    return true;
  });
  *inListP = static_cast<UInt16>(rest > found.count() ? found.count() : rest);
  return found;
}
}  // namespace

Err CheckAccess(DmOpenRef ref, Boolean needWrite, Boolean wantResource, EntryRef* found) {
  if (!ValidAccessPtr(ref)) return dmErrInvalidParam;
  found->access = static_cast<UInt8*>(ref);
  found->openInfo = Access::openInfo(found->access);
  found->header = OpenInfo::header(found->openInfo);
  if (needWrite && !(Access::mode(found->access) & dmModeWrite)) return dmErrReadOnly;
  bool resource = OpenInfo::flags(found->openInfo) & OpenInfo::kResDB;
  if (resource && !wantResource) return dmErrNotRecordDB;
  if (!resource && wantResource) return dmErrNotResourceDB;
  return errNone;
}

Err FindByIndex(DmOpenRef ref, Boolean needWrite, Boolean wantResource, UInt16 index, EntryRef* found) {
  if (Err err = CheckAccess(ref, needWrite, wantResource, found)) return err;
  if (index >= OpenInfo::numRecords(found->openInfo)) return dmErrIndexOutOfRange;
  found->list = locate(found->header, index, &found->indexInList);
  if (found->indexInList >= found->list.count()) {
    WarningF("datamgr - FindByIndex warning: open info numRecords incorrect");
    return dmErrIndexOutOfRange;
  }
  found->entry = found->list.entries() + found->indexInList * DbHdr::entrySize(found->header);
  return errNone;
}

Err InsertEntry(EntryRef& db, UInt16* indexP, UInt8** entryP) {
  UInt16 total = OpenInfo::numRecords(db.openInfo);
  if (*indexP > total) *indexP = total;
  if (total == 0xFFFF) return dmErrMemError;
  UInt16 at;
  RecordList list = locate(db.header, *indexP, &at);
  UInt16 n = list.count();
  if (!resizeList(db, list, n + 1u)) return memErrNotEnoughSpace;
  UInt32 size = DbHdr::entrySize(db.header);
  UInt8* entry = list.entries() + at * size;
  std::memmove(entry + size, entry, (n - at) * size);
  std::memset(entry, 0, size);
  set16(list.countField(), static_cast<UInt16>(n + 1));
  setNumRecords(db.openInfo, 1);
  db.list = list;
  db.indexInList = at;
  db.entry = *entryP = entry;
  return errNone;
}

Err RemoveEntry(EntryRef& db, UInt16 index) {
  EntryRef found;
  if (Err err = FindByIndex(db.access, false, DbHdr::isResourceDB(db.header), index, &found)) return err;
  RecordList list = found.list;
  UInt32 size = DbHdr::entrySize(found.header);
  UInt16 n = list.count();
  std::memmove(found.entry, found.entry + size, (n - found.indexInList - 1u) * size);
  set16(list.countField(), static_cast<UInt16>(n - 1));
  setNumRecords(found.openInfo, -1);
  if (n - 1 == 0 && !list.inHeader) {
    // An emptied list of its own leaves the chain.
    LocalID listID = MemPtrToLocalID(list.chunk);
    LocalID next = list.next();
    forEachRecordList(found.header, [&](const RecordList& l) {
      if (l.next() != listID) return true;
      set32(l.chunk + (l.inHeader ? UInt32(DbHdr::kNextRecordListID) : 0u), next);
      return false;
    });
    MemChunkFree(list.chunk);
  } else {
    resizeList(found, list, n - 1u);
  }
  db.header = found.header;
  return errNone;
}

Boolean GetUniqueID(UInt8* header, UInt32* idP) {
  UInt32 seed = get32(header + DbHdr::kUniqueIDSeed);
  UInt32 candidate = seed;
  if ((candidate & 0xFFFFFF) == 0) {
    UInt32 highest = 0;
    forEachEntry(header, [&](UInt8* e) {
      if (RecEntry::uniqueID(e) > highest) highest = RecEntry::uniqueID(e);
    });
    candidate = highest + 1;
  }
  UInt32 start = candidate;
  while (true) {
    bool taken = false;
    forEachEntry(header, [&](UInt8* e) { taken |= RecEntry::uniqueID(e) == (candidate & 0xFFFFFF); });
    if (!taken) break;
    if (++candidate == start) return false;
  }
  *idP = candidate;
  return true;
}
