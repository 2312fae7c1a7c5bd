// Frees asked for by 68K code through the Memory Manager traps: a chunk that
// a database holds stays with its database.
#include <cstring>

#include "emulator/TrapStackImage.h"
#include "emulator/trap/TrapDispatcher.h"
#include "storage/DataMgrFixture.h"

namespace {
constexpr UInt16 kMemChunkFree = 0xA012;
constexpr UInt16 kMemHandleFree = 0xA02B;

class ApplicationFree : public DataMgrFixture {
 protected:
  // The trap's result word, as 68K code sees it in D0.
  static UInt16 callFree(UInt16 trap, EmuAddr chunk) {
    TrapStackImage caller;
    caller.pushLong(chunk);
    TrapDispatcher::Dispatch(trap, caller.regs);
    return static_cast<UInt16>(caller.regs[0]);
  }
};

TEST_F(ApplicationFree, ChunksADatabaseHoldsStayWhileItsOwnChunksAreFreed) {
  LocalID id = create("Held");
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  addRecord(db, "first");
  addRecord(db, "second");
  MemHandle record = DmQueryRecord(db, 0);
  void* locked = MemHandleLock(record);
  EXPECT_EQ(callFree(kMemHandleFree, DmQueryRecord(db, 1)), memErrInvalidParam);
  EXPECT_EQ(callFree(kMemChunkFree, toEmu(locked)), memErrInvalidParam);
  EXPECT_EQ(callFree(kMemHandleFree, id & ~1u), memErrInvalidParam) << "the database header";
  MemHandleUnlock(record);
  EXPECT_EQ(recordText(db, 0), "first");
  EXPECT_EQ(recordText(db, 1), "second");
  EXPECT_EQ(DmFindDatabase(0, "Held"), id);

  // What the application owns is freed as before.
  MemHandle detached = 0;
  ASSERT_EQ(DmDetachRecord(db, 1, &detached), errNone);
  EXPECT_EQ(callFree(kMemHandleFree, detached), errNone);
  EXPECT_EQ(callFree(kMemHandleFree, DmNewHandle(db, 8)), errNone);
  EXPECT_EQ(callFree(kMemChunkFree, toEmu(MemPtrNew(8))), errNone);
  EXPECT_FALSE(ValidMemHandle(detached));
  DmCloseDatabase(db);
  EXPECT_EQ(DmDeleteDatabase(0, id), errNone);
}
}  // namespace
