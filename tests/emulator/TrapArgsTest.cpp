// The trap calling convention: reading arguments from a 68K stack image and
// delivering results into D0, A0 and the caller's result area.
#include <gtest/gtest.h>
#include <limits>
#include "TrapStackImage.h"

namespace {

TEST(TrapArgs, ReadsEachSlotKindAtItsOffset) {
  // Declaration order: (UInt8, Int16, UInt32, double, Int64, FloatType); pushed last-first.
  TrapStackImage s;
  s.pushFloatType(FloatType{0x80000000u, -31, -1});
  s.pushLongLong(0x8000000000000001ull);
  s.pushDouble(-2.5);
  s.pushLong(0xDEADBEEF);
  s.pushWord(0xFFFF);
  s.pushByte(0x7F);
  TrapArgs args = s.args();
  EXPECT_EQ(args.getStackByte(0), 0x7F);
  EXPECT_EQ(args.getStackWord(2), 65535u) << "zero-extended, not -1";
  EXPECT_EQ(args.getStackLong(4), 0xDEADBEEFu);
  EXPECT_EQ(args.getStackAddr(4), 0xDEADBEEFu);
  EXPECT_EQ(args.getStackDouble(8), -2.5);
  EXPECT_EQ(args.getStackLongLong(16), 0x8000000000000001ull);
  FloatType f = args.getStackFloatType(24);
  EXPECT_EQ(f.mantissa, 0x80000000u);
  EXPECT_EQ(f.exponent, -31);
  EXPECT_EQ(f.sign, -1);
}

TEST(TrapArgs, ByteArgumentIsTheFirstByteOfItsSlot) {
  TrapStackImage s;
  s.pushWord(0x01FF);
  s.pushLong(0);
  EXPECT_EQ(s.args().getStackByte(4), 1);
}

TEST(TrapArgs, FloatBitsSurviveUnchanged) {
  TrapStackImage s;
  s.pushLong(0x7FA00001);  // a signalling NaN with a payload
  EXPECT_EQ(std::bit_cast<UInt32>(s.args().getStackFloat(0)), 0x7FA00001u);
}

TEST(TrapArgs, RegisterResultsKeepTheUntouchedBits) {
  TrapStackImage s;
  s.regs[0] = 0x12345678;
  TrapArgs args = s.args();
  args.setD0Byte(127);
  EXPECT_EQ(s.regs[0], 0x1234567Fu);
  args.setD0Word(0xABCD);
  EXPECT_EQ(s.regs[0], 0x1234ABCDu);
  args.setD0Long(0xCAFEF00D);
  EXPECT_EQ(s.regs[0], 0xCAFEF00Du);
  args.setA0Long(0x10000010);
  EXPECT_EQ(s.regs[8], 0x10000010u);
  args.returnFloat(-1.0f);
  EXPECT_EQ(s.regs[0], 0xBF800000u);
}

TEST(TrapArgs, EightByteResultsGoThroughTheResultArea) {
  TrapStackImage s;
  s.regs[0] = 0x55555555;
  EmuAddr area = s.pushResultArea();
  TrapArgs args = s.args();

  args.returnLongLong(0x0102030405060708ull);
  auto bytes = static_cast<const std::uint8_t*>(fromEmu(area));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], i + 1) << "byte " << i;
  EXPECT_EQ(s.regs[8], area);

  args.returnDouble(1.0);
  EXPECT_EQ(get32(bytes), 0x3FF00000u) << "high word first";
  EXPECT_EQ(get32(bytes + 4), 0u);
  EXPECT_EQ(s.regs[0], 0x55555555u) << "D0 untouched";
}

TEST(TrapArgs, FloatTypeResultLeavesThePadByte) {
  TrapStackImage s;
  EmuAddr area = s.pushResultArea();
  s.args().returnFloatType(FloatType{0x80000001u, -2, -1});
  auto bytes = static_cast<const std::uint8_t*>(fromEmu(area));
  EXPECT_EQ(get32(bytes), 0x80000001u);
  EXPECT_EQ(get16(bytes + 4), 0xFFFEu);
  EXPECT_EQ(bytes[6], 0xFF);
  EXPECT_EQ(bytes[7], 0xAA);
  EXPECT_EQ(s.regs[8], area);
}

TEST(TrapArgs, WordReferencesConvertInPlace) {
  TrapStackImage s;
  EmuAddr word = s.allocate(2);
  set16(fromEmu(word), 0x1234);
  s.pushLong(0);
  s.pushLong(word);
  TrapArgs args = s.args();

  EXPECT_EQ(args.refToNativeWord(0), word);
  UInt16 host;
  std::memcpy(&host, fromEmu(word), 2);
  EXPECT_EQ(host, 0x1234);
  host = 0xBEEF;
  std::memcpy(fromEmu(word), &host, 2);
  args.refFromNativeWord(0);
  EXPECT_EQ(get16(fromEmu(word)), 0xBEEF);

  EXPECT_EQ(args.refToNativeWord(4), 0u) << "null pointer passed on";
  args.refFromNativeWord(4);
}

TEST(TrapArgs, HandleMirrorAddressesReachTheArena) {
  TrapStackImage s;
  EmuAddr area = s.allocate(8);
  s.pushLong(area | Arena68K::kMirrorBit);
  s.args().returnLongLong(42);
  EXPECT_EQ(read64(area), 42u);
}

TEST(TrapArgs, StringMustEndInside68KMemory) {
  TrapStackImage s;
  EmuAddr text = s.allocateString("12.5");
  EXPECT_STREQ(trapString(text, "text"), "12.5");
}

using TrapArgsDeathTest = ::testing::Test;

TEST_F(TrapArgsDeathTest, NullResultAreaStopsWithAClearMessage) {
  TrapStackImage s;
  s.pushLong(0);
  EXPECT_DEATH(s.args().returnDouble(1.0), "Illegal memory access: trap result area at 0x00000000");
}

TEST_F(TrapArgsDeathTest, ResultAreaOutsideTheArenaNeverTouchesHostMemory) {
  // Host static data has a 32-bit address outside the arena (the executable
  // is not PIE); a wild 68K pointer there must not reach it.
  static std::uint64_t hostData = 7;
  TrapStackImage s;
  s.pushLong(static_cast<UInt32>(reinterpret_cast<std::uintptr_t>(&hostData)));
  EXPECT_DEATH(s.args().returnLongLong(0), "Illegal memory access: trap result area");
  EXPECT_EQ(hostData, 7u);
}

TEST_F(TrapArgsDeathTest, StackPointerOutsideTheArenaStops) {
  TrapStackImage s;
  s.regs[15] = Arena68K::kEnd - 2;
  EXPECT_DEATH(s.args().getStackLong(0), "Illegal memory access: trap argument at 0x4FFFFFFE \\(4 bytes\\)");
}

TEST_F(TrapArgsDeathTest, WordReferenceIntoLowMemoryStops) {
  TrapStackImage s;
  s.pushLong(0x00000100);  // low memory is not a trap argument's place
  EXPECT_DEATH(s.args().refToNativeWord(0), "Illegal memory access: word argument at 0x00000100");
}

}  // namespace
