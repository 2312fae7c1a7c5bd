// The exits of the production core and what each leaves in the state block.
#include "CoreFixture.h"

namespace {
using CoreExits = CoreFixture;

TEST_F(CoreExits, UnservedWordStopsOnItUntouched) {
  code({0x7005,    // moveq #5,d0
        0xA123});  // an A-line word
  st.sr = 0x0004;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.pc, at(2));
  EXPECT_EQ(st.D(0), 5u);
  EXPECT_EQ(st.sr, 0x0000);  // MOVEQ's flags, nothing from the unserved word
  // Resuming without moving PC stops on the same word again.
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.pc, at(2));
}

TEST_F(CoreExits, TrapFifteenLeavesPcOnTheTrapWord) {
  code({0x4E4F, 0xA0BA});  // trap #15; sysTrap word
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.pc, at(0));
  EXPECT_EQ(get16(host(st.pc + 2)), 0xA0BA);
}

TEST_F(CoreExits, LongDivideWithWideDividendIsLeftToTheCaller) {
  code({0x4C58, 0x1401});  // divu.l (a0)+,d1:d1 with bit 10 set
  st.A(0) = at(kData);
  st.D(1) = 100;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.pc, at(0));
  EXPECT_EQ(st.A(0), at(kData));
  EXPECT_EQ(st.D(1), 100u);
}

TEST_F(CoreExits, ReturnToTheQuitAddressEndsTheRun) {
  UInt32 sp = st.A(7);
  code({0x4E75});  // rts
  EXPECT_EQ(run(), kM68KQuit);
  EXPECT_EQ(st.pc, kM68KQuitAddress);
  EXPECT_EQ(st.A(7), sp + 4);
}

TEST_F(CoreExits, JumpToTheQuitAddressEndsTheRunWithoutPopping) {
  UInt32 sp = st.A(7);
  code({0x4ED0});  // jmp (a0)
  st.A(0) = kM68KQuitAddress;
  EXPECT_EQ(run(), kM68KQuit);
  EXPECT_EQ(st.pc, kM68KQuitAddress);
  EXPECT_EQ(st.A(7), sp);
}

TEST_F(CoreExits, DivideByZeroKeepsDestinationAndFlags) {
  code({0x80D8});  // divu.w (a0)+,d0
  st.A(0) = at(kData);
  set16(host(at(kData)), 0);
  st.D(0) = 0x12345678;
  st.sr = 0x001F;
  EXPECT_EQ(run(), kM68KDivideByZero);
  EXPECT_EQ(st.pc, at(2));
  EXPECT_EQ(st.D(0), 0x12345678u);
  EXPECT_EQ(st.sr, 0x001F);
  EXPECT_EQ(st.A(0), at(kData) + 2);
}

struct StoreCase {
  const char* what;
  UInt16 opcode;
  Int32 offset;  // from lcdStart
  bool reported;
  Int32 reportedOffset;
  UInt32 reportedLength;
};

class FrameBufferStores : public CoreFixture, public testing::WithParamInterface<StoreCase> {};

// Stores through (A0) of each size, around both ends of the frame buffer.
TEST_P(FrameBufferStores, AreReportedClippedToTheBuffer) {
  const StoreCase& c = GetParam();
  code({c.opcode, 0x7201, 0xA000});  // the store; moveq #1,d1; an A-line word
  st.A(0) = st.lcdStart + static_cast<UInt32>(c.offset);
  st.D(0) = 0xA1B2C3D4;
  M68KAccelStatus status = run();
  if (!c.reported) {
    EXPECT_EQ(status, kM68KUnimplemented) << c.what;
    EXPECT_EQ(st.pc, at(4)) << c.what;
    return;
  }
  ASSERT_EQ(status, kM68KDirectLCDWrite) << c.what;
  EXPECT_EQ(st.lcdWriteAddress, st.lcdStart + static_cast<UInt32>(c.reportedOffset)) << c.what;
  EXPECT_EQ(st.lcdWriteLength, c.reportedLength) << c.what;
  EXPECT_EQ(st.pc, at(2)) << c.what;
  EXPECT_EQ(st.D(1), 0u);
  // Resuming runs the next instruction; the store is not repeated.
  set32(host(st.A(0)), 0);
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.pc, at(4));
  EXPECT_EQ(st.D(1), 1u);
  EXPECT_EQ(get32(host(st.A(0))), 0u);
}

constexpr Int32 kLast = static_cast<Int32>(CoreFixture::kFrameBufferBytes) - 1;
INSTANTIATE_TEST_SUITE_P(
    CoreExits, FrameBufferStores,
    testing::Values(StoreCase{"byte at lcdEnd", 0x1080, kLast, true, kLast, 1},
                    StoreCase{"byte after lcdEnd", 0x1080, kLast + 1, false, 0, 0},
                    StoreCase{"long at lcdStart - 1", 0x2080, -1, true, 0, 3},
                    StoreCase{"long at lcdStart - 4", 0x2080, -4, false, 0, 0},
                    StoreCase{"word at lcdStart - 1", 0x3080, -1, true, 0, 1},
                    StoreCase{"long at lcdEnd - 1", 0x2080, kLast - 1, true, kLast - 1, 2},
                    StoreCase{"long inside", 0x2080, 16, true, 16, 4},
                    StoreCase{"clr.w inside", 0x4250, 8, true, 8, 2},
                    StoreCase{"tas inside", 0x4AD0, 8, true, 8, 1},
                    StoreCase{"move sr inside", 0x40D0, 8, true, 8, 2},
                    StoreCase{"move ccr inside", 0x42D0, 8, true, 8, 2},
                    StoreCase{"add.l inside", 0xD190, 8, true, 8, 4},
                    StoreCase{"lsl.w inside", 0xE3D0, 8, true, 8, 2},
                    StoreCase{"bset inside", 0x01D0, 8, true, 8, 1},
                    StoreCase{"st inside", 0x50D0, 8, true, 8, 1}));

TEST_F(CoreExits, EmptyRegisterListStoreInsideIsReportedWithLengthZero) {
  code({0x48D0, 0x0000});  // movem.l <none>,(a0)
  st.A(0) = st.lcdStart + 8;
  EXPECT_EQ(run(), kM68KDirectLCDWrite);
  EXPECT_EQ(st.lcdWriteAddress, st.lcdStart + 8);
  EXPECT_EQ(st.lcdWriteLength, 0u);
}

TEST_F(CoreExits, RegisterListStoreIsReportedOnceForTheBlock) {
  code({0x48E7, 0xF000});  // movem.l d0-d3,-(a7)
  st.A(7) = st.lcdStart + 32;
  EXPECT_EQ(run(), kM68KDirectLCDWrite);
  EXPECT_EQ(st.lcdWriteAddress, st.lcdStart + 16);
  EXPECT_EQ(st.lcdWriteLength, 16u);
  EXPECT_EQ(st.A(7), st.lcdStart + 16);
}
}  // namespace
