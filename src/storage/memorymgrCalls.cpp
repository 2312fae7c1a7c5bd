// The Palm calls on single chunks: allocation entries, locking, facts,
// owners and LocalIDs.
#include <cstring>

#include "host/HostMemory.h"
#include "host/Reporting.h"
#include "host/arena/Arena.h"
#include "palm/ErrorCodes.h"
#include "storage/MemoryMgrPrivate.h"
#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

using namespace Chunk;

namespace {
constexpr EmuAddr kLowestData = Arena68K::kBase + kHeaderSize;

UInt8 currentOwner() { return static_cast<UInt8>(GetLauncheeDepth() & 15); }

// The master block of a handle, when the handle names a live block that can
// hold one: a handle from an application may name unmapped arena pages.
UInt8* masterBlock(MemHandle h) {
  if (!(h & Arena68K::kMirrorBit)) return nullptr;
  EmuAddr m = Arena68K::unmirror(h);
  if (!Arena68K::inArena(m) || (m & 1) || Arena::usableSize(fromEmu(m)) < kMasterSize) return nullptr;
  return fromEmuAs<UInt8>(m);
}

// The header in front of p when it is the start of a live host block: a
// pointer from an application may point anywhere, into freed executable
// pages included, and must not be read before this is known.
UInt8* headerOrNull(const void* p) {
  EmuAddr a = p ? toEmu(p) : 0;
  if (a < kLowestData || !Arena68K::inArena(a)) return nullptr;
  UInt8* hdr = header(p);
  switch (a & 7) {
    case 0:  // a chunk of the byte heap
      return Arena::usableSize(hdr) >= kHeaderSize ? hdr : nullptr;
    case 4:  // an executable chunk, 4 bytes into its pages
      return Arena::pageRunSize(hdr - 4) != 0 ? hdr : nullptr;
    default:
      return nullptr;
  }
}

// The header for a call that warns on an invalid chunk and answers anyway.
UInt8* headerWarning(const void* p, const char* warning) {
  UInt8* hdr = validHeader(p);
  if (!hdr && p) WarningF("%s", warning);
  return hdr;
}

// An executable chunk's header shares the pages of its code: while they are
// write-protected, a header change lifts the protection for its duration.
class HeaderWrite {
 public:
  explicit HeaderWrite(UInt8* hdr) : hdr_(hdr), protect_(isWriteProtected(hdr)) {
    if (protect_) writeProtectExecutableMemory(false, hdr_);
  }
  ~HeaderWrite() {
    if (protect_) writeProtectExecutableMemory(true, hdr_);
  }
  HeaderWrite(const HeaderWrite&) = delete;
  HeaderWrite& operator=(const HeaderWrite&) = delete;

 private:
  UInt8* hdr_;
  bool protect_;
};

void changeLockCount(UInt8* hdr, UInt8 n) {
  HeaderWrite w(hdr);
  setLockCount(hdr, n);
}

void* handlePtr(MemHandle h) {
  UInt8* m = masterBlock(h);
  return m ? fromEmu(get32(m)) : nullptr;
}
}  // namespace

UInt8* validHeader(const void* p) {
  UInt8* hdr = headerOrNull(p);
  return hdr && hasMagic(hdr) ? hdr : nullptr;
}

Boolean ValidChunk(const void* p) { return validHeader(p) != nullptr; }

Boolean ValidMemHandle(MemHandle h) {
  UInt8* m = masterBlock(h);
  return m && get32(m + 4) == kMasterMagic;
}

void* MemHandleDataPtr(MemHandle h) { return ValidMemHandle(h) ? handlePtr(h) : nullptr; }

// A valid master block always points at a live chunk: only the magic is checked.
UInt8* handleHeader(MemHandle h) {
  if (!ValidMemHandle(h)) return nullptr;
  UInt8* hdr = header(handlePtr(h));
  return hasMagic(hdr) ? hdr : nullptr;
}

MemHandle recoverHandle(UInt8* hdr) {
  if (!isMovable(hdr)) return 0;
  UInt8* master = masterOf(hdr);
  if (!master || get32(master) != toEmu(data(hdr))) return 0;
  return Arena68K::kMirrorBit | toEmu(master);
}

void* MemPtrNew(UInt32 size) { return fromEmu(GetNewChunk(0, 0, size, false, currentOwner(), false)); }

void* MemPtrNew_External(UInt32 size) { return size ? MemPtrNew(size) : nullptr; }

MemHandle MemHandleNew(UInt32 size) { return GetNewChunk(0, 0, size, true, currentOwner(), false); }

MemHandle MemHandleNew_External(UInt32 size) { return size ? MemHandleNew(size) : 0; }

EmuAddr MemChunkNew(UInt16 heapID, UInt32 size, UInt16 attr) {
  if (size == 0) return 0;
  UInt8 owner = heapID == 0 ? currentOwner() : 0;
  if (attr & memNewChunkFlagNonMovable) return GetNewChunk(0, heapID, size, false, owner, false);
  MemHandle h = GetNewChunk(0, heapID, size, true, owner, false);
  if (h && (attr & memNewChunkFlagPreLock)) return toEmu(MemHandleLock(h));
  return h;
}

Err MemChunkFree(void* p) {
  UInt8* hdr = validHeader(p);
  if (!hdr) return memErrInvalidParam;
  FreeChunk(hdr);
  return errNone;
}

Err MemHandleFree(MemHandle h) {
  UInt8* hdr = handleHeader(h);
  if (!hdr || recoverHandle(hdr) != h) return memErrInvalidParam;
  FreeChunk(hdr);
  return errNone;
}

void* MemHandleLock(MemHandle h) {
  if (!ValidMemHandle(h)) return nullptr;
  UInt8* hdr = handleHeader(h);
  if (!hdr) WarningF("memorymgr - MemHandleLock warning: Invalid MemHandle");
  // A chunk without the magic is never written to.
  if (hdr && lockCount(hdr) < kMaxLocks) changeLockCount(hdr, lockCount(hdr) + 1);
  return handlePtr(h);
}

namespace {
Err unlock(UInt8* hdr) {
  UInt8 n = lockCount(hdr);
  if (n == 0 || n == kNonMovable) return memErrInvalidParam;
  changeLockCount(hdr, n - 1);
  return errNone;
}
}  // namespace

Err MemPtrUnlock(void* p) {
  if (!p) return memErrInvalidParam;
  UInt8* hdr = headerWarning(p, "memorymgr - MemPtrUnlock error: Invalid chunk");
  return hdr ? unlock(hdr) : memErrInvalidParam;
}

Err MemHandleUnlock(MemHandle h) {
  if (!ValidMemHandle(h)) return memErrInvalidParam;
  UInt8* hdr = handleHeader(h);
  if (!hdr) {
    WarningF("memorymgr - MemPtrUnlock error: Invalid chunk");
    return memErrInvalidParam;
  }
  return unlock(hdr);
}

Err MemPtrResetLock(void* p) {
  UInt8* hdr = validHeader(p);
  if (!hdr) {
    WarningF("memorymgr - MemPtrResetLock error: Invalid chunk");
    return memErrInvalidParam;
  }
  // A pointer chunk stays non-movable: 0 would make it read as a handle's chunk.
  if (isMovable(hdr)) changeLockCount(hdr, 0);
  return errNone;
}

Err MemHandleResetLock(MemHandle h) { return MemPtrResetLock(handlePtr(h)); }

UInt16 MemHandleLockCount(MemHandle h) {
  if (!ValidMemHandle(h)) return 0;
  UInt8* hdr = handleHeader(h);
  if (!hdr) WarningF("memorymgr - MemHandleLockCount warning: Invalid MemHandle");
  return hdr ? lockCount(hdr) : 0;
}

UInt16 MemPtrLockCount(void* p) {
  UInt8* hdr = headerWarning(p, "memorymgr - MemPtrLockCount warning: Invalid MemHandle");
  return hdr ? lockCount(hdr) : 0;
}

UInt32 MemPtrSize(void* p) {
  UInt8* hdr = validHeader(p);
  return hdr ? dataSize(hdr) : 0;
}

UInt32 MemHandleSize(MemHandle h) {
  UInt8* hdr = handleHeader(h);
  return hdr ? dataSize(hdr) : 0;
}

MemHandle MemPtrRecoverHandle(void* p) {
  UInt8* hdr = validHeader(p);
  if (!hdr || !isMovable(hdr)) return 0;
  MemHandle h = recoverHandle(hdr);
  if (!h) WarningF("memorymgr - MemPtrRecoverHandle warning: Invalid hOffset");
  return h;
}

UInt16 MemPtrOwner(void* p) {
  UInt8* hdr = headerWarning(p, "memorymgr - MemPtrOwner warning: Invalid chunk");
  return hdr ? owner(hdr) : 0;
}

UInt16 MemHandleOwner(MemHandle h) {
  UInt8* hdr = handleHeader(h);
  return hdr ? owner(hdr) : 0;
}

Err MemPtrSetOwner(void* p, UInt16 newOwner) {
  UInt8* hdr = validHeader(p);
  if (!hdr) {
    WarningF("memorymgr - MemPtrSetOwner error: Invalid chunk");
    return memErrInvalidParam;
  }
  HeaderWrite w(hdr);
  setOwner(hdr, static_cast<UInt8>(newOwner));
  return errNone;
}

Err MemHandleSetOwner(MemHandle h, UInt16 newOwner) { return MemPtrSetOwner(MemHandleDataPtr(h), newOwner); }

UInt16 MemPtrHeapID(void* p) {
  UInt8* hdr = validHeader(p);
  return hdr ? get16(hdr + kHeapID) : 0;
}

UInt16 MemHandleHeapID(MemHandle h) { return MemPtrHeapID(MemHandleDataPtr(h)); }

Boolean MemPtrDataStorage(void* p) {
  UInt8* hdr = headerWarning(p, "memorymgr - MemPtrDataStorage warning: Invalid chunk");
  return hdr && get16(hdr + kHeapID) == 1;
}

Boolean MemHandleDataStorage(MemHandle h) { return MemPtrDataStorage(MemHandleDataPtr(h)); }

UInt16 MemPtrCardNo(void* p) {
  UInt8* hdr = headerWarning(p, "memorymgr - MemPtrCardNo warning: Invalid chunk");
  return hdr ? get16(hdr + kCard) : 0;
}

UInt16 MemHandleCardNo(MemHandle h) { return MemPtrCardNo(MemHandleDataPtr(h)); }

UInt16 MemPtrFlags(void* p) {
  headerWarning(p, "memorymgr - MemPtrFlags warning: Invalid chunk");
  return 0;
}

UInt16 MemHandleFlags(MemHandle h) { return MemPtrFlags(MemHandleDataPtr(h)); }

LocalID MemPtrToLocalID(void* p) {
  UInt8* hdr = headerWarning(p, "memorymgr - MemPtrToLocalID warning: Invalid chunk");
  if (!hdr) return 0;
  if (!isMovable(hdr)) return Arena68K::kMirrorBit | toEmu(p);
  MemHandle h = recoverHandle(hdr);
  if (!h) {
    WarningF("memorymgr - MemPtrToLocalID warning: Invalid hOffset");
    return 0;
  }
  return h | memIDHandle;
}

LocalID MemHandleToLocalID(MemHandle h) { return MemPtrToLocalID(MemHandleDataPtr(h)); }

namespace {
bool validLocalID(LocalID id, const char* warning) {
  bool valid = (id & Arena68K::kMirrorBit) != 0;
  if (!valid) WarningF("%s", warning);
  return valid;
}
}  // namespace

EmuAddr MemLocalIDToGlobal(LocalID id, UInt16) {
  if (id == 0) return 0;
  if (!validLocalID(id, "memorymgr - MemLocalIDToGlobal warning: Invalid localID")) return 0;
  return (id & memIDHandle) ? (id & ~1u) : (id & 0x7FFFFFFEu);
}

UInt16 MemLocalIDKind(LocalID id) {
  validLocalID(id, "memorymgr - MemLocalIDKind warning: Invalid localID");
  return id & memIDHandle;
}

void* MemLocalIDToPtr(LocalID id, UInt16) {
  if (id == 0 || !validLocalID(id, "memorymgr - MemLocalIDToPtr warning: Invalid localID")) return nullptr;
  if (!(id & memIDHandle)) return fromEmu(id & 0x7FFFFFFEu);
  UInt8* hdr = handleHeader(id & ~1u);
  return hdr && lockCount(hdr) != 0 ? data(hdr) : nullptr;
}

void* MemLocalIDToLockedPtr(LocalID id, UInt16) {
  if (id == 0 || !validLocalID(id, "memorymgr - MemLocalIDToPtr warning: Invalid localID")) return nullptr;
  if (!(id & memIDHandle)) return fromEmu(id & 0x7FFFFFFEu);
  return MemHandleLock(id & ~1u);
}

LocalID GetMemPtrDBID(void* p) {
  UInt8* hdr = validHeader(p);
  return hdr ? get32(hdr + kDbID) : 0;
}

Err SetMemPtrDBID(void* p, LocalID dbID) {
  UInt8* hdr = validHeader(p);
  if (!hdr) {
    WarningF("memorymgr - SetMemPtrDBID error: Invalid chunk");
    return memErrInvalidParam;
  }
  HeaderWrite w(hdr);
  set32(hdr + kDbID, dbID);
  return errNone;
}

Boolean IsChunkExecutable(void* p) {
  UInt8* hdr = headerWarning(p, "memorymgr - IsChunkExecutable warning: Invalid chunk");
  return hdr && isExecutable(hdr);
}

Boolean IsChunkWriteProtected(void* p) {
  UInt8* hdr = validHeader(p);
  return hdr && isWriteProtected(hdr);
}

void DisableWriteProtection(void* p) {
  UInt8* hdr = headerWarning(p, "memorymgr - DisableWriteProtection warning: Invalid chunk");
  if (!hdr || !isExecutable(hdr) || !isWriteProtected(hdr)) return;
  writeProtectExecutableMemory(false, hdr);
  setSizeFlag(hdr, kWriteProtectedBit, false);
}

void EnableWriteProtection(void* p) {
  UInt8* hdr = headerWarning(p, "memorymgr - EnableWriteProtection warning: Invalid chunk");
  if (!hdr || !isExecutable(hdr) || isWriteProtected(hdr)) return;
  setSizeFlag(hdr, kWriteProtectedBit, true);
  writeProtectExecutableMemory(true, hdr);
}

Err MemSet(void* p, Int32 numBytes, UInt8 value) {
  if (p && numBytes > 0) std::memset(p, value, static_cast<size_t>(numBytes));
  return errNone;
}

Int16 MemCmp(const void* a, const void* b, Int32 numBytes) {
  if (!a) return b ? -1 : 0;
  if (!b) return 1;
  if (numBytes <= 0) return 0;
  int r = std::memcmp(a, b, static_cast<size_t>(numBytes));
  return static_cast<Int16>((r > 0) - (r < 0));
}

Err MemDebugMode() {
  WarningF("Incomplete version called: MemDebugMode");
  return errNone;
}

Err MemHeapCompact(UInt16) { return errNone; }
Err MemHeapScramble(UInt16) { return errNone; }
Err MemHeapCheck(UInt16) { return errNone; }
Err MemSemaphoreReserve(Boolean) { return errNone; }
Err MemSemaphoreRelease(Boolean) { return errNone; }
