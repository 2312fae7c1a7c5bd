#include "storage/sharedlibraries.h"
#include <cstring>
#include "emulator/context/Callbacks.h"
#include "host/Globals.h"
#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/DATAMGR.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

namespace {

constexpr Err sysErrParamErr = sysErrorClass | 2;
constexpr Err sysErrNoFreeLibSlots = sysErrorClass | 9;
constexpr Err sysErrLibNotFound = sysErrorClass | 10;
constexpr UInt16 kSlotsPerGrowth = 5;
constexpr UInt16 kFirstLibraryTrap = 0xA800;
constexpr UInt16 kSystemOwner = 0;  // launch clean-up never frees the table

struct SharedLibrariesGlobals {
  MemHandle table = 0;
  UInt8* entries = nullptr;  // the table, kept locked
  UInt16 slotCount = 0;
};

SharedLibrariesGlobals* globals() { return getGlobalsAs<SharedLibrariesGlobals>(ModuleId::SharedLibraries); }

UInt8* entry(UInt16 refNum) { return globals()->entries + refNum * SysLibTblEntry68K::size; }
UInt32 field(UInt16 refNum, UInt32 offset) { return get32(entry(refNum) + offset); }

bool validLibRef(UInt16 refNum) {
  SharedLibrariesGlobals* g = globals();
  return g && refNum < g->slotCount && field(refNum, SysLibTblEntry68K::dispatchTblP) != 0;
}

void clearSlot(UInt16 refNum) { std::memset(entry(refNum), 0, SysLibTblEntry68K::size); }

void mustSucceed(Err err) { QV_ASSERT(err == errNone); }

UInt16 allocLibSlot() {
  SharedLibrariesGlobals* g = globals();
  if (!g->table) {
    MemHandle h = MemHandleNew(kSlotsPerGrowth * SysLibTblEntry68K::size);
    if (!h) return kNoLibRefNum;
    MemHandleSetOwner(h, kSystemOwner);
    g->table = h;
    g->entries = static_cast<UInt8*>(MemHandleLock(h));
    g->slotCount = kSlotsPerGrowth;
    std::memset(g->entries, 0, kSlotsPerGrowth * SysLibTblEntry68K::size);
    return 1;
  }
  for (UInt16 slot = 1; slot < g->slotCount; ++slot)
    if (field(slot, SysLibTblEntry68K::dispatchTblP) == 0) return slot;
  mustSucceed(MemHandleUnlock(g->table));
  UInt16 oldCount = g->slotCount;
  Err resized = MemHandleResize(g->table, (oldCount + kSlotsPerGrowth) * SysLibTblEntry68K::size);
  g->entries = static_cast<UInt8*>(MemHandleLock(g->table));
  QV_ASSERT(g->entries != nullptr);
  if (resized != errNone) return kNoLibRefNum;
  g->slotCount = oldCount + kSlotsPerGrowth;
  std::memset(entry(oldCount), 0, kSlotsPerGrowth * SysLibTblEntry68K::size);
  return oldCount;
}

const Char* libraryName(UInt16 refNum) {
  auto* table = static_cast<const UInt8*>(fromEmu(field(refNum, SysLibTblEntry68K::dispatchTblP)));
  return reinterpret_cast<const Char*>(table + get16(table));
}

struct FixedLibrary {
  const char* name;
  UInt16 refNum;
};

// Native libraries offered under their own names. IrDA, Bluetooth and the
// scanner library are not offered: nothing enables them.
constexpr FixedLibrary kFixedLibraries[] = {
    {"Net.lib", kNetLibRefNum},
    {"Serial Library", kSerialLibRefNum},
    {"IrOBEX-Qvrn", kIrOBEXLibRefNum},
    {"ExgLocal Library-locl", kExgLocalLibRefNum},
};

}  // namespace

Boolean SharedLibrariesInit() {
  static SharedLibrariesGlobals instance;
  instance = SharedLibrariesGlobals{};
  setGlobals(ModuleId::SharedLibraries, &instance);
  StorageSeams seams{};
  seams.loadedLibRef = GetLoadedLibRef;
  setStorageSeams(seams);
  return true;
}

Err SysLibInstall(EmuAddr installProc, UInt16* refNumP) {
  UInt16 slot = allocLibSlot();
  if (slot == kNoLibRefNum) return memErrorClass | 2;
  if (refNumP) *refNumP = slot;
  return CallLibStartup(installProc, slot, entry(slot));
}

Err SysLibLoad(UInt32 libType, UInt32 libCreator, UInt16* refNumP) {
  UInt16 slot = allocLibSlot();
  if (slot == kNoLibRefNum) return sysErrNoFreeLibSlots;
  DmSearchStateType search;
  UInt16 card = 0;
  LocalID dbID = 0;
  Err err = sysErrLibNotFound;
  if (DmGetNextDatabaseByTypeCreator(true, &search, libType, libCreator, true, &card, &dbID) == errNone) {
    set32(entry(slot) + SysLibTblEntry68K::dbID, dbID);
    if (DmOpenRef db = DmOpenDatabase(card, dbID, dmModeReadOnly)) {
      MemHandle code = DmGet1Resource(FourCCs::libr, 0);
      if (code) {
        set32(entry(slot) + SysLibTblEntry68K::codeRscH, code);
        void* start = MemHandleLock(code);
        err = CallLibStartup(toEmu(start), slot, entry(slot));
        if (err != errNone) MemHandleUnlock(code);
      }
      DmCloseDatabase(db);
    }
  }
  if (err != errNone) {
    clearSlot(slot);
    if (refNumP) *refNumP = kNoLibRefNum;
    return err;
  }
  if (refNumP) *refNumP = slot;
  return errNone;
}

Err SysLibFind(const Char* nameP, UInt16* refNumP) {
  if (!nameP || !refNumP) return sysErrParamErr;
  for (const FixedLibrary& f : kFixedLibraries) {
    if (std::strcmp(nameP, f.name) == 0) {
      *refNumP = f.refNum;
      return errNone;
    }
  }
  SharedLibrariesGlobals* g = globals();
  for (UInt16 slot = 0; g && slot < g->slotCount; ++slot) {
    if (validLibRef(slot) && std::strcmp(libraryName(slot), nameP) == 0) {
      *refNumP = slot;
      return errNone;
    }
  }
  *refNumP = kNoLibRefNum;
  return sysErrLibNotFound;
}

Err SysLibRemove(UInt16 refNum) {
  if (!validLibRef(refNum)) return sysErrParamErr;
  if (MemHandle code = field(refNum, SysLibTblEntry68K::codeRscH)) {
    mustSucceed(MemHandleUnlock(code));
    mustSucceed(DmReleaseResource(code));
  }
  clearSlot(refNum);
  return errNone;
}

void* SysLibTblEntry(UInt16 refNum) { return validLibRef(refNum) ? entry(refNum) : nullptr; }

EmuAddr LibDispatch(UInt16 refNum, UInt16 trap) {
  if (refNum == kNoLibRefNum || trap < kFirstLibraryTrap || !validLibRef(refNum)) return 0;
  EmuAddr table = field(refNum, SysLibTblEntry68K::dispatchTblP);
  auto offset = static_cast<Int16>(get16(fromEmu(table + 2 * (trap - kFirstLibraryTrap))));
  return table + offset;
}

UInt16 GetLoadedLibRef(LocalID dbID) {
  SharedLibrariesGlobals* g = globals();
  for (UInt16 slot = 1; g && slot < g->slotCount; ++slot)
    if (validLibRef(slot) && field(slot, SysLibTblEntry68K::dbID) == dbID) return slot;
  return kNoLibRefNum;
}

void UnloadAllSharedLibraries() {
  SharedLibrariesGlobals* g = globals();
  for (UInt16 slot = 1; g && slot < g->slotCount; ++slot)
    if (validLibRef(slot)) SysLibRemove(slot);
}
