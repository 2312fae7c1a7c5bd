// The SDK's trap wrappers as the build assembled them: the program that calls
// every wrapper holds, for each row of the trap table, TRAP #15 with the row's
// trap word (after loading the selector into D2 for the dispatcher traps),
// and nothing a 68000 cannot run.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "palm/Endian.h"
#include "palm/PdbFormat.h"
#include "palm/SystemTraps.h"
#include "prc/CoreOpcodes.h"
#include "prc/ElfImage.h"
#include "prc/InstructionScan.h"
#include "support/PalmApps.h"
#include "sdkgen/TrapWrappers.h"

namespace {

std::vector<UInt8> code1Of(const PdbDatabase& db) {
  for (const PdbResource& r : db.resources)
    if (r.type == 0x636F6465 && r.id == 1) return r.data;  // 'code' 1
  return {};
}

// The instruction bytes that a wrapper of `row` must contain.
std::vector<UInt8> trapSequence(const SystemTrapRow& row) {
  std::vector<UInt8> s;
  if (row.source == SelectorSource::D2Word) s = {0x34, 0x3C, UInt8(row.selector >> 8), UInt8(row.selector)};
  if (row.source == SelectorSource::D2Long) s = {0x74, UInt8(row.selector)};  // MOVEQ: every long selector is small
  s.insert(s.end(), {0x4E, 0x4F, UInt8(row.trap >> 8), UInt8(row.trap)});
  return s;
}

TEST(TrapWrapperCalls, EveryWrapperExecutesItsTrap) {
  PdbDatabase db;
  std::string error;
  ASSERT_TRUE(ReadPdbImage(ReadFileBytes(PalmAppsPath("TrapWrapperCalls.prc")), db, error)) << error;
  const std::vector<UInt8> code = code1Of(db);
  ASSERT_FALSE(code.empty());
  std::size_t wrappers = 0;
  for (const SystemTrapRow& row : SystemTrapRows()) {
    if (!HasTrapWrapper(row)) continue;
    ++wrappers;
    ASSERT_TRUE(row.source != SelectorSource::D2Long || row.selector < 128);
    const std::vector<UInt8> sequence = trapSequence(row);
    EXPECT_NE(std::search(code.begin(), code.end(), sequence.begin(), sequence.end()), code.end()) << row.name;
  }
  EXPECT_GT(wrappers, 800u);
}

TEST(TrapWrapperCalls, CodeHoldsOnly68000Instructions) {
  ElfImage elf;
  PdbDatabase db;
  std::string error;
  ASSERT_TRUE(elf.load(ReadFileBytes(PalmAppsPath("TrapWrapperCalls.elf")), error)) << error;
  ASSERT_TRUE(ReadPdbImage(ReadFileBytes(PalmAppsPath("TrapWrapperCalls.prc")), db, error)) << error;
  const std::vector<UInt8> code = code1Of(db);
  const UInt32 textEnd = *elf.symbolValue("__text_end");
  ASSERT_LE(textEnd, code.size());
  const auto finding = FindUnservedInstruction(std::span<const UInt8>(code.data(), textEnd), CoreServesOpcode);
  EXPECT_FALSE(finding.has_value()) << "word " << std::hex << finding->word << " at " << finding->offset;
}

}  // namespace
