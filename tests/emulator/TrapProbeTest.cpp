// 68K code built by our toolchain calling the Memory and Data Manager traps,
// the error traps and the pseudo trap addresses; and the fatal exits.
#include "PalmAppFixture.h"
#include "palm/Endian.h"

namespace {

class TrapProbe : public PalmAppFixture {
 protected:
  void SetUp() override {
    PalmAppFixture::SetUp();
    loadApp("TrapProbe");
  }
};

TEST_F(TrapProbe, MemoryTraps) {
  UInt32 stack = cpu->getAddrRegLong(7);
  // 1 + ... + 16 read back after the move, plus the byte MemSet wrote.
  EXPECT_EQ(callFunction("ProbeMemory"), 136u + 7u);
  EXPECT_EQ(cpu->getAddrRegLong(7), stack);
}

TEST_F(TrapProbe, DataManagerTrapsAndSortingThroughA68KComparison) {
  EXPECT_EQ(callFunction("ProbeDatabase"), 3u * 1000 + 20);
  LocalID id = DmFindDatabase(0, "ProbeDB");
  ASSERT_NE(id, 0u);
  UInt32 type = 0, creator = 0;
  ASSERT_EQ(DmDatabaseInfo(0, id, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           &type, &creator),
            errNone);
  EXPECT_EQ(type, fourCC("DATA"));
  EXPECT_EQ(creator, fourCC("QvTp"));
  EXPECT_EQ(callFunction("ProbeSort"), 0x1E140Au);  // 30, 20, 10
}

TEST_F(TrapProbe, ErrThrowLandsInTheTryBlock) { EXPECT_EQ(callFunction("ProbeErrTry"), 0x11234u); }

TEST_F(TrapProbe, ErrLongJumpReturnsThroughErrSetJump) { EXPECT_EQ(callFunction("ProbeLongJump"), 0x20005u); }

TEST_F(TrapProbe, JumpToAPseudoTrapAddressRunsTheTrap) { EXPECT_EQ(callFunction("ProbePseudoTrap"), 32u); }

TEST_F(TrapProbe, PatchedTrapRunsThePatch) {
  // The application's replacement for StrLen: ProbeMemory, whose result shows it ran.
  M68KGlobals* g = GetM68KGlobals();
  UInt8* entry = g->trapTable + 4 * (0xA0C7 - 0xA000);
  UInt32 original = get32(entry);
  set32(entry, functionAddress("ProbeMemory"));
  cpu->pushLong(0);  // StrLen's argument
  EmuAddr routine = plantCode({0x4E4F, 0xA0C7, 0x4E75});  // TRAP #15 StrLen, RTS
  cpu->call(routine, 4);
  set32(entry, original);
  EXPECT_EQ(cpu->getD0Long(), 136u + 7u);
}

using TrapProbeDeathTest = TrapProbe;

TEST_F(TrapProbeDeathTest, FatalExits) {
  struct Case {
    const char* function;
    const char* message;
  } cases[] = {
      {"ProbeUnsupportedTrap", "Unsupported system trap \\(OxA173\\) called"},
      {"ProbeDivideByZero", "Divide by zero"},
  };
  for (const Case& c : cases)
    EXPECT_EXIT(callFunction(c.function), testing::ExitedWithCode(1), c.message) << c.function;
  // Compilers never emit ILLEGAL (the PRC builder would refuse it): planted here.
  EXPECT_EXIT(cpu->call(plantCode({0x4AFC}), 0), testing::ExitedWithCode(1), "ILLEGAL instruction encountered");
  EXPECT_EXIT(cpu->call(plantCode({0xA123}), 0), testing::ExitedWithCode(1),
              "Illegal instruction encountered \\(accelerated\\): a123");
}

}  // namespace
