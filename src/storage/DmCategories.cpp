// Records by category: counting, positions, seeking, and moving or deleting
// a whole category.
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/memorymgr.h"

namespace {
bool CategoryMatch(UInt8 attr, UInt16 category, bool showSecret) {
  if (category != dmAllCategories && category != (attr & dmRecAttrCategoryMask)) return false;
  if (attr & dmRecAttrDelete) return false;
  return !(attr & dmRecAttrSecret) || showSecret;
}

bool showSecret(const EntryRef& db) { return Access::mode(db.access) & dmModeShowSecret; }

// Visits the records of an open record database in index order, with their
// index, until visit returns false.
template <typename Visit>
void forEachRecord(const EntryRef& db, Visit visit) {
  UInt16 index = 0;
  bool go = true;
  forEachEntry(db.header, [&](UInt8* e) {
    if (go) go = visit(index++, e);
  });
}

UInt8* entryAt(DmOpenRef ref, UInt16 index) {
  EntryRef db;
  return FindByIndex(ref, false, false, index, &db) ? nullptr : db.entry;
}
}  // namespace

UInt16 DmNumRecordsInCategory(DmOpenRef dbP, UInt16 category) {
  EntryRef db;
  if (CheckAccess(dbP, false, false, &db)) return 0;
  UInt16 n = 0;
  forEachRecord(db, [&](UInt16, UInt8* e) {
    n += CategoryMatch(RecEntry::attributes(e), category, showSecret(db));
    return true;
  });
  return n;
}

MemHandle DmQueryNextInCategory(DmOpenRef dbP, UInt16* indexP, UInt16 category) {
  EntryRef db;
  if (Err err = CheckAccess(dbP, false, false, &db)) return setLastErr(err), 0;
  if (!indexP) return setLastErr(dmErrInvalidParam), 0;
  UInt16 numRecords = OpenInfo::numRecords(db.openInfo);
  UInt16 start = *indexP;
  if (start == dmMaxRecordIndex && numRecords) start = numRecords - 1;
  if (start >= numRecords) return setLastErr(dmErrIndexOutOfRange), 0;
  for (UInt16 i = start; i < numRecords; ++i) {
    UInt8* e = entryAt(dbP, i);
    if (e && CategoryMatch(RecEntry::attributes(e), category, showSecret(db))) {
      *indexP = i;
      setLastErr(errNone);
      return RecEntry::chunkID(e) & ~1u;
    }
  }
  return setLastErr(dmErrCantFind), 0;
}

UInt16 DmPositionInCategory(DmOpenRef dbP, UInt16 index, UInt16 category) {
  EntryRef db;
  if (Err err = CheckAccess(dbP, false, false, &db)) return setLastErr(err), 0;
  UInt16 numRecords = OpenInfo::numRecords(db.openInfo);
  if (index == dmMaxRecordIndex) index = static_cast<UInt16>(numRecords - 1);
  if (index > numRecords) return setLastErr(dmErrIndexOutOfRange), 0;
  UInt16 position = 0;
  forEachRecord(db, [&](UInt16 i, UInt8* e) {
    if (i >= index) return false;
    position += CategoryMatch(RecEntry::attributes(e), category, showSecret(db));
    return true;
  });
  setLastErr(errNone);
  return position;
}

Err DmSeekRecordInCategory(DmOpenRef dbP, UInt16* indexP, UInt16 offset, Int16 direction, UInt16 category) {
  EntryRef db;
  if (Err err = CheckAccess(dbP, false, false, &db)) return setLastErr(err);
  if (!indexP) return setLastErr(dmErrInvalidParam);
  Int32 numRecords = OpenInfo::numRecords(db.openInfo);
  if (numRecords == 0) return setLastErr(dmErrSeekFailed);
  Int32 step = direction == dmSeekForward ? 1 : -1;
  Int32 i = *indexP;
  if (i == dmMaxRecordIndex || (i >= numRecords && step < 0)) i = numRecords - 1;
  for (; i >= 0 && i < numRecords; i += step) {
    UInt8* e = entryAt(dbP, static_cast<UInt16>(i));
    if (!e) break;
    if (!CategoryMatch(RecEntry::attributes(e), category, showSecret(db))) continue;
    *indexP = static_cast<UInt16>(i);
    if (offset == 0) return setLastErr(errNone);
    --offset;
  }
  return setLastErr(dmErrSeekFailed);
}

Err DmMoveCategory(DmOpenRef dbP, UInt16 toCategory, UInt16 fromCategory, Boolean dirty) {
  EntryRef db;
  if (Err err = CheckAccess(dbP, false, false, &db)) return err;
  UInt16 numRecords = OpenInfo::numRecords(db.openInfo);
  if (numRecords == 0) return errNone;
  if (!(Access::mode(db.access) & dmModeWrite)) return dmErrReadOnly;
  for (UInt16 i = 0; i < numRecords; ++i) {
    UInt16 attr;
    if (Err err = DmRecordInfo(dbP, i, &attr, nullptr, nullptr)) return err;
    if ((attr & dmRecAttrCategoryMask) != fromCategory) continue;
    attr = static_cast<UInt16>((attr & 0xF0) | (toCategory & dmRecAttrCategoryMask) | (dirty ? dmRecAttrDirty : 0));
    if (Err err = DmSetRecordInfo(dbP, i, &attr, nullptr)) return err;
  }
  return errNone;
}

// Records deleted or archived before are passed over: they are gone from the
// category already, and stopping at them would leave the rest undeleted.
Err DmDeleteCategory(DmOpenRef dbR, UInt16 categoryNum) {
  EntryRef db;
  if (Err err = CheckAccess(dbR, false, false, &db)) return err;
  UInt16 numRecords = OpenInfo::numRecords(db.openInfo);
  for (UInt16 i = 0; i < numRecords; ++i) {
    UInt16 attr;
    if (Err err = DmRecordInfo(dbR, i, &attr, nullptr, nullptr)) return err;
    if ((attr & dmRecAttrCategoryMask) != categoryNum || (attr & dmRecAttrDelete)) continue;
    if (Err err = DmDeleteRecord(dbR, i)) return err;
  }
  return errNone;
}
