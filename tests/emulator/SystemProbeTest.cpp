// 68K code built by our toolchain calling the String, Time, System, Feature
// and Overlay Manager traps: arguments read from its stack, results in D0 or
// A0, out-values written big-endian where it looks for them.
#include <cstring>
#include <string>

#include "PalmAppFixture.h"
#include "storage/Feature.h"
#include "storage/overlay.h"
#include "system/HostAnswers.h"

namespace {
constexpr UInt32 kProbeCreator = fourCC("QvSy");

class SystemProbe : public PalmAppFixture {
 protected:
  void SetUp() override {
    PalmAppFixture::SetUp();
    setFeatureHost({[](UInt32, UInt16, UInt32*) -> Err { return ftrErrNoSuchFeature; }, nullptr});
    ASSERT_TRUE(FeatureInit());
    loadApp("SystemProbe");
    buffer = static_cast<UInt8*>(MemPtrNew(64));
    std::memset(buffer, 0xAA, 64);
  }

  void TearDown() override {
    CloseFeatureDatabase();
    setFeatureHost({});
    PalmAppFixture::TearDown();
  }

  // Calls function(arguments...) with 32-bit arguments, the first pushed last.
  UInt32 callWith(const char* function, std::initializer_list<UInt32> args) {
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) cpu->pushLong(*it);
    UInt32 stack = cpu->getAddrRegLong(7);
    cpu->call(functionAddress(function), static_cast<UInt32>(4 * args.size()));
    EXPECT_EQ(cpu->getAddrRegLong(7), stack + 4 * args.size()) << function;
    return cpu->getD0Long();
  }

  std::string text() const { return reinterpret_cast<const char*>(buffer); }
  Int16 field(int i) const { return static_cast<Int16>(get16(buffer + 2 * i)); }

  UInt8* buffer = nullptr;
};

TEST_F(SystemProbe, StringComparisonsReturnTheirSignInD0) {
  // abc < abd, b > a, a before A, hello equals HELLO caselessly.
  EXPECT_EQ(callFunction("ProbeStringCompare"), 0xFF01FF00u);
}

TEST_F(SystemProbe, StringConversionsWriteIntoTheApplicationsBuffer) {
  UInt32 length = callWith("ProbeStringBuild", {toEmu(buffer)});
  EXPECT_EQ(text(), "[-1234,0000BEEF,-42,mixed \xE9t\xE9]");
  EXPECT_EQ(length, text().size());
}

TEST_F(SystemProbe, StringSearchesReturnPointersIntoTheString) {
  EXPECT_EQ(callFunction("ProbeStringSearch"), (9u << 16) | (2u << 8) | 7u);
}

TEST_F(SystemProbe, PointersTooLowToBeStringsReadAsEmpty) {
  EXPECT_EQ(callWith("ProbeStringEdges", {toEmu(buffer)}), 31u);
}

TEST_F(SystemProbe, SecondsBecomeDateTimeFieldsAndBack) {
  struct Case {
    UInt32 seconds;
    Int16 second, minute, hour, day, month, year, weekDay;
  } cases[] = {
      {0, 0, 0, 0, 1, 1, 1904, 5},
      {3034672496u, 56, 34, 12, 29, 2, 2000, 2},
      {0xFFFFFFFFu, 15, 28, 6, 6, 2, 2040, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(callWith("ProbeDateTime", {toEmu(buffer), c.seconds}), c.seconds);
    const Int16 expected[7] = {c.second, c.minute, c.hour, c.day, c.month, c.year, c.weekDay};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(field(i), expected[i]) << c.seconds << " field " << i;
  }
}

TEST_F(SystemProbe, TimAdjustMovesTheDateAcrossALeapDay) {
  const Int16 feb28[7] = {0, 0, 23, 28, 2, 2000, 1};
  for (int i = 0; i < 7; ++i) set16(buffer + 2 * i, static_cast<UInt16>(feb28[i]));
  EXPECT_EQ(callWith("ProbeTimAdjust", {toEmu(buffer), 2 * 3600}), 3034623600u + 7200);
  EXPECT_EQ(field(3), 29);
  EXPECT_EQ(field(2), 1);
  EXPECT_EQ(field(6), 2);  // Tuesday
}

TEST_F(SystemProbe, FeatureValuesReachTheApplicationBigEndian) {
  EXPECT_EQ(callFunction("ProbeFeatures"), 0x12345678u);
  UInt32 value = 0;
  EXPECT_EQ(FtrGet(kProbeCreator, 1, &value), errNone);
  EXPECT_EQ(value, 0x12345678u);
}

TEST_F(SystemProbe, FeatureMemoryIsHandedToTheApplication) {
  UInt32 index = callFunction("ProbeFeatureMemory");
  ASSERT_LT(index, 0xE000u);
  UInt32 creator = 0, value = 0;
  UInt16 number = 0;
  ASSERT_EQ(FtrGetByIndex(static_cast<UInt16>(index), false, &creator, &number, &value), errNone);
  EXPECT_EQ(creator, kProbeCreator);
  EXPECT_EQ(number, 2);
  EXPECT_STREQ(static_cast<const char*>(fromEmu(value)), "feature");
}

TEST_F(SystemProbe, SysQSortSortsStablyThroughA68KComparison) { EXPECT_EQ(callFunction("ProbeSysQSort"), 0x642513u); }

TEST_F(SystemProbe, SysRandomRepeatsASeededSequence) { EXPECT_EQ(callFunction("ProbeSysRandom"), 1u); }

TEST_F(SystemProbe, TicksCountHundredthsOfASecond) { EXPECT_EQ(callFunction("ProbeTicks"), 100u); }

TEST_F(SystemProbe, OverlayNamesComeFromTheSystemLocale) {
  EXPECT_EQ(callWith("ProbeOverlayName", {toEmu(buffer)}), errNone);
  EXPECT_EQ(text(), "Memo Pad_enUS");
  EXPECT_EQ(get16(buffer + 32), 0);  // English, United States, read back from the name, big-endian
  EXPECT_EQ(get16(buffer + 34), 23);
}

TEST_F(SystemProbe, OverlayRoutinesRunThroughTheirPseudoAddresses) {
  LmLocaleType french{1, 7};
  ASSERT_EQ(OmSetSystemLocale(&french), errNone);
  EXPECT_EQ(callWith("ProbeOverlayRoutine", {toEmu(buffer)}), 1u);
  EXPECT_EQ(get16(buffer), 1);
  EXPECT_EQ(get16(buffer + 2), 7);
}

TEST_F(SystemProbe, BatteryAnswersComeFromTheHost) {
  HostBattery host = hostBattery();
  UInt32 r = callFunction("ProbeBattery");
  EXPECT_EQ(r >> 16, static_cast<UInt32>(host.level * 1380.0f));
  EXPECT_EQ((r >> 8) & 0xFF, host.pluggedIn ? 1u : 0u);
  EXPECT_EQ(r & 0xFF, 2u);
}

using SystemProbeDeathTest = SystemProbe;

TEST_F(SystemProbeDeathTest, TrapsWithoutImplementationStopTheProgram) {
  EXPECT_EXIT(callFunction("ProbeSerialLink"), testing::ExitedWithCode(1), "Unimplemented Serial Link trap 0xa0dc");
  EXPECT_EXIT(callFunction("ProbeUnimplementedTrap"), testing::ExitedWithCode(1),
              "Unsupported system trap \\(OxA173\\) called");
}

}  // namespace
