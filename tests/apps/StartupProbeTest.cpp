// The StartupProbe application as the launch will see it: its .prc read back,
// 'data' 0 unpacked into a globals block at chosen addresses, and every
// global checked against the link's own symbols; its 'code' 1 holds only
// 68000 instructions.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "emulator/launch/StartupData.h"
#include "palm/Endian.h"
#include "palm/PdbFormat.h"
#include "prc/CoreOpcodes.h"
#include "prc/ElfImage.h"
#include "prc/InstructionScan.h"
#include "support/PalmApps.h"

namespace {

constexpr UInt32 kA5Address = 0x12345600;
constexpr UInt32 kCodeAddress = 0x23456000;

UInt32 fourCharCode(const char* s) {
  return (UInt32(UInt8(s[0])) << 24) | (UInt32(UInt8(s[1])) << 16) | (UInt32(UInt8(s[2])) << 8) | UInt8(s[3]);
}

class StartupProbe : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(elf.load(ReadFileBytes(PalmAppsPath("StartupProbe.elf")), error)) << error;
    ASSERT_TRUE(ReadPdbImage(ReadFileBytes(PalmAppsPath("StartupProbe.prc")), db, error)) << error;
    a5 = *elf.symbolValue("__a5");
  }

  const std::vector<UInt8>& resource(const char* type, UInt16 id) {
    for (const PdbResource& r : db.resources)
      if (r.type == fourCharCode(type) && r.id == id) return r.data;
    ADD_FAILURE() << "resource " << type << " " << id << " missing";
    static const std::vector<UInt8> none;
    return none;
  }

  // The globals world built as the launch builds it.
  void unpackGlobals() {
    Code0Sizes sizes;
    ASSERT_TRUE(ReadCode0Sizes(resource("code", 0), sizes));
    globals.assign(sizes.below + sizes.above + 256, 0);
    a5Offset = sizes.below;
    const StartupDataResult r = UnpackStartupData(resource("data", 0), {globals, a5Offset, kA5Address, kCodeAddress});
    ASSERT_TRUE(r.ok) << r.reason << " at " << r.at;
  }

  UInt32 globalLong(const char* symbol, UInt32 plus = 0) {
    const long long fromA5 = static_cast<long long>(*elf.symbolValue(symbol)) + plus - a5;
    const long long at = static_cast<long long>(a5Offset) + fromA5;
    if (at < 0 || static_cast<std::size_t>(at) + 4 > globals.size()) {
      ADD_FAILURE() << symbol << " lies outside the globals block";
      return 0;
    }
    return get32(&globals[static_cast<std::size_t>(at)]);
  }

  ElfImage elf;
  PdbDatabase db;
  UInt32 a5 = 0;
  std::vector<UInt8> globals;
  std::size_t a5Offset = 0;
};

TEST_F(StartupProbe, GlobalsComeOutInitialisedAndRelocated) {
  unpackGlobals();
  EXPECT_EQ(globalLong("counter"), 1234567u);
  EXPECT_EQ(globalLong("counterPtr"), kA5Address + (*elf.symbolValue("counter") - a5));
  EXPECT_EQ(globalLong("operation"), kCodeAddress + *elf.symbolValue("twice"));
  const UInt32 greeting = *elf.symbolValue("greeting");
  EXPECT_EQ(globalLong("greetingPtr"), kCodeAddress + greeting);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&resource("code", 1)[greeting])), "Hello, Palm");
  EXPECT_EQ(globalLong("pattern"), 0x00000000u);
  EXPECT_EQ(globalLong("pattern", 4), 0xFFFFFFFFu);
  EXPECT_EQ(globalLong("pattern", 8), 0x12345678u);
  EXPECT_EQ(globalLong("pattern", 12), 0xA9F00042u);
  for (UInt32 i = 0; i < 32; i += 4) EXPECT_EQ(globalLong("scratch", i), 0u);
}

TEST_F(StartupProbe, EveryGotEntryPointsIntoCodeOrGlobals) {
  unpackGlobals();
  const ElfSection* got = elf.section(".got");
  ASSERT_NE(got, nullptr);
  const UInt32 codeSize = UInt32(resource("code", 1).size());
  for (UInt32 at = 12; at < got->size; at += 4) {
    const UInt32 value = get32(&globals[a5Offset + at]);
    const bool intoCode = value - kCodeAddress <= codeSize;
    const bool intoGlobals = value - (kA5Address - a5Offset) <= globals.size();
    EXPECT_TRUE(intoCode || intoGlobals) << "GOT entry at A5 + " << at << " = " << std::hex << value;
  }
}

TEST_F(StartupProbe, Code1HoldsOnly68000InstructionsFromItsEntry) {
  const std::vector<UInt8>& code1 = resource("code", 1);
  const UInt32 textEnd = *elf.symbolValue("__text_end");
  ASSERT_LE(textEnd, code1.size());
  std::span<const UInt8> instructions(code1.data(), textEnd);
  const auto finding = FindUnservedInstruction(instructions, CoreServesOpcode);
  EXPECT_FALSE(finding.has_value()) << "word " << std::hex << finding->word << " at " << finding->offset;
  // The entry is the start-up code: LINK A6 first, then SysAppStartup.
  EXPECT_EQ(get16(&code1[0]), 0x4E56);
  bool startupTrap = false;
  for (std::size_t i = 0; i + 4 <= textEnd; i += 2)
    startupTrap = startupTrap || (get16(&code1[i]) == kTrap15Word && get16(&code1[i + 2]) == 0xA08F);
  EXPECT_TRUE(startupTrap);
}

}  // namespace
