// Chunks: allocation, freeing, the live and delayed lists, resizing and
// executable copies.
#include "storage/memorymgr.h"

#include <cstring>

#include "host/Globals.h"
#include "host/HostMemory.h"
#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/MemoryMgrPrivate.h"
#include "storage/StorageSeams.h"

using namespace Chunk;

MemoryMgrGlobals& memGlobals() {
  auto* g = getGlobalsAs<MemoryMgrGlobals>(ModuleId::MemoryMgr);
  QV_ASSERT(g != nullptr);
  return *g;
}

namespace {
void initHeap(MemoryMgrGlobals& g) {
  if (g.heapInitialised) return;
  std::memset(g.stores, 0, sizeof g.stores);
  g.heapInitialised = 1;
}

void warnAllocation(const char* text) {
  if (!memGlobals().suppressWarnings) WarningF("%s", text);
}

void* hostAllocate(bool executable, UInt32 bytes) { return executable ? allocExecutableMemory(bytes) : MALLOC(bytes); }

void hostFree(UInt8* hdr) {
  if (isExecutable(hdr))
    freeExecutableMemory(hdr);
  else
    FREE(hdr);
}

// Puts a link block at the head of a list. Caller holds the monitor.
void pushLink(EmuAddr& head, UInt8* link) {
  Link::setPrev(link, 0);
  Link::setNext(link, head);
  if (head) Link::setPrev(fromEmuAs<UInt8>(head), toEmu(link));
  head = toEmu(link);
}

// Takes a link block off whichever list holds it. Caller holds the monitor.
void unlinkBlock(MemoryMgrGlobals& g, UInt8* link) {
  EmuAddr self = toEmu(link);
  EmuAddr prev = Link::prev(link);
  EmuAddr next = Link::next(link);
  if (prev)
    Link::setNext(fromEmuAs<UInt8>(prev), next);
  else if (g.liveHead == self)
    g.liveHead = next;
  else if (g.delayedHead == self)
    g.delayedHead = next;
  else
    WarningF("MemoryMgr - logic error unchaining chunk");
  if (next) Link::setPrev(fromEmuAs<UInt8>(next), prev);
}

void setHOffset(UInt8* hdr, const UInt8* master) { set32(hdr + kHOffset, (toEmu(hdr) - toEmu(master)) / 2); }

bool badAddress(const void* p) { return (toEmu(p) & 1) != 0; }

// Points the chunk's link block and master block at a header that moved.
void chunkMoved(UInt8* newHdr, UInt8* master) {
  Link::setChunk(fromEmuAs<UInt8>(get32(newHdr + kLink)), newHdr);
  setHOffset(newHdr, master);
  set32(master, toEmu(data(newHdr)));
}
}  // namespace

UInt32 hostBlockSize(UInt8* hdr) {
  return static_cast<UInt32>(isExecutable(hdr) ? getExecutableMemoryChunkSize(hdr) : MALLOC_SIZE(hdr));
}

void setSizeFields(UInt8* hdr, UInt32 usable, UInt32 size) {
  UInt32 slack = usable - kHeaderSize - size;
  UInt32 field;
  UInt32 adjust;
  if (slack > 15) {
    field = (size + kHeaderSize + 15) & 0xFFFFF0;
    adjust = (field - kHeaderSize - size) & 15;
  } else {
    field = usable & 0xFFFFFF;
    adjust = slack;
  }
  UInt32 flags = get32(hdr + kSizeWord) & 0xF0000000;
  set32(hdr + kSizeWord, flags | (adjust << 24) | field);
}

EmuAddr GetNewChunk(UInt16 cardNo, UInt16 heapID, UInt32 size, Boolean movable, UInt8 owner, Boolean executable) {
  MemoryMgrGlobals& g = memGlobals();
  initHeap(g);
  // The 24-bit size field cannot describe a larger chunk.
  if (size > kMaxDataSize) return 0;
  auto* link = static_cast<UInt8*>(MALLOC(Link::kSize));
  if (!link) {
    WarningF("memorymgr - GetNewChunk warning: failed to allocate link block");
    return 0;
  }
  UInt32 blockSize = (size + kHeaderSize + 1) & ~1u;
  auto* hdr = static_cast<UInt8*>(hostAllocate(executable, blockSize));
  if (!hdr) {
    warnAllocation(executable ? "memorymgr - GetNewChunk warning: Insufficient executable memory"
                              : "memorymgr - GetNewChunk warning: Insufficient memory");
    FREE(link);
    return 0;
  }
  if (badAddress(hdr)) WarningF("memorymgr - GetNewChunk warning: Unexpected chunk address returned");
  std::memset(hdr, 0, blockSize);
  set32(hdr + kLink, toEmu(link));
  set16(hdr + kCard, cardNo);
  set16(hdr + kHeapID, heapID);
  if (executable) setSizeFlag(hdr, kExecutableBit, true);
  UInt32 usable = hostBlockSize(hdr);
  QV_ASSERT(usable >= blockSize);
  setSizeFields(hdr, usable, size);
  set32(hdr + kOwnerWord, (kMagic << 8) | (owner & 15u));
  Link::setChunk(link, hdr);

  UInt8* master = nullptr;
  if (movable) {
    master = static_cast<UInt8*>(MALLOC(kMasterSize));
    if (!master) {
      clearMagic(hdr);
      hostFree(hdr);
      FREE(link);
      return 0;
    }
    if (badAddress(master)) WarningF("memorymgr - GetNewChunk warning: Unexpected master chunk pointer returned");
    set32(master, toEmu(data(hdr)));
    set32(master + 4, kMasterMagic);
    setHOffset(hdr, master);
  } else {
    setLockCount(hdr, kNonMovable);
  }
  {
    MonitorLock guard(g.monitor);
    pushLink(g.liveHead, link);
  }
  return movable ? (Arena68K::kMirrorBit | toEmu(master)) : toEmu(data(hdr));
}

void FreeChunk(UInt8* hdr) {
  MemoryMgrGlobals& g = memGlobals();
  if (get32(hdr + kDbID) != 0 && isMovable(hdr) && storageSeams().featureChunkRemoved(data(hdr))) return;
  if (isMovable(hdr)) {
    UInt8* master = masterOf(hdr);
    if (master && get32(master) == toEmu(data(hdr))) {
      set32(master + 4, 0);
      FREE(master);
    } else {
      WarningF("memorymgr - FreeChunk warning: Invalid hOffset");
    }
  }
  auto* link = fromEmuAs<UInt8>(get32(hdr + kLink));
  {
    MonitorLock guard(g.monitor);
    unlinkBlock(g, link);
  }
  FREE(link);
  if (isWriteProtected(hdr)) writeProtectExecutableMemory(false, hdr);
  clearMagic(hdr);
  hostFree(hdr);
}

Err MemPtrResize(void* p, UInt32 size) {
  UInt8* hdr = validHeader(p);
  if (!hdr) {
    WarningF("memorymgr - MemPtrResize error: Invalid chunk");
    return memErrInvalidParam;
  }
  if (size > kMaxDataSize) return memErrChunkLocked;
  bool wasProtected = isWriteProtected(hdr);
  if (wasProtected) writeProtectExecutableMemory(false, hdr);
  UInt32 usable = hostBlockSize(hdr);
  UInt32 oldEnd = kHeaderSize + dataSize(hdr);
  Err err = errNone;
  if (usable >= size + kHeaderSize) {
    // Bytes that become data for the first time read as zero, whatever an
    // earlier, larger size left in the slack.
    if (size + kHeaderSize > oldEnd) std::memset(hdr + oldEnd, 0, size + kHeaderSize - oldEnd);
    setSizeFields(hdr, usable, size);
  } else {
    err = memErrChunkLocked;
  }
  if (wasProtected) writeProtectExecutableMemory(true, hdr);
  return err;
}

Err MemHandleResize(MemHandle h, UInt32 size) {
  if (!ValidMemHandle(h)) return memErrInvalidParam;
  void* p = MemHandleDataPtr(h);
  Err err = MemPtrResize(p, size);
  if (err != memErrChunkLocked) return err;
  UInt8* hdr = header(p);
  if (lockCount(hdr) != 0 || size > kMaxDataSize) return memErrChunkLocked;
  bool executable = isExecutable(hdr);
  auto* moved = static_cast<UInt8*>(hostAllocate(executable, size + kHeaderSize));
  if (!moved) return memErrChunkLocked;
  if (badAddress(moved)) WarningF("memorymgr - MemHandleResize warning: Unexpected chunk address returned");
  UInt32 oldEnd = kHeaderSize + dataSize(hdr);
  std::memcpy(moved, hdr, oldEnd);
  std::memset(moved + oldEnd, 0, size + kHeaderSize - oldEnd);
  UInt32 usable = hostBlockSize(moved);
  QV_ASSERT(usable >= size + kHeaderSize);
  setSizeFields(moved, usable, size);
  chunkMoved(moved, fromEmuAs<UInt8>(Arena68K::unmirror(h)));
  if (isWriteProtected(hdr)) writeProtectExecutableMemory(false, hdr);
  clearMagic(hdr);
  if (isWriteProtected(moved)) writeProtectExecutableMemory(true, moved);
  hostFree(hdr);
  return errNone;
}

Boolean ReplaceWithExecutableChunk(MemHandle h) {
  UInt8* hdr = handleHeader(h);
  if (!hdr || isExecutable(hdr) || lockCount(hdr) != 0) return false;
  UInt32 bytes = kHeaderSize + dataSize(hdr);
  auto* moved = static_cast<UInt8*>(allocExecutableMemory(bytes));
  if (!moved) return false;
  std::memcpy(moved, hdr, bytes);
  setSizeFlag(moved, kExecutableBit | kWriteProtectedBit, true);
  setSizeFields(moved, static_cast<UInt32>(getExecutableMemoryChunkSize(moved)), bytes - kHeaderSize);
  chunkMoved(moved, fromEmuAs<UInt8>(Arena68K::unmirror(h)));
  writeProtectExecutableMemory(true, moved);
  clearMagic(hdr);
  FREE(hdr);
  return true;
}

void* MemSearchForPtr(const void* address, UInt32 length) {
  EmuAddr a = toEmu(address);
  if (ValidChunk(address)) return const_cast<void*>(address);
  MemoryMgrGlobals& g = memGlobals();
  MonitorLock guard(g.monitor);
  for (EmuAddr l = g.liveHead; l; l = Link::next(fromEmuAs<UInt8>(l))) {
    UInt8* hdr = Link::chunk(fromEmuAs<UInt8>(l));
    EmuAddr start = toEmu(data(hdr));
    if (start <= a && start + dataSize(hdr) >= a + length) return data(hdr);
  }
  return nullptr;
}

Err MemHandleFree_Delayed(MemHandle h) {
  UInt8* hdr = handleHeader(h);
  if (!hdr || recoverHandle(hdr) != h) return memErrInvalidParam;
  MemoryMgrGlobals& g = memGlobals();
  MonitorLock guard(g.monitor);
  auto* link = fromEmuAs<UInt8>(get32(hdr + kLink));
  unlinkBlock(g, link);
  pushLink(g.delayedHead, link);
  return errNone;
}

void FreeDelayedMemoryChunks() {
  MemoryMgrGlobals& g = memGlobals();
  // Held across the loop: two threads must not take the same delayed chunk.
  MonitorLock guard(g.monitor);
  while (EmuAddr l = g.delayedHead) FreeChunk(Link::chunk(fromEmuAs<UInt8>(l)));
}

namespace {
template <typename Match>
void freeLiveChunksWhere(Match match) {
  MemoryMgrGlobals& g = memGlobals();
  MonitorLock guard(g.monitor);
  EmuAddr l = g.liveHead;
  while (l) {
    auto* link = fromEmuAs<UInt8>(l);
    l = Link::next(link);
    UInt8* hdr = Link::chunk(link);
    if (match(hdr)) FreeChunk(hdr);
  }
}
}  // namespace

Err MemHeapFreeByOwnerID(UInt16 heapID, UInt16 owner) {
  freeLiveChunksWhere([&](UInt8* hdr) { return get16(hdr + kHeapID) == heapID && Chunk::owner(hdr) == owner; });
  return errNone;
}

void CleanupDynamicMemory() {
  UInt16 depth = GetLauncheeDepth();
  freeLiveChunksWhere([&](UInt8* hdr) { return get16(hdr + kHeapID) == 0 && Chunk::owner(hdr) > depth; });
}

Boolean MemWalkLiveList(UInt32* countP) {
  MemoryMgrGlobals& g = memGlobals();
  MonitorLock guard(g.monitor);
  UInt32 count = 0;
  EmuAddr prev = 0;
  for (EmuAddr l = g.liveHead; l; l = Link::next(fromEmuAs<UInt8>(l))) {
    auto* link = fromEmuAs<UInt8>(l);
    UInt8* hdr = Link::chunk(link);
    if (Link::prev(link) != prev || get32(hdr + kLink) != l || !hasMagic(hdr)) return false;
    prev = l;
    ++count;
  }
  if (countP) *countP = count;
  return true;
}

void SuppressMemoryWarning(Boolean flag) { memGlobals().suppressWarnings = flag; }

Boolean MemoryMgrInit() {
  auto* g = new MemoryMgrGlobals;
  QV_VALIDATE(g);
  setGlobals(ModuleId::MemoryMgr, g);
  initHeap(*g);
  return true;
}

void MemTerminate() {
  auto* g = getGlobalsAs<MemoryMgrGlobals>(ModuleId::MemoryMgr);
  // The slot is cleared too: a late call must not reach freed globals.
  setGlobals(ModuleId::MemoryMgr, nullptr);
  delete g;
}
