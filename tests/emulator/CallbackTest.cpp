// Native code calling 68K routines built by our toolchain: arguments in the
// widths of the 68K convention, out-values converted, nesting, and the
// context left as it was.
#include <cstring>
#include "PalmAppFixture.h"
#include "emulator/context/Callbacks.h"

namespace {

class Callbacks : public PalmAppFixture {
 protected:
  void SetUp() override {
    PalmAppFixture::SetUp();
    loadApp("CallbackProbe");
  }

  // The address of routine number `index` of the probe's table (PilotMain hands it out).
  EmuAddr routine(UInt16 index) {
    cpu->pushWord(0);
    cpu->pushLong(0);
    cpu->pushWord(index);
    return (cpu->call(functionAddress("PilotMain"), 8), cpu->getD0Long());
  }

  template <typename T>
  T* arenaCopy(const T& value) {
    auto* p = static_cast<T*>(MemPtrNew(sizeof(T)));
    std::memcpy(p, &value, sizeof(T));
    return p;
  }
};

enum Routine : UInt16 { kCompare, kSortFromCallback, kEcho, kLoadData, kWriteProc };

TEST_F(Callbacks, NestedCallbacksThatCallTrapsLeaveTheContextAsItWas) {
  ASSERT_EQ(DmCreateDatabase(0, "SortMe", fourCC("test"), fourCC("DATA"), false), errNone);
  DmOpenRef db = DmOpenDatabase(0, DmFindDatabase(0, "SortMe"), dmModeReadWrite);
  for (UInt8 value : {3, 1, 2}) {
    UInt16 at = dmMaxRecordIndex;
    MemHandle h = DmNewRecord(db, &at, 1);
    DmWrite(MemHandleLock(h), 0, &value, 1);
    MemHandleUnlock(h);
    DmReleaseRecord(db, at, true);
  }
  DmCloseDatabase(db);
  char* name = static_cast<char*>(MemPtrNew(8));
  std::strcpy(name, "SortMe");

  EmuAddr handler = routine(kSortFromCallback);
  UInt32 a7 = cpu->getAddrRegLong(7), pc = cpu->getPC();
  EXPECT_TRUE(CallFormEventHandler(handler, name));
  EXPECT_EQ(cpu->getAddrRegLong(7), a7);
  EXPECT_EQ(cpu->getPC(), pc);
}

TEST_F(Callbacks, BooleanGoesInTheHighByteOfItsWord) {
  EmuAddr echo = routine(kEcho);
  EXPECT_EQ(RunCallback(*cpu, echo, {CbBool(true), CbWord(0xBEEF)}), 0x0001BEEFu);
  EXPECT_EQ(RunCallback(*cpu, echo, {CbBool(false), CbWord(7)}), 0x00000007u);
}

TEST_F(Callbacks, TableLoadDataConvertsItsOutValues) {
  struct Out {
    MemHandle h;
    Int16 offset, size;
  };
  Out* out = arenaCopy(Out{});
  Err err = CallTableLoadData(routine(kLoadData), nullptr, 3, 4, true, &out->h, &out->offset, &out->size, nullptr);
  EXPECT_EQ(err, 0x0203);
  EXPECT_EQ(out->h, 0x12345678u);
  EXPECT_EQ(out->offset, 304);
  EXPECT_EQ(out->size, 1);
}

TEST_F(Callbacks, WriteProcSizeIsCopiedInAndOut) {
  UInt32 size = 100;
  EXPECT_EQ(CallWriteProc(routine(kWriteProc), nullptr, &size, nullptr), errNone);
  EXPECT_EQ(size, 50u);
}

TEST_F(Callbacks, FormHandlerSeesAZeroedStackWhenAsked) {
  UInt8* base = cpu->getUserStackBase();
  std::memset(base, 0xAA, 256);
  cpu->zeroUnusedStackBeforeFormHandlerCallback();
  char* name = static_cast<char*>(MemPtrNew(8));
  std::strcpy(name, "None");
  EXPECT_FALSE(CallFormEventHandler(routine(kSortFromCallback), name));  // no such database
  for (int i = 0; i < 256; ++i) ASSERT_EQ(base[i], 0) << i;
}

TEST_F(Callbacks, NullGadgetHandlerRunsNothing) { EXPECT_FALSE(CallFormGadgetEventHandler(0, nullptr, 0, nullptr)); }

}  // namespace
