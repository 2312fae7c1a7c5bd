// Address translation and the memory checks of the production core.
#include "CoreFixture.h"

namespace {
using CoreAddressing = CoreFixture;

TEST_F(CoreAddressing, LowAddressesReachTheLowMemoryBlock) {
  set32(lowMemory() + 0x100, 0xCAFEBABE);
  code({0x2038, 0x0100,   // move.l $0100.w,d0
        0x41F8, 0x0100,   // lea $0100.w,a0
        0xA000});
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.D(0), 0xCAFEBABEu);
  EXPECT_EQ(st.A(0), 0x100u);  // LEA yields the 68K address, untranslated
}

TEST_F(CoreAddressing, LongAtTheEndOfLowMemoryStaysInTheBlock) {
  code({0x21C0, 0x033A,   // move.l d0,$033a.w
        0x2238, 0x033A,   // move.l $033a.w,d1
        0xA000});
  st.D(0) = 0x11223344;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.D(1), 0x11223344u);
  EXPECT_EQ(get32(lowMemory() + 0x33A), 0x11223344u);
}

TEST_F(CoreAddressing, FrameBufferStartRegisterReadsLcdStart) {
  code({0x2038, 0xFA00,           // move.l $fa00.w,d0
        0x2239, 0xFFFF, 0xFA00,   // move.l $fffffa00,d1
        0xA000});
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.D(0), st.lcdStart);
  EXPECT_EQ(st.D(1), st.lcdStart);
}

TEST_F(CoreAddressing, HandleMirrorReachesTheArena) {
  set32(host(at(kData)), 0x0BADF00D);
  code({0x2010,   // move.l (a0),d0
        0x2281,   // move.l d1,(a1)
        0xA000});
  st.A(0) = Arena68K::kMirrorBit | at(kData);
  st.A(1) = Arena68K::kMirrorBit | at(kData + 8);
  st.D(1) = 0x600DCAFE;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.D(0), 0x0BADF00Du);
  EXPECT_EQ(get32(host(at(kData + 8))), 0x600DCAFEu);
}

TEST_F(CoreAddressing, ReadOutsideMemoryReadsZero) {
  code({0x2010,   // move.l (a0),d0
        0x1228, 0x0010,   // move.b 16(a0),d1
        0xA000});
  st.A(0) = 0x08000000;  // below the arena
  st.D(0) = st.D(1) = 0xFFFFFFFF;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.D(0), 0u);
  EXPECT_EQ(st.D(1), 0xFFFFFF00u);
}

TEST_F(CoreAddressing, WriteOutsideMemoryIsFatal) {
  code({0x2080, 0xA000});  // move.l d0,(a0)
  st.A(0) = 0x60000000;      // above the arena
  EXPECT_EXIT(run(), testing::ExitedWithCode(255), "Illegal memory access");
}

TEST_F(CoreAddressing, PushOutsideMemoryIsFatal) {
  code({0x4850, 0xA000});  // pea (a0)
  st.A(7) = 0x00001000;
  EXPECT_EXIT(run(), testing::ExitedWithCode(255), "Illegal memory access");
}

TEST_F(CoreAddressing, IndexIsWordSignExtendedAndScaled) {
  set32(host(at(kData + 4)), 0x12345678);
  code({0x2030, 0x1400,   // move.l 0(a0,d1.w*4),d0
        0xA000});
  st.A(0) = at(kData + 8);
  st.D(1) = 0x0001FFFF;  // the low word, -1, times 4
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.D(0), 0x12345678u);
}

TEST_F(CoreAddressing, CallIntoLowMemoryRunsThere) {
  set16(lowMemory() + 0x100, 0x7007);  // moveq #7,d0
  set16(lowMemory() + 0x102, 0xA000);
  code({0x4EB8, 0x0100});  // jsr $0100.w
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.D(0), 7u);
  EXPECT_EQ(st.pc, st.lowMemBase + 0x102);
  EXPECT_EQ(get32(host(st.A(7))), at(4));  // the untranslated return address
}

TEST_F(CoreAddressing, PushAndFrameUseRegistersAsTheyStand) {
  code({0x4E56, 0xFFF8,   // link a6,#-8
        0x486F, 0x0004,   // pea 4(a7)
        0xA000});
  UInt32 sp = st.A(7);
  st.A(6) = 0xA6A6A6A6;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.A(6), sp - 4);
  EXPECT_EQ(get32(host(sp - 4)), 0xA6A6A6A6u);
  EXPECT_EQ(st.A(7), sp - 16);
  EXPECT_EQ(get32(host(st.A(7))), sp - 12 + 4);
}
}  // namespace
