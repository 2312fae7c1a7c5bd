// Emulation contexts: nesting per thread, register and stack access, and
// the address rules native code uses on 68K memory.
#include <gtest/gtest.h>
#include "emulator/context/M68K.h"
#include "emulator/context/M68KGlobals.h"
#include "host/HostMemory.h"
#include "palm/Address.h"
#include "palm/Endian.h"

namespace {

class M68KContext : public testing::Test {
 protected:
  void SetUp() override {
    if (!GetM68KGlobals()) {
      ASSERT_TRUE(M68KInit());
    }
    cpu = static_cast<M68K*>(M68Kcontext::construct(0x1000));
    ASSERT_NE(cpu, nullptr);
  }
  void TearDown() override { delete cpu; }
  M68K* cpu = nullptr;
};

TEST_F(M68KContext, ContextsNestOnAThread) {
  EXPECT_EQ(M68K::getCurrentM68K(), cpu);
  auto* inner = static_cast<M68K*>(M68Kcontext::construct(0x100));
  EXPECT_EQ(M68K::getCurrentM68K(), inner);
  delete inner;
  EXPECT_EQ(M68K::getCurrentM68K(), cpu);
  EXPECT_EQ(GetCurrentOrLastTrapNo(), 0);
}

TEST_F(M68KContext, StackStartsAtItsTopInTheArena) {
  EXPECT_EQ(cpu->getAddrRegLong(7), toEmu(cpu->getUserStackBase()) + 0x1000);
  EXPECT_EQ(cpu->getUserStackSize(), 0x1000u);
  EXPECT_TRUE(Arena68K::inArena(toEmu(cpu->getUserStackBase())));
  EXPECT_EQ(M68Kcontext::construct(0x7FFFFFFF), nullptr);  // no such stack: no context
  EXPECT_EQ(M68K::getCurrentM68K(), cpu);
}

TEST_F(M68KContext, PushesAndPopsMoveA7ByTheirSize) {
  UInt32 top = cpu->getAddrRegLong(7);
  cpu->pushWord(0x1234);
  EXPECT_EQ(cpu->getAddrRegLong(7), top - 2);
  cpu->pushLong(0xDEADBEEF);
  EXPECT_EQ(cpu->getAddrRegLong(7), top - 6);
  EXPECT_EQ(get32(fromEmu(top - 6)), 0xDEADBEEFu);
  EXPECT_EQ(cpu->popLong(), 0xDEADBEEFu);
  EXPECT_EQ(cpu->popWord(), 0x1234);
  EXPECT_EQ(cpu->predecrementAddrReg(7, 1), top - 2);  // byte steps keep A7 even
  EXPECT_EQ(cpu->postincrementAddrReg(7, 1), top - 2);
  cpu->setAddrRegLong(2, 100);
  EXPECT_EQ(cpu->predecrementAddrReg(2, 1), 99u);
}

TEST_F(M68KContext, RegisterWordWritesKeepTheHighHalf) {
  cpu->setDataRegLong(3, 0xAAAABBBB);
  cpu->setDataRegWord(3, 0x1234);
  EXPECT_EQ(cpu->getDataRegLong(3), 0xAAAA1234u);
  EXPECT_EQ(cpu->getDataRegByte(3), 0x34);
}

TEST_F(M68KContext, AddressRules) {
  cpu->setAddrRegLong(1, 0x0A0A0A0A);
  cpu->setDataRegLong(2, 0xFFFF0000);
  EXPECT_EQ(cpu->getLong(0), 0u);
  EXPECT_EQ(cpu->getWord(0), 0u);
  EXPECT_EQ(cpu->getLong(0xFFFFFFF0 + 9), 0x0A0A0A0Au);
  cpu->setWord(0xFFFFFFF0 + 2, 0x4242);
  EXPECT_EQ(cpu->getDataRegLong(2), 0xFFFF4242u);
  EXPECT_EQ(cpu->getLong(0xFFFFFA00), cpu->state().lcdStart);
  cpu->setWord(0xFFFFFA00, 0x1234);  // a hardware register: ignored
  UInt8* low = GetM68KGlobals()->getLowMemAddr();
  EXPECT_EQ(cpu->translateAddrToNative(0x33B), low + 0x33B);
  EXPECT_EQ(cpu->translateAddrToNative(0x33C), fromEmu(0x33C));
  set16(low + 0x100, 0x4E75);
  EXPECT_EQ(cpu->getPCWord(0x100), 0x4E75);
}

TEST_F(M68KContext, ExceptionListHeadIs68KAddressable) {
  EmuAddr head = cpu->exceptionListAddress();
  EXPECT_TRUE(Arena68K::inArena(head));
  EXPECT_EQ(get32(fromEmu(head)), 0u);
}

}  // namespace

namespace {

using M68KContextDeathTest = M68KContext;

TEST_F(M68KContextDeathTest, HostFaultReportNamesTheTrapAndRegisters) {
  EXPECT_EXIT(
      {
        cpu->setDataRegLong(5, 0x55555555);
        auto* wild = static_cast<volatile UInt8*>(fromEmu(Arena68K::kBase + 0x30000000));
        (void)*wild;
      },
      testing::ExitedWithCode(255), "Illegal memory access\n inst: 0\nD0=00000000 .*D5=55555555");
}

}  // namespace
