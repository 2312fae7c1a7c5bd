// The code scan's instruction lengths against an independent disassembler:
// walking the built applications' code must stop at exactly the instruction
// starts that binutils' m68k objdump finds (a TRAP #15 and its trap word
// count as one instruction).
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>
#include "palm/Endian.h"
#include "prc/ElfImage.h"
#include "prc/InstructionScan.h"
#include "support/PalmApps.h"

namespace {

std::set<UInt32> objdumpStarts(const std::string& elf, UInt32 end) {
  const std::string command = "m68k-linux-gnu-objdump -d --stop-address=" + std::to_string(end) + " '" + elf + "'";
  std::set<UInt32> starts;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << command;
    return starts;
  }
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    unsigned offset = 0;
    char tab = 0;
    // "  offset:<tab>words<tab>mnemonic"; a long instruction's further words
    // follow on lines without a mnemonic.
    const bool hasMnemonic = std::count(line, line + std::strlen(line), '\t') >= 2;
    if (std::sscanf(line, " %x:%c", &offset, &tab) == 2 && tab == '\t' && hasMnemonic) starts.insert(offset);
  }
  EXPECT_EQ(pclose(pipe), 0) << command;
  return starts;
}

class InstructionBoundaries : public testing::TestWithParam<const char*> {};

TEST_P(InstructionBoundaries, MatchObjdump) {
  const std::string elfPath = PalmAppsPath(std::string(GetParam()) + ".elf").string();
  ElfImage elf;
  std::string error;
  ASSERT_TRUE(elf.load(ReadFileBytes(elfPath), error)) << error;
  const std::vector<UInt8>& text = elf.section(".text")->bytes;
  const UInt32 end = *elf.symbolValue("__text_end");
  const std::span<const UInt8> code(text.data(), end);

  std::set<UInt32> ours;
  for (UInt32 offset = 0; offset < end;) {
    ours.insert(offset);
    const std::size_t length = M68000InstructionLength(code, offset);
    ASSERT_NE(length, 0u) << "at " << offset;
    offset += static_cast<UInt32>(length);
  }
  std::set<UInt32> theirs = objdumpStarts(elfPath, end);
  for (UInt32 offset : ours)
    if (get16(&code[offset]) == kTrap15Word) theirs.erase(offset + 2);  // the trap word
  std::vector<UInt32> onlyOurs, onlyTheirs;
  std::set_difference(ours.begin(), ours.end(), theirs.begin(), theirs.end(), std::back_inserter(onlyOurs));
  std::set_difference(theirs.begin(), theirs.end(), ours.begin(), ours.end(), std::back_inserter(onlyTheirs));
  EXPECT_TRUE(onlyOurs.empty()) << "first start only we find: " << std::hex << onlyOurs.front();
  EXPECT_TRUE(onlyTheirs.empty()) << "first start only objdump finds: " << std::hex << onlyTheirs.front();
  EXPECT_GT(ours.size(), 100u);
}

INSTANTIATE_TEST_SUITE_P(Applications, InstructionBoundaries, testing::Values("StartupProbe", "TrapWrapperCalls"));

}  // namespace
