// The PRC builder's refusals, each on a real program linked with the Palm
// linker script, and its use of the served-opcode predicate.
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include "prc/ElfImage.h"
#include "prc/InstructionScan.h"
#include "prc/StartupImage.h"
#include "support/PalmApps.h"

namespace {

struct RefusalCase {
  const char* program;
  const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.program; }

class RefusesProgram : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusesProgram, WithAClearMessage) {
  ElfImage elf;
  std::string error;
  ASSERT_TRUE(elf.load(ReadFileBytes(PalmAppsPath(std::string("broken/") + GetParam().program + ".elf")), error)) << error;
  StartupImage image;
  EXPECT_FALSE(BuildStartupImage(elf, Is68000OpcodeWord, image, error));
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    BrokenLinks, RefusesProgram,
    testing::Values(RefusalCase{"AbsoluteAddress", "absolute relocation in code"},
                    RefusalCase{"Uses68020", "instruction word 0x49C0 at code offset 0x2: not a 68000 instruction"},
                    RefusalCase{"EntryNotZero", "entry point 0x2 is not 0"},
                    RefusalCase{"OddPointer", "odd offset"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.program; });

bool refusesMoveq(UInt16 word) { return (word & 0xF100) != 0x7000; }

TEST(StartupImage, RefusesWordsTheCoreDoesNotServe) {
  ElfImage elf;
  std::string error;
  ASSERT_TRUE(elf.load(ReadFileBytes(PalmAppsPath("StartupProbe.elf")), error)) << error;
  StartupImage image;
  ASSERT_TRUE(BuildStartupImage(elf, Is68000OpcodeWord, image, error)) << error;
  EXPECT_FALSE(BuildStartupImage(elf, refusesMoveq, image, error));
  EXPECT_NE(error.find("not served by the interpreter core"), std::string::npos) << error;
}

TEST(ElfImage, RefusesFilesThatAreNotWholeExecutables) {
  const std::vector<UInt8> file = ReadFileBytes(PalmAppsPath("StartupProbe.elf"));
  ASSERT_GT(file.size(), 200u);
  ElfImage elf;
  std::string error;
  EXPECT_FALSE(elf.load(std::vector<UInt8>(file.begin(), file.begin() + 40), error));
  EXPECT_FALSE(elf.load(std::vector<UInt8>(file.begin(), file.end() - 200), error));
  EXPECT_NE(error.find("out"), std::string::npos) << error;
  std::vector<UInt8> littleEndian = file;
  littleEndian[5] = 1;
  EXPECT_FALSE(elf.load(littleEndian, error));
  EXPECT_FALSE(elf.load(std::vector<UInt8>(100, 0x7F), error));
}

}  // namespace
