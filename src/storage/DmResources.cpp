// The resource calls: finding a resource across the open resource databases
// (the newest first), and reading, adding, changing and removing resources.
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/DataMgrPrivate.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"
#include "storage/quorvanefile.h"

namespace {
constexpr UInt16 kNone = 0xFFFF;

namespace Rsrc {
inline UInt32 type(const UInt8* e) { return get32(e); }
inline UInt16 id(const UInt8* e) { return get16(e + 4); }
inline LocalID chunkID(const UInt8* e) { return get32(e + kResourceChunkOffset); }
}  // namespace Rsrc

UInt8* accessOf(DmOpenRef ref) { return static_cast<UInt8*>(ref); }

bool isResourceRef(const UInt8* ref) { return OpenInfo::flags(Access::openInfo(ref)) & OpenInfo::kResDB; }

UInt8* headerOf(const UInt8* ref) { return OpenInfo::header(Access::openInfo(ref)); }

// The index of the entry with that handle (when given) or that type and id;
// the handle of the entry found goes to *handleP. kNone when none matches.
UInt16 FindResource(DmOpenRef ref, UInt32 type, UInt16 id, MemHandle* handleP) {
  if (!isResourceRef(accessOf(ref))) return kNone;
  UInt16 index = 0;
  UInt16 found = kNone;
  forEachEntry(headerOf(accessOf(ref)), [&](UInt8* e) {
    if (found != kNone) return;
    bool match = *handleP ? entryHandle(Rsrc::chunkID(e)) == *handleP : (Rsrc::type(e) == type && Rsrc::id(e) == id);
    if (match) found = index;
    ++index;
  });
  if (found != kNone && !*handleP) {
    EntryRef db;
    FindByIndex(ref, false, true, found, &db);
    *handleP = entryHandle(Rsrc::chunkID(db.entry));
  }
  return found;
}

Err AttachResource(DmOpenRef ref, UInt32 type, UInt16 id, MemHandle h) {
  EntryRef db;
  if (Err err = CheckAccess(ref, true, true, &db)) return err;
  if (!ValidMemHandle(h)) return dmErrInvalidParam;
  if (MemHandleCardNo(h) != OpenInfo::cardNo(db.openInfo)) return dmErrRecordInWrongCard;
  if (!MemHandleDataStorage(h)) return dmErrInvalidParam;
  if (ChunkHeldByDatabase(OpenInfo::cardNo(db.openInfo), h)) return dmErrInvalidParam;
  UInt16 at = OpenInfo::numRecords(db.openInfo);
  UInt8* e;
  if (Err err = InsertEntry(db, &at, &e)) return err;
  set32(e, type);
  set16(e + 4, id);
  set32(e + kResourceChunkOffset, MemHandleToLocalID(h));
  DbHdr::markChanged(db.header);
  SetMemPtrDBID(MemHandleDataPtr(h), OpenInfo::hdrID(db.openInfo));
  return errNone;
}

// A resource database of type 'ovly' opened for reading: a locale overlay.
bool isOverlay(const UInt8* ref) {
  return isResourceRef(ref) && !(Access::mode(ref) & dmModeWrite) && DbHdr::type(headerOf(ref)) == fourCC("ovly");
}
}  // namespace

UInt16 DmFindResource(DmOpenRef dbP, UInt32 resType, UInt16 resID, MemHandle resH) {
  if (!ValidAccessPtr(dbP)) return kNone;
  return FindResource(dbP, resType, resID, &resH);
}

MemHandle DmGetResource(UInt32 type, UInt16 resID) {
  for (EmuAddr a = GetDmAccessList(); a; a = get32(fromEmu(a))) {
    MemHandle h = 0;
    if (FindResource(fromEmu(a), type, resID, &h) != kNone) {
      setLastErr(errNone);
      return h;
    }
  }
  setLastErr(dmErrResourceNotFound);
  return 0;
}

MemHandle DmGet1Resource(UInt32 type, UInt16 resID) {
  setLastErr(errNone);
  DmOpenRef newest = DmNextOpenResDatabase(nullptr);
  if (!newest) return setLastErr(dmErrResourceNotFound), 0;
  MemHandle h = 0;
  if (FindResource(newest, type, resID, &h) != kNone) return h;
  // A locale overlay stands in front of its base, opened just before it.
  DmOpenRef base = isOverlay(accessOf(newest)) ? DmNextOpenDatabase(newest) : nullptr;
  if (base && FindResource(base, type, resID, &h) != kNone) return h;
  return setLastErr(dmErrResourceNotFound), 0;
}

DmOpenRef DmNextOpenResDatabase(DmOpenRef dbP) {
  if (dbP && !ValidAccessPtr(dbP)) return nullptr;
  for (DmOpenRef ref = DmNextOpenDatabase(dbP); ref; ref = DmNextOpenDatabase(ref))
    if (isResourceRef(accessOf(ref))) return ref;
  return nullptr;
}

UInt16 DmSearchResource(UInt32 resType, UInt16 resID, MemHandle resH, DmOpenRef* dbPP) {
  for (EmuAddr a = GetDmAccessList(); a; a = get32(fromEmu(a))) {
    MemHandle h = resH;
    UInt16 index = FindResource(fromEmu(a), resType, resID, &h);
    if (index != kNone) {
      if (dbPP) *dbPP = fromEmu(a);
      return index;
    }
  }
  if (dbPP) *dbPP = nullptr;
  return kNone;
}

UInt16 DmFindResourceType(DmOpenRef dbP, UInt32 resType, UInt16 typeIndex) {
  EntryRef db;
  if (CheckAccess(dbP, false, true, &db)) return kNone;
  UInt16 index = 0;
  UInt16 found = kNone;
  UInt32 seen = 0;
  forEachEntry(db.header, [&](UInt8* e) {
    if (found == kNone && Rsrc::type(e) == resType && seen++ == typeIndex) found = index;
    ++index;
  });
  return found;
}

UInt16 DmNumResources(DmOpenRef dbP) {
  return ValidAccessPtr(dbP) ? OpenInfo::numRecords(Access::openInfo(accessOf(dbP))) : 0;
}

Err DmResourceInfo(DmOpenRef dbP, UInt16 index, UInt32* resTypeP, UInt16* resIDP, LocalID* chunkLocalIDP) {
  if (resTypeP) *resTypeP = 0;
  if (resIDP) *resIDP = 0;
  if (chunkLocalIDP) *chunkLocalIDP = 0;
  EntryRef db;
  if (Err err = FindByIndex(dbP, false, true, index, &db)) return err;
  if (resTypeP) *resTypeP = Rsrc::type(db.entry);
  if (resIDP) *resIDP = Rsrc::id(db.entry);
  if (chunkLocalIDP) *chunkLocalIDP = Rsrc::chunkID(db.entry);
  return errNone;
}

Err DmSetResourceInfo(DmOpenRef dbP, UInt16 index, UInt32* resTypeP, UInt16* resIDP) {
  EntryRef db;
  if (Err err = FindByIndex(dbP, true, true, index, &db)) return err;
  if (resTypeP) set32(db.entry, *resTypeP);
  if (resIDP) set16(db.entry + 4, *resIDP);
  DbHdr::markChanged(db.header);
  return errNone;
}

Err DmAttachResource(DmOpenRef dbP, MemHandle newH, UInt32 resType, UInt16 resID) {
  if (!ValidAccessPtr(dbP)) return dmErrInvalidParam;
  if (IsArmCodeChunk(resType) && !IsChunkExecutable(MemHandleDataPtr(newH))) ReplaceWithExecutableChunk(newH);
  return AttachResource(dbP, resType, resID, newH);
}

// A removed entry is a change even without a chunk: the file must lose it too.
Err DmDetachResource(DmOpenRef dbP, UInt16 index, MemHandle* oldHP) {
  EntryRef db;
  if (Err err = FindByIndex(dbP, true, true, index, &db)) return err;
  LocalID chunkID = Rsrc::chunkID(db.entry);
  if (Err err = RemoveEntry(db, index)) return err;
  DbHdr::markChanged(db.header);
  if (void* p = chunkID ? MemHandleDataPtr(entryHandle(chunkID)) : nullptr) SetMemPtrDBID(p, 0);
  if (oldHP) *oldHP = entryHandle(chunkID);
  return errNone;
}

MemHandle DmNewResource(DmOpenRef dbP, UInt32 resType, UInt16 resID, UInt32 size) {
  if (!ValidAccessPtr(dbP)) return setLastErr(dmErrInvalidParam), 0;
  if (size == 0) return setLastErr(dmErrMemError), 0;
  bool executable = IsArmCodeChunk(resType);
  MemHandle h = GetNewChunk(OpenInfo::cardNo(Access::openInfo(accessOf(dbP))), 1, size, true, 0, executable);
  if (!h) return setLastErr(memErrNotEnoughSpace), 0;
  if (Err err = AttachResource(dbP, resType, resID, h)) {
    MemHandleFree(h);
    return setLastErr(err), 0;
  }
  if (executable) EnableWriteProtection(MemHandleDataPtr(h));
  setLastErr(errNone);
  return h;
}

Err DmRemoveResource(DmOpenRef dbP, UInt16 index) {
  MemHandle h = 0;
  if (Err err = DmDetachResource(dbP, index, &h)) return err;
  if (!h) return errNone;
  // The running application's code may still be executing from it.
  const UInt8* info = Access::openInfo(accessOf(dbP));
  if (IsCurrentAppDatabase(OpenInfo::cardNo(info), OpenInfo::hdrID(info)))
    MemHandleFree_Delayed(h);
  else
    MemHandleFree(h);
  return errNone;
}

MemHandle DmResizeResource(MemHandle resourceH, UInt32 newSize) {
  if (Err err = MemHandleResize(resourceH, newSize)) return setLastErr(err), 0;
  if (UInt8* hdr = databaseHeader(GetMemPtrDBID(MemHandleDataPtr(resourceH)))) DbHdr::markChanged(hdr);
  setLastErr(errNone);
  return resourceH;
}

Err DmReleaseResource(MemHandle) { return errNone; }

MemHandle DmGetResourceIndex(DmOpenRef dbP, UInt16 index) {
  EntryRef db;
  if (Err err = FindByIndex(dbP, false, true, index, &db)) return setLastErr(err), 0;
  return entryHandle(Rsrc::chunkID(db.entry));
}
