// The feature table: one 'indx' 0 resource of the feature database holding
// 12-byte entries sorted by creator, then number. Every change goes through
// DmWrite or a resource change, so the database is saved with the others.
#include "storage/Feature.h"

#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/FeaturePrivate.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

namespace {
constexpr UInt32 kSysCharEncoding = 11;

FeatureGlobals& g() { return *featureGlobals(); }

bool ready() { return featureGlobals() && g().db; }

int compareKey(UInt32 creator, UInt16 number, const FeatureEntry& e) {
  if (creator != e.creator) return creator < e.creator ? -1 : 1;
  if (number != e.number) return number < e.number ? -1 : 1;
  return 0;
}

// The chunk handle of a feature memory block, 0 when the entry holds none
// that lives in the feature database.
MemHandle memoryHandle(const FeatureEntry& e) {
  if (!(e.flags & kFeatureMemoryFlag) || !e.value) return 0;
  void* p = fromEmu(e.value);
  MemHandle h = MemPtrRecoverHandle(p);
  if (!h || GetMemPtrDBID(p) != featureDatabaseID()) return 0;
  return h;
}

bool currentAppIsCESF() {
  UInt16 card = 0;
  LocalID id = 0;
  storageSeams().currentAppDatabase(&card, &id);
  UInt32 type = 0, creator = 0;
  if (!id || DmDatabaseInfo(card, id, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            &type, &creator))
    return false;
  return type == FourCCs::appl && creator == fourCC("CESF");
}

// The resource index of the feature database's block for (creator, number).
UInt16 findMemoryResource(UInt32 creator, UInt16 number) { return DmFindResource(g().db, creator, number, 0); }
}  // namespace

FeatureEntry getFeatureByIndex(UInt32 index) {
  const UInt8* p = g().table + index * kFeatureEntrySize;
  return {getLE32(p), getLE32(p + 4), getLE16(p + 8), getLE16(p + 10)};
}

void setFeatureByIndex(UInt32 index, const FeatureEntry& e) {
  UInt8 bytes[kFeatureEntrySize];
  setLE32(bytes, e.creator);
  setLE32(bytes + 4, e.value);
  setLE16(bytes + 8, e.number);
  setLE16(bytes + 10, e.flags);
  QV_ASSERT(DmWrite(g().table, index * kFeatureEntrySize, bytes, kFeatureEntrySize) == errNone);
}

bool findIndex(UInt32 creator, UInt16 number, UInt32* indexP) {
  UInt32 low = 0, high = g().count;
  while (low != high) {
    UInt32 index = (low + high) / 2;
    int c = compareKey(creator, number, getFeatureByIndex(index));
    if (c == 0) {
      *indexP = index;
      return true;
    }
    if (c > 0)
      low = index + 1;
    else
      high = index;
  }
  *indexP = low;
  return false;
}

Err resizeTable(UInt32 entries) {
  FeatureGlobals& f = g();
  QV_ASSERT(MemHandleUnlock(f.tableH) == errNone);
  MemHandle h = DmResizeResource(f.tableH, entries * kFeatureEntrySize);
  if (h) f.tableH = h;
  f.table = static_cast<UInt8*>(MemHandleLock(f.tableH));
  QV_ASSERT(f.table != nullptr);
  return h ? errNone : memErrNotEnoughSpace;
}

Err registerFeature(UInt32 index, const FeatureEntry& e) {
  FeatureGlobals& f = g();
  if ((f.count + 1) * kFeatureEntrySize > MemHandleSize(f.tableH))
    if (Err err = resizeTable(f.count + 1)) return err;
  if (index < f.count)
    QV_ASSERT(DmWrite(f.table, (index + 1) * kFeatureEntrySize, f.table + index * kFeatureEntrySize,
                      (f.count - index) * kFeatureEntrySize) == errNone);
  ++f.count;
  setFeatureByIndex(index, e);
  return errNone;
}

void unregisterFeature(UInt32 index) {
  FeatureGlobals& f = g();
  if (index + 1 < f.count)
    QV_ASSERT(DmWrite(f.table, index * kFeatureEntrySize, f.table + (index + 1) * kFeatureEntrySize,
                      (f.count - index - 1) * kFeatureEntrySize) == errNone);
  --f.count;
  resizeTable(f.count);
}

Err setFeature(const FeatureEntry& e) {
  UInt32 index;
  if (findIndex(e.creator, e.number, &index)) {
    setFeatureByIndex(index, e);
    return errNone;
  }
  return registerFeature(index, e);
}

Err FtrGet(UInt32 creator, UInt16 featureNum, UInt32* valueP) {
  UInt32 index;
  bool found = ready() && findIndex(creator, featureNum, &index);
  UInt32 value = found ? getFeatureByIndex(index).value : 0;
  if (valueP) *valueP = value;
  return found ? errNone : ftrErrNoSuchFeature;
}

// An encoding without a code page cannot become the system's.
Err FtrSet(UInt32 creator, UInt16 featureNum, UInt32 newValue) {
  if (!ready()) return memErrNotEnoughSpace;
  if (creator == FourCCs::psys && featureNum == kSysCharEncoding &&
      QvnIsCharEncodingAvailable(static_cast<UInt8>(newValue & 0xFF)))
    return ftrErrInvalidParam;
  if (Err err = setFeature({creator, newValue, featureNum, 0})) return err;
  if (creator == fourCC("QVLn")) featureHost().privateAppService(featureNum, newValue);
  return errNone;
}

Err FtrUnregister(UInt32 creator, UInt16 featureNum) {
  UInt32 index;
  if (!ready() || !findIndex(creator, featureNum, &index)) return ftrErrNoSuchFeature;
  if (creator == fourCC("CESF") && featureNum >= 15 && featureNum <= 18 && currentAppIsCESF()) return errNone;
  unregisterFeature(index);
  return errNone;
}

Err FtrGetByIndex(UInt16 index, Boolean, UInt32* creatorP, UInt16* numP, UInt32* valueP) {
  if (!ready() || index >= g().count) return ftrErrNoSuchFeature;
  FeatureEntry e = getFeatureByIndex(index);
  if (creatorP) *creatorP = e.creator;
  if (numP) *numP = e.number;
  if (valueP) *valueP = e.value;
  return errNone;
}

namespace {
// Takes back the lock the manager holds on a feature block; an application
// may have unlocked the block itself.
void releaseLock(MemHandle h) {
  if (MemHandleLockCount(h)) MemHandleUnlock(h);
}
}  // namespace

// A block left behind by a feature that was overwritten or unregistered goes
// first: two resources of one key would give the wrong block after a restart.
Err FtrPtrNew(UInt32 creator, UInt16 featureNum, UInt32 size, void** newPtrP) {
  if (size == 0) return memErrInvalidParam;
  if (!ready()) return memErrNotEnoughSpace;
  UInt32 index;
  if (findIndex(creator, featureNum, &index)) FtrPtrFree(creator, featureNum);
  UInt16 stale = findMemoryResource(creator, featureNum);
  if (stale != 0xFFFF) {
    MemHandle h = DmGetResourceIndex(g().db, stale);
    while (MemHandleLockCount(h)) MemHandleUnlock(h);
    DmRemoveResource(g().db, stale);
  }
  MemHandle h = DmNewResource(g().db, creator, featureNum, size);
  if (!h) return memErrNotEnoughSpace;
  void* p = MemHandleLock(h);
  if (setFeature({creator, toEmu(p), featureNum, kFeatureMemoryFlag})) {
    MemHandleUnlock(h);
    DmRemoveResource(g().db, DmFindResource(g().db, 0, 0, h));
    return memErrNotEnoughSpace;
  }
  if (newPtrP) *newPtrP = p;
  return errNone;
}

// Only a block this manager made is freed: a value an application set
// through FtrSet is not its to free.
Err FtrPtrFree(UInt32 creator, UInt16 featureNum) {
  UInt32 index;
  if (!ready() || !findIndex(creator, featureNum, &index)) return ftrErrNoSuchFeature;
  MemHandle h = memoryHandle(getFeatureByIndex(index));
  if (!h) return ftrErrInvalidParam;
  UInt16 resIndex = DmFindResource(g().db, 0, 0, h);
  if (resIndex == 0xFFFF) return ftrErrInvalidParam;
  releaseLock(h);
  QV_ASSERT(DmRemoveResource(g().db, resIndex) == errNone);
  findIndex(creator, featureNum, &index);
  unregisterFeature(index);
  return errNone;
}

Err FtrPtrResize(UInt32 creator, UInt16 featureNum, UInt32 newSize, void** newPtrP) {
  if (newSize == 0) return memErrInvalidParam;
  UInt32 index;
  if (!ready() || !findIndex(creator, featureNum, &index)) return ftrErrNoSuchFeature;
  FeatureEntry e = getFeatureByIndex(index);
  MemHandle h = memoryHandle(e);
  if (!h) return ftrErrInvalidParam;
  releaseLock(h);
  MemHandle resized = DmResizeResource(h, newSize);
  void* p = MemHandleLock(h);
  QV_ASSERT(p != nullptr);
  if (newPtrP) *newPtrP = p;
  e.value = toEmu(p);
  setFeatureByIndex(index, e);
  return resized ? errNone : memErrNotEnoughSpace;
}

Boolean FeatureChunkRemoved(void* p) {
  if (!featureGlobals() || !g().db || GetMemPtrDBID(p) != featureDatabaseID()) return false;
  MemHandle h = MemPtrRecoverHandle(p);
  UInt16 resIndex = h ? DmFindResource(g().db, 0, 0, h) : 0xFFFF;
  UInt32 type = 0;
  UInt16 id = 0;
  if (resIndex == 0xFFFF || DmResourceInfo(g().db, resIndex, &type, &id, nullptr)) return false;
  return FtrPtrFree(type, id) == errNone;
}
