// The typed adapter between a trap's stack frame and its native function:
// argument offsets and widths, where results land, and out-values.
#include <gtest/gtest.h>
#include <array>
#include "emulator/trap/TrapDispatcher.h"
#include "host/HostMemory.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/SystemTraps.h"

namespace {

// What the fake natives saw.
struct Seen {
  void* pointer = nullptr;
  UInt16 word = 0;
  Boolean flag = 0;
  UInt32* outs[3] = {};
  UInt16 index = 0;
} seen;

Err fakeReleaseRecord(void* db, UInt16 index, Boolean dirty) {
  seen.pointer = db;
  seen.word = index;
  seen.flag = dirty;
  return 0x0207;
}
Boolean fakeHeapDynamic(UInt16) { return true; }
LocalID fakeGetDatabase(UInt16, UInt16 index) { return 0xCAFE0000u | index; }
void* fakeOpenDatabase(UInt16, LocalID, UInt16) { return seen.pointer; }
MemHandle fakeGet1Resource(UInt32, UInt16) { return 0x90001234u; }
Err fakeDatabaseSize(UInt16, LocalID, UInt32* a, UInt32* b, UInt32* c) {
  UInt32* outs[3] = {a, b, c};
  for (int i = 0; i < 3; ++i) {
    seen.outs[i] = outs[i];
    if (outs[i]) *outs[i] = 0x01020304u * (i + 1);
  }
  return errNone;
}
MemHandle fakeNewRecord(void*, UInt16* at, UInt32) {
  seen.index = *at;
  *at = 9;
  return 0;
}
Err wrongArity(void*, UInt16) { return 0; }

class TrapFrame : public testing::Test {
 protected:
  void SetUp() override {
    stack = static_cast<UInt8*>(MALLOC(64));
    data = static_cast<UInt8*>(MALLOC(64));
    regs.fill(0);
    regs[0] = 0xAAAA5555u;
    regs[8] = 0x11111111u;
    regs[15] = toEmu(stack);
    seen = Seen{};
  }
  void TearDown() override {
    FREE(stack);
    FREE(data);
  }

  template <auto F>
  void serve(UInt16 trap) {
    const SystemTrapRow* row = FindSystemTrap(trap, 0);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(trapadapter::Signature<decltype(F)>::matches(*row)) << row->name;
    TrapArgs args{std::span<UInt32, 16>(regs)};
    serveTrap<F>(args, *row);
  }

  std::array<UInt32, 16> regs{};
  UInt8* stack = nullptr;
  UInt8* data = nullptr;
};

TEST_F(TrapFrame, ByteArgumentIsTheFirstByteOfItsSlotAndWordResultKeepsD0High) {
  set32(stack, toEmu(data));
  set16(stack + 4, 0x0102);
  stack[6] = 0x01;
  stack[7] = 0xFF;
  serve<&fakeReleaseRecord>(0xA05E);
  EXPECT_EQ(seen.pointer, data);
  EXPECT_EQ(seen.word, 0x0102);
  EXPECT_EQ(seen.flag, 1);
  EXPECT_EQ(regs[0], 0xAAAA0207u);
  EXPECT_EQ(regs[8], 0x11111111u);
}

TEST_F(TrapFrame, ResultsLandWhereTheRowSays) {
  serve<&fakeHeapDynamic>(0xA03E);
  EXPECT_EQ(regs[0], 0xAAAA5501u);
  set16(stack + 2, 0x0042);
  serve<&fakeGetDatabase>(0xA044);
  EXPECT_EQ(regs[0], 0xCAFE0042u);
  seen.pointer = data;
  serve<&fakeOpenDatabase>(0xA049);
  EXPECT_EQ(regs[8], toEmu(data));
  EXPECT_EQ(regs[0], 0xCAFE0042u);
  serve<&fakeGet1Resource>(0xA060);  // its handle goes to D0 as well
  EXPECT_EQ(regs[8], 0x90001234u);
  EXPECT_EQ(regs[0], 0x90001234u);
}

TEST_F(TrapFrame, OutValuesReachOnlyNonNullPointersBigEndian) {
  set32(stack + 6, toEmu(data));
  set32(stack + 10, 0);
  set32(stack + 14, toEmu(data + 8));
  serve<&fakeDatabaseSize>(0xA048);
  EXPECT_NE(seen.outs[0], nullptr);
  EXPECT_EQ(seen.outs[1], nullptr);
  EXPECT_EQ(get32(data), 0x01020304u);
  EXPECT_EQ(get32(data + 8), 0x0306090Cu);
}

TEST_F(TrapFrame, InOutWordIsReadAndWrittenBack) {
  set32(stack + 4, toEmu(data));
  set16(data, 5);
  serve<&fakeNewRecord>(0xA055);
  EXPECT_EQ(seen.index, 5);
  EXPECT_EQ(get16(data), 9);
}

TEST_F(TrapFrame, SignatureMustFitTheRow) {
  EXPECT_FALSE(trapadapter::Signature<decltype(&wrongArity)>::matches(*FindSystemTrap(0xA05E, 0)));
  EXPECT_FALSE(trapadapter::Signature<decltype(&fakeGetDatabase)>::matches(*FindSystemTrap(0xA049, 0)));
}

TEST(TrapDispatcherTable, MemoryAndDataTrapsWithoutHandlerStayUnsupported) {
  const UInt16 unsupported[] = {0xA006, 0xA00A, 0xA00F, 0xA015, 0xA017, 0xA01D, 0xA028, 0xA029,
                                0xA02A, 0xA02C, 0xA02E, 0xA037, 0xA03F, 0xA040, 0xA07A};
  for (UInt16 trap = 0xA004; trap <= 0xA07F; ++trap) {
    bool expected = std::find(std::begin(unsupported), std::end(unsupported), trap) == std::end(unsupported);
    EXPECT_EQ(TrapDispatcher::IsServed(trap), expected) << std::hex << trap;
  }
}

}  // namespace
