// The Palm OS Memory Manager without a Palm heap: every chunk is a block of
// its own in the 68K arena with a 24-byte header in front of its data; a
// handle is 0x80000000 | the address of a small master block that holds the
// big-endian data pointer. Pointers handed in and out are host pointers into
// the arena; handles and LocalIDs are 32-bit values that native code converts
// and never dereferences.
#pragma once
#include "host/FaultHandler.h"
#include "palm/PalmTypes.h"

constexpr UInt16 memNewChunkFlagPreLock = 0x0100;
constexpr UInt16 memNewChunkFlagNonMovable = 0x0200;

constexpr UInt16 memIDPtr = 0;
constexpr UInt16 memIDHandle = 1;

// Allocation and freeing
void* MemPtrNew(UInt32 size);
void* MemPtrNew_External(UInt32 size);
MemHandle MemHandleNew(UInt32 size);
MemHandle MemHandleNew_External(UInt32 size);
// The result is a pointer or a handle depending on attr, hence a 68K value.
EmuAddr MemChunkNew(UInt16 heapID, UInt32 size, UInt16 attr);
Err MemChunkFree(void* p);
inline Err MemPtrFree(void* p) { return MemChunkFree(p); }
Err MemHandleFree(MemHandle h);

// Locking
void* MemHandleLock(MemHandle h);
Err MemHandleUnlock(MemHandle h);
Err MemPtrUnlock(void* p);
Err MemPtrResetLock(void* p);
Err MemHandleResetLock(MemHandle h);
UInt16 MemHandleLockCount(MemHandle h);
UInt16 MemPtrLockCount(void* p);

// Chunk facts
UInt32 MemPtrSize(void* p);
UInt32 MemHandleSize(MemHandle h);
Err MemPtrResize(void* p, UInt32 size);
Err MemHandleResize(MemHandle h, UInt32 size);
MemHandle MemPtrRecoverHandle(void* p);
UInt16 MemPtrOwner(void* p);
UInt16 MemHandleOwner(MemHandle h);
Err MemPtrSetOwner(void* p, UInt16 owner);
Err MemHandleSetOwner(MemHandle h, UInt16 owner);
UInt16 MemPtrHeapID(void* p);
UInt16 MemHandleHeapID(MemHandle h);
Boolean MemPtrDataStorage(void* p);
Boolean MemHandleDataStorage(MemHandle h);
UInt16 MemPtrCardNo(void* p);
UInt16 MemHandleCardNo(MemHandle h);
UInt16 MemPtrFlags(void* p);
UInt16 MemHandleFlags(MemHandle h);

// LocalIDs. MemLocalIDToGlobal gives a handle or a pointer, hence a 68K value.
LocalID MemPtrToLocalID(void* p);
LocalID MemHandleToLocalID(MemHandle h);
EmuAddr MemLocalIDToGlobal(LocalID id, UInt16 cardNo);
UInt16 MemLocalIDKind(LocalID id);
void* MemLocalIDToPtr(LocalID id, UInt16 cardNo);
void* MemLocalIDToLockedPtr(LocalID id, UInt16 cardNo);

Err MemHeapFreeByOwnerID(UInt16 heapID, UInt16 owner);
Err MemSet(void* p, Int32 numBytes, UInt8 value);
Int16 MemCmp(const void* a, const void* b, Int32 numBytes);
Err MemDebugMode();
Err MemHeapCompact(UInt16 heapID);
Err MemHeapScramble(UInt16 heapID);
Err MemHeapCheck(UInt16 heapID);
Err MemSemaphoreReserve(Boolean writeAccess);
Err MemSemaphoreRelease(Boolean writeAccess);

// Card, store and heap figures of the one card
UInt16 MemNumCards();
Err MemCardInfo(UInt16 cardNo, Char* cardNameP, Char* manufNameP, UInt16* versionP, UInt32* crDateP, UInt32* romSizeP,
                UInt32* ramSizeP, UInt32* freeBytesP);
Err MemStoreInfo(UInt16 cardNo, UInt16 storeNumber, UInt16* versionP, UInt16* flagsP, Char* nameP, UInt32* crDateP,
                 UInt32* bckUpDateP, UInt32* heapListOffsetP, UInt32* initCodeOffset1P, UInt32* initCodeOffset2P,
                 LocalID* databaseDirIDP);
Err MemStoreSetInfo(UInt16 cardNo, UInt16 storeNumber, UInt16* versionP, UInt16* flagsP, Char* nameP, UInt32* crDateP,
                    UInt32* bckUpDateP, UInt32* heapListOffsetP, UInt32* initCodeOffset1P, UInt32* initCodeOffset2P,
                    LocalID* databaseDirIDP);
UInt16 MemNumHeaps(UInt16 cardNo);
UInt16 MemNumRAMHeaps(UInt16 cardNo);
UInt16 MemHeapID(UInt16 cardNo, UInt16 heapIndex);
Boolean MemHeapDynamic(UInt16 heapID);
Err MemHeapFreeBytes(UInt16 heapID, UInt32* freeP, UInt32* maxP);
UInt32 MemHeapSize(UInt16 heapID);
UInt16 MemHeapFlags(UInt16 heapID);

// Internal operations of the storage managers and the launch code.
// A new chunk: its handle (movable) or data pointer as a 68K value, 0 on failure.
EmuAddr GetNewChunk(UInt16 cardNo, UInt16 heapID, UInt32 size, Boolean movable, UInt8 owner, Boolean executable);
void CleanupDynamicMemory();
Err MemHandleFree_Delayed(MemHandle h);
void FreeDelayedMemoryChunks();
void* MemSearchForPtr(const void* address, UInt32 length);
LocalID GetMemPtrDBID(void* p);
Err SetMemPtrDBID(void* p, LocalID dbID);
Boolean IsChunkExecutable(void* p);
Boolean IsChunkWriteProtected(void* p);
void DisableWriteProtection(void* p);
void EnableWriteProtection(void* p);
Boolean ReplaceWithExecutableChunk(MemHandle h);
void SuppressMemoryWarning(Boolean flag);
Boolean ValidChunk(const void* p);
Boolean ValidMemHandle(MemHandle h);
// The data pointer a handle's master block holds, without locking; null for
// an invalid handle.
void* MemHandleDataPtr(MemHandle h);

Boolean MemoryMgrInit();
void MemTerminate();
// Walks the live list checking every link; false when the list is broken.
// *countP receives the number of live chunks.
Boolean MemWalkLiveList(UInt32* countP);
