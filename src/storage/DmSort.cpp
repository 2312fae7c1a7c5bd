// Sorting a record database with a comparison routine, and finding where a
// new record belongs.
#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

namespace {
struct Entry {
  UInt8 attributes = 0;
  UInt32 uniqueID = 0;
  LocalID chunkID = 0;
};

Entry entryAt(DmOpenRef db, UInt16 index) {
  Entry e;
  UInt16 attr = 0;
  DmRecordInfo(db, index, &attr, &e.uniqueID, &e.chunkID);
  e.attributes = static_cast<UInt8>(attr);
  return e;
}

void fillInfo(SortRecordInfoType* info, const Entry& e) {
  info->attributes = e.attributes;
  info->uniqueID[0] = static_cast<UInt8>(e.uniqueID >> 16);
  info->uniqueID[1] = static_cast<UInt8>(e.uniqueID >> 8);
  info->uniqueID[2] = static_cast<UInt8>(e.uniqueID);
}

// What one sort or search needs: the routine, the app info handle and two
// sort infos in the arena, where a 68K routine can read them.
class Comparer {
 public:
  Comparer(DmOpenRef db, const RecordComparison& compare, Int16 other)
      : db_(db), compare_(compare), other_(other), infos_(static_cast<SortRecordInfoType*>(MemPtrNew(8))) {
    LocalID appInfoID = DmGetAppInfoID(db);
    appInfoH_ = (appInfoID & 1) ? (appInfoID & ~1u) : 0;
  }
  ~Comparer() { MemPtrFree(infos_); }
  Comparer(const Comparer&) = delete;
  Comparer& operator=(const Comparer&) = delete;

  bool ready() const { return infos_ != nullptr; }
  SortRecordInfoType* scratchInfo() { return &infos_[0]; }

  // P against the record at index; pInfo null when P's sort info is unknown.
  Int16 compare(void* p, SortRecordInfoType* pInfo, UInt16 index, bool deletionAware) {
    Entry e = entryAt(db_, index);
    bool pDeleted = pInfo && (pInfo->attributes & dmRecAttrDelete);
    bool eDeleted = e.attributes & dmRecAttrDelete;
    if (deletionAware && pDeleted && eDeleted) return 0;
    if (eDeleted) return -1;
    if (deletionAware && pDeleted) return 1;
    SortRecordInfoType* eInfo = &infos_[1];
    fillInfo(eInfo, e);
    MemHandle q = e.chunkID ? (e.chunkID & ~1u) : 0;
    void* qp = q ? MemHandleLock(q) : nullptr;
    Int16 result;
    if (compare_.native) {
      result = compare_.native(p, qp, other_, pInfo, eInfo, appInfoH_);
    } else if (!deletionAware) {
      result = storageSeams().callComparF(compare_.routine68K, p, qp, other_, pInfo, eInfo, appInfoH_);
    } else {
      // The application's routine sees the other record first; the answer is turned round.
      result =
          static_cast<Int16>(-storageSeams().callComparF(compare_.routine68K, qp, p, other_, eInfo, pInfo, appInfoH_));
    }
    if (q) MemHandleUnlock(q);
    return result;
  }

 private:
  DmOpenRef db_;
  RecordComparison compare_;
  Int16 other_;
  SortRecordInfoType* infos_;
  MemHandle appInfoH_ = 0;
};

// The first position in lo..hi whose record sorts after p (equal records stay in front).
UInt16 binarySearch(Comparer& c, void* p, SortRecordInfoType* pInfo, Int32 lo, Int32 hi, bool deletionAware) {
  while (lo <= hi) {
    Int32 mid = (lo + hi) / 2;
    if (c.compare(p, pInfo, static_cast<UInt16>(mid), deletionAware) < 0)
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  return static_cast<UInt16>(lo);
}
}  // namespace

Err SortRecords(DmOpenRef dbP, const RecordComparison& compare, Int16 other) {
  UInt16 mode = 0;
  Boolean resDB = 0;
  if (Err err = DmOpenDatabaseInfo(dbP, nullptr, nullptr, &mode, nullptr, &resDB)) return err;
  if (!(mode & dmModeWrite)) return dmErrReadOnly;
  if (resDB) return dmErrNotRecordDB;
  UInt16 n = DmNumRecords(dbP);
  if (n < 2) return errNone;
  Comparer c(dbP, compare, other);
  if (!c.ready()) return memErrNotEnoughSpace;
  Err err = errNone;
  for (UInt16 i = 1; i < n && !err; ++i) {
    Entry e = entryAt(dbP, i);
    MemHandle h = e.chunkID ? (e.chunkID & ~1u) : 0;
    void* p = h ? MemHandleLock(h) : nullptr;
    SortRecordInfoType* pInfo = c.scratchInfo();
    fillInfo(pInfo, e);
    if (c.compare(p, pInfo, static_cast<UInt16>(i - 1), true) < 0) {
      UInt16 position = i == 1 ? 0 : binarySearch(c, p, pInfo, 0, i - 2, true);
      err = DmMoveRecord(dbP, i, position);
    }
    if (h) MemHandleUnlock(h);
  }
  return err;
}

Err DmInsertionSort(DmOpenRef dbR, EmuAddr comparF, Int16 other) { return SortRecords(dbR, {comparF, nullptr}, other); }

Err DmQuickSort(DmOpenRef dbP, EmuAddr comparF, Int16 other) { return SortRecords(dbP, {comparF, nullptr}, other); }

UInt16 FindSortPosition(DmOpenRef dbP, void* newRecord, SortRecordInfoType* newRecordInfo,
                        const RecordComparison& compare, Int16 other) {
  EntryRef db;
  if (Err err = CheckAccess(dbP, false, false, &db)) {
    setLastErr(err == dmErrReadOnly ? dmErrInvalidParam : err);
    return 0xFFFF;
  }
  Int32 n = OpenInfo::numRecords(db.openInfo);
  UInt16 hint = getLE16(db.access + Access::kHint);
  Comparer c(dbP, compare, other);
  if (!c.ready()) {
    setLastErr(memErrNotEnoughSpace);
    return 0xFFFF;
  }
  SortRecordInfoType* info = newRecordInfo;
  if (info) {
    // A 68K routine reads the sort info from the arena.
    *c.scratchInfo() = *info;
    info = c.scratchInfo();
  }
  Int32 lo = 0, hi = n - 1;
  Int32 answer = -1;
  if (n > 5 && hint != 0xFFFF && hint <= n) {
    Int32 h = hint == n ? n - 1 : hint;
    if (c.compare(newRecord, info, static_cast<UInt16>(h), false) < 0) {
      if (h == 0 || c.compare(newRecord, info, static_cast<UInt16>(h - 1), false) >= 0)
        answer = h;
      else if (h == 1)
        answer = 0;
      else
        hi = h - 2;
    } else {
      if (h == n - 1 || c.compare(newRecord, info, static_cast<UInt16>(h + 1), false) < 0)
        answer = h + 1;
      else if (h + 1 == n - 1)
        answer = n;
      else
        lo = h + 2;
    }
  }
  if (answer < 0) answer = binarySearch(c, newRecord, info, lo, hi, false);
  setLE16(db.access + Access::kHint, static_cast<UInt16>(answer));
  return static_cast<UInt16>(answer);
}

UInt16 DmFindSortPosition(DmOpenRef dbP, void* newRecord, SortRecordInfoType* newRecordInfo, EmuAddr compar,
                          Int16 other) {
  return FindSortPosition(dbP, newRecord, newRecordInfo, {compar, nullptr}, other);
}

UInt16 DmFindSortPositionV10(DmOpenRef dbP, void* newRecord, EmuAddr compar, Int16 other) {
  return FindSortPosition(dbP, newRecord, nullptr, {compar, nullptr}, other);
}
