// Start-up and close-down of the Feature Manager: the feature database is
// opened (or made), feature memory is locked again where it now lies, the
// features the host supplies are refreshed, features earlier runs left
// behind are reset and the system features set.
#include <cstdio>
#include <new>

#include "host/Globals.h"
#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/FeaturePrivate.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

namespace {
constexpr const Char* kFeatureDbName = "SystemFeatures-Qvrn";
constexpr UInt32 kTableType = fourCC("indx");
constexpr UInt16 kOpenMode = dmModeReadWrite | dmModeExclusive;
constexpr UInt32 kInitialSystemVersion = 0x05003000;

FeatureGlobals& g() { return *featureGlobals(); }

void setSys(UInt16 number, UInt32 value) { QV_ASSERT(FtrSet(FourCCs::psys, number, value) == errNone); }

void setDefaultSystemFeatures() {
  const FeatureEntry defaults[] = {
      {FourCCs::psys, kInitialSystemVersion, 1, 0},
      {FourCCs::psys, 0x00F00000, 2, 0},
      {FourCCs::psys, 0, 3, 0},
      {FourCCs::psys, 0, 4, 0},
      {fourCC("ovly"), 23, 5, 0},
      {fourCC("ovly"), 0, 6, 0},
      {FourCCs::psys, 16, 7, 0},
      {FourCCs::psys, 1, 10, 0},
      {FourCCs::psys, 3, 11, 0},
      {FourCCs::psys, 0, 12, 0},
      {FourCCs::psys, 1, 13, 0},
      {FourCCs::psys, 0, 15, 0},
      {FourCCs::psys, 0, 16, 0},
      {FourCCs::psys, GetQuorvaneVersionInt(), 18, 0},
      {FourCCs::psys, 0, 19, 0},
      {FourCCs::psys, fourCC("qvrn"), 20, 0},
      {FourCCs::psys, getSysFtrNumOEMDeviceID(), 21, 0},
      {FourCCs::psys, 5, 24, 0},
      {FourCCs::psys, 0, 25, 0},
      {fourCC("smgr"), 1, 1, 0},
      {fourCC("smgr"), 2, 2, 0},
      {fourCC("expn"), 512, 0, 0},
      {fourCC("vfsm"), 512, 0, 0},
      {fourCC("ovly"), 0x17000000, 1, 0},
      {fourCC("attn"), 0, 0, 0},
      {fourCC("sndm"), 100, 0, 0},
      {FourCCs::psys, 1, 17, 0},
      {fourCC("netl"), 0x03200000, 0, 0},
      {fourCC("QVLn"), 1, 1, 0},
  };
  for (const FeatureEntry& e : defaults) QV_ASSERT(setFeature(e) == errNone);
}

// Feature memory lies at a new address after a restart; an entry whose block
// is gone goes too.
void relockFeatureMemory() {
  FeatureGlobals& f = g();
  for (UInt32 i = 0; i < f.count;) {
    FeatureEntry e = getFeatureByIndex(i);
    if (!(e.flags & kFeatureMemoryFlag)) {
      ++i;
      continue;
    }
    UInt16 resIndex = DmFindResource(f.db, e.creator, e.number, 0);
    if (resIndex == 0xFFFF) {
      unregisterFeature(i);
      continue;
    }
    void* p = MemHandleLock(DmGetResourceIndex(f.db, resIndex));
    QV_ASSERT(p != nullptr);
    e.value = toEmu(p);
    setFeatureByIndex(i++, e);
  }
}

void openTable() {
  FeatureGlobals& f = g();
  UInt16 index = DmFindResource(f.db, kTableType, 0, 0);
  MemHandle h = index == 0xFFFF ? 0 : DmGetResourceIndex(f.db, index);
  if (!h) {
    h = DmNewResource(f.db, kTableType, 0, kFeatureEntrySize);
    QV_ASSERT(h != 0);
    f.tableH = h;
    f.table = static_cast<UInt8*>(MemHandleLock(h));
    QV_ASSERT(f.table != nullptr);
    f.count = 0;
    setDefaultSystemFeatures();
    return;
  }
  f.tableH = h;
  f.count = MemHandleSize(h) / kFeatureEntrySize;
  f.table = static_cast<UInt8*>(MemHandleLock(h));
  QV_ASSERT(f.table != nullptr);
  relockFeatureMemory();
}

void correctFeatures() {
  for (UInt32 i = 0; i < g().count; ++i) {
    FeatureEntry e = getFeatureByIndex(i);
    UInt32 value = 0;
    if (featureHost().getNative(e.creator, e.number, &value) == errNone && value != e.value) {
      e.value = value;
      setFeatureByIndex(i, e);
    }
  }
}

void eraseFeaturesForCreator(UInt32 creator) {
  for (UInt32 i = 0; i < g().count;) {
    FeatureEntry e = getFeatureByIndex(i);
    if (e.creator != creator) {
      ++i;
      continue;
    }
    if (!(e.flags & kFeatureMemoryFlag) || FtrPtrFree(e.creator, e.number) != errNone) unregisterFeature(i);
  }
}

void resetFeaturesOfEarlierRuns() {
  FtrSet(fourCC("pace"), 0, 0);
  const struct {
    UInt32 creator;
    UInt16 number;
  } gone[] = {{fourCC("lLLm"), 0},      {fourCC("libr"), 0x474C}, {fourCC("pkFw"), 0xAA03},
              {fourCC("pkFw"), 0xAA00}, {fourCC("Gtkr"), 0x536E}, {fourCC("BDIC"), 9876}};
  for (const auto& f : gone) FtrUnregister(f.creator, f.number);
  FtrSet(FourCCs::psys, 18, GetQuorvaneVersionInt());
  eraseFeaturesForCreator(fourCC("TNpt"));
  FtrUnregister(FourCCs::psys, 32);
}
}  // namespace

FeatureGlobals* featureGlobals() { return getGlobalsAs<FeatureGlobals>(ModuleId::Feature); }

LocalID featureDatabaseID() { return featureGlobals() ? featureGlobals()->dbID : 0; }

Boolean FeatureInit() {
  auto* f = new (std::nothrow) FeatureGlobals{};
  if (!f) return false;
  setGlobals(ModuleId::Feature, f);
  Err err = DmCreateDatabase(0, kFeatureDbName, FourCCs::Qvrn, fourCC("feat"), true);
  QV_ASSERT(err == errNone || err == dmErrAlreadyExists);
  f->dbID = DmFindDatabase(0, kFeatureDbName);
  QV_ASSERT(f->dbID != 0);
  f->db = DmOpenDatabase(0, f->dbID, kOpenMode);
  // An unreadable file is left as it is for whoever can mend it.
  if (!f->db) FatalF("The feature database \"%s\" cannot be opened (error 0x%04X)", kFeatureDbName, DmGetLastErr());
  openTable();
  correctFeatures();
  UInt32 version = 0;
  if (FtrGet(FourCCs::psys, 1, &version) == errNone)
    std::snprintf(f->osVersion, sizeof f->osVersion, "v.%d.%d", static_cast<int>(version >> 24),
                  static_cast<int>((version >> 16) & 0xFF));
  resetFeaturesOfEarlierRuns();
  setSys(25, 1);
  setSys(1, kSystemVersion);
  // Bluetooth is not offered by this host.
  FtrUnregister(fourCC("blth"), 0);
  StorageSeams seams{};
  seams.featureChunkRemoved = FeatureChunkRemoved;
  setStorageSeams(seams);
  return true;
}

void CloseFeatureDatabase() {
  FeatureGlobals* f = featureGlobals();
  if (!f) return;
  if (f->db) {
    for (UInt32 i = 0; i < f->count; ++i) {
      FeatureEntry e = getFeatureByIndex(i);
      if ((e.flags & kFeatureMemoryFlag) && e.value) MemPtrUnlock(fromEmu(e.value));
    }
    MemHandleUnlock(f->tableH);
    DmCloseDatabase(f->db);
    f->db = nullptr;
  }
  setGlobals(ModuleId::Feature, nullptr);
  delete f;
}

DmOpenRef GetFeatureDbRef() { return featureGlobals() ? featureGlobals()->db : nullptr; }

const Char* GetOSVersionString() { return featureGlobals() ? featureGlobals()->osVersion : ""; }
