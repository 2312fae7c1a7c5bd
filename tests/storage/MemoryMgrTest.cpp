#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "StorageFixture.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/ErrorCodes.h"

namespace {
using MemoryMgr = MemoryFixture;

UInt8* bytes(void* p) { return static_cast<UInt8*>(p); }

TEST_F(MemoryMgr, HandleLockCountSaturatesAtFourteenAndUnlocksBackToZero) {
  MemHandle h = MemHandleNew(16);
  ASSERT_NE(h, 0u);
  void* p = nullptr;
  for (int i = 0; i < 15; ++i) p = MemHandleLock(h);
  EXPECT_EQ(MemHandleLockCount(h), 14);
  EXPECT_EQ(p, MemHandleDataPtr(h));
  for (int i = 0; i < 14; ++i) ASSERT_EQ(MemHandleUnlock(h), errNone) << "unlock " << i;
  EXPECT_EQ(MemHandleLockCount(h), 0);
  EXPECT_EQ(MemHandleUnlock(h), memErrInvalidParam);
  EXPECT_EQ(MemHandleLockCount(h), 0);
  EXPECT_EQ(MemHandleFree(h), errNone);
}

TEST_F(MemoryMgr, PointerChunkIsNonMovableAndCannotBeUnlocked) {
  void* p = MemPtrNew(10);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(MemPtrUnlock(p), memErrInvalidParam);
  EXPECT_EQ(MemPtrLockCount(p), 15);
  EXPECT_EQ(MemPtrResetLock(p), errNone);
  EXPECT_EQ(MemPtrLockCount(p), 15) << "a pointer chunk must stay non-movable";
  EXPECT_EQ(MemPtrRecoverHandle(p), 0u);
  EXPECT_EQ(MemPtrFree(p), errNone);
}

TEST_F(MemoryMgr, SizesOfNewChunks) {
  struct Case {
    UInt32 size;
  } cases[] = {{0}, {1}, {10}, {15}, {16}, {17}, {1000}, {65535}, {65536}, {300000}};
  for (const Case& c : cases) {
    void* p = MemPtrNew(c.size);
    ASSERT_NE(p, nullptr) << c.size;
    EXPECT_EQ(MemPtrSize(p), c.size);
    EXPECT_EQ(toEmu(p) % 4, 0u);
    MemHandle h = MemHandleNew(c.size);
    EXPECT_EQ(MemHandleSize(h), c.size);
    void* hp = MemHandleLock(h);
    // The data is zero-filled and every byte of it writable.
    for (UInt32 i = 0; i < c.size; ++i) ASSERT_EQ(bytes(hp)[i], 0) << c.size;
    std::memset(hp, 0xAB, c.size);
    std::memset(p, 0xCD, c.size);
    EXPECT_EQ(MemHandleFree(h), errNone);
    EXPECT_EQ(MemPtrFree(p), errNone);
  }
  EXPECT_EQ(MemPtrNew_External(0), nullptr);
  EXPECT_EQ(MemHandleNew_External(0), 0u);
  EXPECT_EQ(MemChunkNew(0, 0, 0), 0u);
}

TEST_F(MemoryMgr, ChunksWhoseHeaderAndDataReachSixteenMegabytesAreRefused) {
  constexpr UInt32 kLargest = 0xFFFFF0 - 24;
  void* big = MemPtrNew(kLargest);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(MemPtrSize(big), kLargest);
  EXPECT_EQ(MemPtrNew(kLargest + 1), nullptr);
  EXPECT_EQ(MemPtrNew(0x1000000), nullptr);
  EXPECT_EQ(MemHandleNew(0x7FFFFFFF), 0u);
  EXPECT_EQ(MemHandleNew(0x80000000), 0u);
  MemHandle h = MemHandleNew(8);
  EXPECT_EQ(MemHandleResize(h, kLargest + 1), memErrChunkLocked);
  EXPECT_EQ(MemHandleSize(h), 8u);
  EXPECT_EQ(MemPtrResize(big, 0x1000000), memErrChunkLocked);
  EXPECT_EQ(MemPtrSize(big), kLargest);
  MemHandleFree(h);
  MemPtrFree(big);
}

TEST_F(MemoryMgr, HandleResizeMovesAnUnlockedChunkAndRefusesALockedOne) {
  MemHandle h = MemHandleNew(8);
  auto* p = bytes(MemHandleLock(h));
  std::memcpy(p, "12345678", 8);
  // Locked: the host block is too small to grow in place, and the chunk may not move.
  EXPECT_EQ(MemHandleResize(h, 4096), memErrChunkLocked);
  EXPECT_EQ(MemHandleSize(h), 8u);
  EXPECT_EQ(MemHandleDataPtr(h), p);
  MemHandleUnlock(h);

  EXPECT_EQ(MemHandleResize(h, 4096), errNone);
  auto* q = bytes(MemHandleLock(h));
  EXPECT_NE(q, p) << "the chunk must have moved";
  EXPECT_EQ(MemHandleSize(h), 4096u);
  EXPECT_EQ(std::memcmp(q, "12345678", 8), 0);
  for (int i = 8; i < 4096; ++i) ASSERT_EQ(q[i], 0) << i;
  EXPECT_EQ(MemPtrRecoverHandle(q), h);
  EXPECT_EQ(MemHandleLockCount(h), 1);
  EXPECT_FALSE(ValidChunk(p)) << "the old block must no longer read as a chunk";
  MemHandleUnlock(h);

  // Shrinking then growing in place never shows stale bytes.
  EXPECT_EQ(MemHandleResize(h, 4), errNone);
  EXPECT_EQ(MemHandleResize(h, 4000), errNone);
  auto* r = bytes(MemHandleLock(h));
  EXPECT_EQ(std::memcmp(r, "1234", 4), 0);
  for (int i = 4; i < 4000; ++i) ASSERT_EQ(r[i], 0) << i;
  EXPECT_EQ(MemHandleFree(h), errNone);
  EXPECT_EQ(MemHandleResize(h, 10), memErrInvalidParam);
}

TEST_F(MemoryMgr, LocalIDsConvertToHandlesAndPointersAndBack) {
  MemHandle h = MemHandleNew(32);
  void* p = MemPtrNew(32);
  LocalID hid = MemHandleToLocalID(h);
  LocalID pid = MemPtrToLocalID(p);
  EXPECT_EQ(hid, h | 1u);
  EXPECT_EQ(hid, (Arena68K::unmirror(h) + 0x80000001u));
  EXPECT_EQ(pid, 0x80000000u | toEmu(p));
  EXPECT_EQ(MemLocalIDKind(hid), memIDHandle);
  EXPECT_EQ(MemLocalIDKind(pid), memIDPtr);
  EXPECT_EQ(MemLocalIDToGlobal(hid, 0), h);
  EXPECT_EQ(MemLocalIDToGlobal(pid, 0), toEmu(p));
  EXPECT_EQ(MemLocalIDToGlobal(0, 0), 0u);
  EXPECT_EQ(MemLocalIDToPtr(pid, 0), p);

  EXPECT_EQ(MemLocalIDToPtr(hid, 0), nullptr) << "an unlocked handle has no pointer";
  void* locked = MemLocalIDToLockedPtr(hid, 0);
  EXPECT_EQ(locked, MemHandleDataPtr(h));
  EXPECT_EQ(MemHandleLockCount(h), 1);
  EXPECT_EQ(MemLocalIDToPtr(hid, 0), locked);
  EXPECT_EQ(MemPtrToLocalID(locked), hid) << "the data pointer of a handle gives the handle's LocalID";
  EXPECT_EQ(MemPtrRecoverHandle(locked), h);

  MemHandleFree(h);
  MemPtrFree(p);
}

TEST_F(MemoryMgr, InvalidHandlesAndPointersAreRefusedWithoutHarm) {
  MemHandle h = MemHandleNew(4);
  void* p = MemHandleLock(h);
  MemHandleUnlock(h);
  ASSERT_EQ(MemHandleFree(h), errNone);
  EXPECT_EQ(MemHandleFree(h), memErrInvalidParam) << "double free";
  EXPECT_EQ(MemHandleLock(h), nullptr);
  EXPECT_EQ(MemChunkFree(p), memErrInvalidParam);
  EXPECT_EQ(MemChunkFree(nullptr), memErrInvalidParam);
  EXPECT_EQ(MemPtrUnlock(nullptr), memErrInvalidParam);
  EXPECT_EQ(MemHandleSize(0x12345678), 0u) << "bit 31 clear is no handle";
  EXPECT_EQ(MemHandleSize(0x80000000), 0u);
  EXPECT_EQ(MemHandleSize(0xFFFFFFFE), 0u) << "outside the arena";
  // A pointer into the middle of a chunk is not a chunk.
  auto* q = bytes(MemPtrNew(64));
  EXPECT_EQ(MemPtrSize(q + 32), 0u);
  EXPECT_EQ(MemPtrSize(q), 64u);
  MemPtrFree(q);

  // Stale and wild pointers are refused without being read: the pages of a
  // freed executable chunk and the arena beyond the heap are not mapped.
  MemHandle code = MemHandleNew(100);
  ASSERT_TRUE(ReplaceWithExecutableChunk(code));
  void* stale = MemHandleDataPtr(code);
  MemHandleFree(code);
  EXPECT_FALSE(ValidChunk(stale));
  EXPECT_EQ(MemPtrUnlock(stale), memErrInvalidParam);
  EXPECT_EQ(MemPtrSize(stale), 0u);
  for (EmuAddr wild : {Arena68K::kBase + 0x30000000u, Arena68K::kBase + 0x30000004u, Arena68K::kEnd - 4})
    EXPECT_EQ(MemPtrSize(fromEmu(wild)), 0u) << std::hex << wild;
  EXPECT_EQ(MemSearchForPtr(fromEmu(Arena68K::kBase + 0x30000000u), 4), nullptr);
}

// A handle from an application may name any even arena address: the master
// block is read only once it is known to be one.
TEST_F(MemoryMgr, WildHandlesAreRefusedWithoutBeingRead) {
  auto* inside = bytes(MemPtrNew(64));
  const MemHandle wild[] = {Arena68K::kMirrorBit | (Arena68K::kBase + 0x30000000u),
                            Arena68K::kMirrorBit | (Arena68K::kEnd - 8), Arena68K::kMirrorBit | toEmu(inside + 8)};
  for (MemHandle h : wild) {
    SCOPED_TRACE(testing::Message() << std::hex << h);
    EXPECT_FALSE(ValidMemHandle(h));
    EXPECT_EQ(MemHandleSize(h), 0u);
    EXPECT_EQ(MemHandleLock(h), nullptr);
    EXPECT_EQ(MemHandleUnlock(h), memErrInvalidParam);
    EXPECT_EQ(MemHandleResize(h, 10), memErrInvalidParam);
    EXPECT_EQ(MemHandleFree(h), memErrInvalidParam);
    EXPECT_EQ(MemHandleToLocalID(h), 0u);
  }
  MemPtrFree(inside);
}

TEST_F(MemoryMgr, ChunkNewHonoursItsAttributes) {
  EmuAddr handle = MemChunkNew(1, 20, 0);
  EXPECT_TRUE(ValidMemHandle(handle));
  EXPECT_TRUE(MemHandleDataStorage(handle));
  EXPECT_EQ(MemHandleOwner(handle), 0) << "storage chunks belong to no launch";

  EmuAddr locked = MemChunkNew(0, 20, memNewChunkFlagPreLock);
  void* lp = fromEmu(locked);
  EXPECT_EQ(MemPtrLockCount(lp), 1);
  EXPECT_NE(MemPtrRecoverHandle(lp), 0u);

  EmuAddr fixed = MemChunkNew(1, 20, memNewChunkFlagNonMovable | memNewChunkFlagPreLock);
  EXPECT_EQ(MemPtrLockCount(fromEmu(fixed)), 15);
  EXPECT_EQ(MemPtrHeapID(fromEmu(fixed)), 1);
  EXPECT_EQ(MemPtrOwner(fromEmu(fixed)), 0);
  EXPECT_EQ(MemPtrOwner(lp), 3) << "dynamic chunks made while no application runs carry depth 3";

  MemHandleFree(handle);
  MemChunkFree(lp);
  MemChunkFree(fromEmu(fixed));
}

TEST_F(MemoryMgr, ChunksOfAnEndedLaunchAreFreedByOwner) {
  void* system = MemPtrNew(8);  // depth 3
  depth = 4;
  void* app = MemPtrNew(8);
  MemHandle appHandle = MemHandleNew(8);
  EmuAddr appStorage = MemChunkNew(1, 8, 0);
  depth = 5;
  void* nested = MemPtrNew(8);
  depth = 19;  // kept modulo 16: owner 3
  void* wrapped = MemPtrNew(8);
  EXPECT_EQ(MemPtrOwner(wrapped), 3);

  depth = 4;  // the nested launch ended
  CleanupDynamicMemory();
  EXPECT_FALSE(ValidChunk(nested));
  EXPECT_TRUE(ValidChunk(app));

  depth = 3;  // the application ended
  UInt32 before = liveChunks();
  CleanupDynamicMemory();
  EXPECT_FALSE(ValidChunk(app));
  EXPECT_FALSE(ValidMemHandle(appHandle));
  EXPECT_TRUE(ValidChunk(system));
  EXPECT_TRUE(ValidChunk(wrapped));
  EXPECT_TRUE(ValidMemHandle(appStorage)) << "storage-heap chunks outlive launches";
  EXPECT_EQ(liveChunks(), before - 2);

  MemHeapFreeByOwnerID(0, 3);
  EXPECT_FALSE(ValidChunk(system));
  EXPECT_FALSE(ValidChunk(wrapped));
  MemHandleFree(appStorage);
}

TEST_F(MemoryMgr, DelayedFreeKeepsTheChunkUntilTheDelayedChunksAreFreed) {
  MemHandle h = MemHandleNew(12);
  void* p = MemHandleLock(h);
  UInt32 before = liveChunks();
  EXPECT_EQ(MemHandleFree_Delayed(h), errNone);
  EXPECT_EQ(liveChunks(), before - 1);
  EXPECT_TRUE(ValidChunk(p)) << "code in the chunk may still run";
  MemHeapFreeByOwnerID(0, 3);  // the delayed chunk is not on the live list
  EXPECT_TRUE(ValidChunk(p));
  FreeDelayedMemoryChunks();
  EXPECT_FALSE(ValidChunk(p));
  EXPECT_EQ(MemHandleFree_Delayed(h), memErrInvalidParam);
}

TEST_F(MemoryMgr, SearchForPtrFindsTheChunkHoldingARange) {
  auto* a = bytes(MemPtrNew(100));
  auto* b = bytes(MemPtrNew(50));
  EXPECT_EQ(MemSearchForPtr(a, 1), a);
  EXPECT_EQ(MemSearchForPtr(a + 10, 90), a);
  EXPECT_EQ(MemSearchForPtr(b + 49, 1), b);
  EXPECT_EQ(MemSearchForPtr(a + 10, 91), nullptr) << "the range runs past the chunk";
  MemPtrFree(a);
  MemPtrFree(b);
}

TEST_F(MemoryMgr, ExecutableCopyKeepsHandleAndDataAndStaysLockable) {
  MemHandle h = MemHandleNew(300);
  auto* p = bytes(MemHandleLock(h));
  for (int i = 0; i < 300; ++i) p[i] = static_cast<UInt8>(i);
  EXPECT_FALSE(ReplaceWithExecutableChunk(h)) << "a locked chunk may not move";
  MemHandleUnlock(h);
  ASSERT_TRUE(ReplaceWithExecutableChunk(h));
  EXPECT_FALSE(ReplaceWithExecutableChunk(h)) << "already executable";
  // Locking writes the header on write-protected pages.
  auto* q = bytes(MemHandleLock(h));
  EXPECT_TRUE(IsChunkExecutable(q));
  EXPECT_EQ(MemHandleSize(h), 300u);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(q[i], static_cast<UInt8>(i));
  EXPECT_EQ(MemPtrSetOwner(q, 7), errNone);
  EXPECT_EQ(MemPtrOwner(q), 7);
  DisableWriteProtection(q);
  q[0] = 0xEE;
  EnableWriteProtection(q);
  EXPECT_EQ(q[0], 0xEE);
  EXPECT_EQ(MemSearchForPtr(q + 100, 4), q);
  MemHandleUnlock(h);
  EXPECT_EQ(MemHandleResize(h, 20000), errNone) << "an executable chunk moves to a larger mapping";
  EXPECT_TRUE(IsChunkExecutable(MemHandleDataPtr(h)));
  EXPECT_EQ(bytes(MemHandleDataPtr(h))[299], static_cast<UInt8>(299));
  EXPECT_EQ(MemHandleFree(h), errNone);
}

TEST_F(MemoryMgr, ManyThreadsAllocateAndFreeWithoutCorruptingTheLiveList) {
  constexpr int kThreads = 6;
  constexpr int kRounds = 3000;
  UInt32 before = liveChunks();
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  std::vector<std::vector<EmuAddr>> kept(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures, &kept] {
      std::vector<EmuAddr> mine;
      for (int i = 0; i < kRounds; ++i) {
        UInt32 size = static_cast<UInt32>((i * 7 + t) % 200);
        EmuAddr chunk = (i % 2) ? MemHandleNew(size) : toEmu(MemPtrNew(size));
        if (!chunk) {
          ++failures;
          continue;
        }
        mine.push_back(chunk);
        // Free every other chunk at once, out of allocation order.
        if (i % 3 == 2) {
          EmuAddr victim = mine[mine.size() / 2];
          mine.erase(mine.begin() + static_cast<long>(mine.size() / 2));
          Err err = (victim & 0x80000000u) ? MemHandleFree(victim) : MemChunkFree(fromEmu(victim));
          if (err) ++failures;
        }
      }
      kept[t] = mine;
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures.load(), 0);
  size_t keptTotal = 0;
  for (auto& v : kept) keptTotal += v.size();
  EXPECT_EQ(liveChunks(), before + keptTotal);
  for (auto& v : kept)
    for (EmuAddr c : v) ASSERT_EQ((c & 0x80000000u) ? MemHandleFree(c) : MemChunkFree(fromEmu(c)), errNone);
  EXPECT_EQ(liveChunks(), before);
}

TEST_F(MemoryMgr, CardStoreAndHeapFigures) {
  Char name[32] = {};
  Char manuf[32] = {};
  UInt16 version = 0;
  UInt32 crDate = 0, rom = 0, ram = 0, freeBytes = 0;
  EXPECT_EQ(MemCardInfo(1, name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), memErrCardNotPresent);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(MemCardInfo(0, name, manuf, &version, &crDate, &rom, &ram, &freeBytes), errNone);
  EXPECT_STREQ(name, "Quorvane");
  EXPECT_STREQ(manuf, "Quorvane");
  EXPECT_EQ(version, 1);
  EXPECT_EQ(crDate, 0xB8797400u);
  EXPECT_EQ(rom, 4000000u);
  EXPECT_EQ(ram, 0x1000000u);
  EXPECT_EQ(freeBytes, 0x800000u);
  EXPECT_EQ(MemCardInfo(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), errNone);

  LocalID dir = 0x80001235;
  EXPECT_EQ(MemStoreInfo(0, 2, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &dir),
            memErrNoStore);
  EXPECT_EQ(MemStoreInfo(1, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &dir),
            memErrCardNotPresent);
  EXPECT_EQ(MemStoreInfo(0, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &dir), errNone);
  EXPECT_EQ(dir, 0u) << "no directory until the Data Manager makes one";
  LocalID set = 0x80004001;
  EXPECT_EQ(MemStoreSetInfo(0, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &set),
            errNone);
  EXPECT_EQ(MemStoreInfo(0, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &dir), errNone);
  EXPECT_EQ(dir, set);

  struct HeapCase {
    UInt16 heap;
    UInt32 free, max, size;
  } heaps[] = {{0, 0xA00000, 0x200000, 0x70000},
               {1, 0x10000000, 0xF000000, 0x10000000},
               {0x8001, 0x10000000, 0xF000000, 0},
               {2, 0, 0, 0}};
  for (const HeapCase& c : heaps) {
    UInt32 f = 1, m = 1;
    EXPECT_EQ(MemHeapFreeBytes(c.heap, &f, &m), errNone);
    EXPECT_EQ(f, c.free) << c.heap;
    EXPECT_EQ(m, c.max) << c.heap;
    EXPECT_EQ(MemHeapSize(c.heap), c.size) << c.heap;
  }
  EXPECT_EQ(MemNumCards(), 1);
  EXPECT_EQ(MemNumHeaps(0), 2);
  EXPECT_EQ(MemNumHeaps(1), 0);
  EXPECT_EQ(MemHeapID(0, 0), 0);
  EXPECT_EQ(MemHeapID(0, 5), 1);
  EXPECT_EQ(MemHeapID(2, 0), 4);
  EXPECT_TRUE(MemHeapDynamic(0));
  EXPECT_FALSE(MemHeapDynamic(1));
}

TEST_F(MemoryMgr, MemCmpAnswersTheSignOfTheFirstDifference) {
  struct Case {
    const char* a;
    const char* b;
    Int32 n;
    Int16 expected;
  } cases[] = {{"abc", "abc", 3, 0}, {"abc", "abd", 3, -1},    {"abd", "abc", 3, 1},  {"\xff", "\x01", 1, 1},
               {"abc", "abd", 2, 0}, {nullptr, nullptr, 3, 0}, {nullptr, "a", 1, -1}, {"a", nullptr, 1, 1}};
  for (const Case& c : cases) EXPECT_EQ(MemCmp(c.a, c.b, c.n), c.expected) << (c.a ? c.a : "null");
}
}  // namespace
