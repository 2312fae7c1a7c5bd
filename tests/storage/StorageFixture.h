// Brings up only the storage managers: the Memory Manager, and the Data
// Manager for the fixtures that ask for it. The launch depth is the test's
// to set. Every chunk left live by a test is freed afterwards.
#pragma once
#include <gtest/gtest.h>

#include "storage/StorageSeams.h"
#include "storage/memorymgr.h"

class MemoryFixture : public ::testing::Test {
 protected:
  static inline UInt16 depth = 3;

  void SetUp() override {
    depth = 3;
    resetStorageSeams();
    StorageSeams seams{};
    seams.launcheeDepth = [] { return depth; };
    setStorageSeams(seams);
    ASSERT_TRUE(MemoryMgrInit());
  }

  void TearDown() override {
    UInt32 live = 0;
    EXPECT_TRUE(MemWalkLiveList(&live)) << "live chunk list is corrupt";
    for (UInt16 heap = 0; heap < 2; ++heap)
      for (UInt16 owner = 0; owner < 16; ++owner) MemHeapFreeByOwnerID(heap, owner);
    FreeDelayedMemoryChunks();
    MemTerminate();
    resetStorageSeams();
  }

  static UInt32 liveChunks() {
    UInt32 n = 0;
    EXPECT_TRUE(MemWalkLiveList(&n));
    return n;
  }
};
