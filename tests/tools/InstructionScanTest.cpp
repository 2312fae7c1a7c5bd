// The code scan of the PRC builder: instruction lengths of the 68000 forms,
// refusal of 68020+ words, and the served-opcode predicate consulted for
// every opcode word (never for extension words).
#include <gtest/gtest.h>
#include <ostream>
#include <cctype>
#include <string>
#include <vector>
#include "prc/InstructionScan.h"

namespace {

struct WordCase {
  UInt16 word;
  const char* what;
};

void PrintTo(const WordCase& c, std::ostream* os) { *os << c.what; }

class Refuses68020Word : public testing::TestWithParam<WordCase> {};

TEST_P(Refuses68020Word, IsNoOpcodeWord) { EXPECT_FALSE(Is68000OpcodeWord(GetParam().word)) << GetParam().what; }

INSTANTIATE_TEST_SUITE_P(
    Words, Refuses68020Word,
    testing::Values(WordCase{0x61FF, "BSR.L"}, WordCase{0x60FF, "BRA.L"}, WordCase{0x49C0, "EXTB.L D0"},
                    WordCase{0x4C00, "MULS.L / MULU.L"}, WordCase{0x4C40, "DIVS.L / DIVU.L"}, WordCase{0x4808, "LINK.L"},
                    WordCase{0x4E7A, "MOVEC"}, WordCase{0x4E74, "RTD"}, WordCase{0x0AD0, "CAS.B"},
                    WordCase{0x00D0, "CMP2/CHK2"}, WordCase{0xE8C0, "BFTST"}, WordCase{0x8140, "PACK"},
                    WordCase{0x4100, "CHK.L"}, WordCase{0x51FA, "TRAPcc"}, WordCase{0x0E10, "MOVES"},
                    WordCase{0x0C3A, "CMPI (d16,PC)"}, WordCase{0x4848, "BKPT"}, WordCase{0xA0C7, "A-line"},
                    WordCase{0xF200, "F-line"}, WordCase{0xE3C8, "memory shift of An"}));

class Accepts68000Word : public testing::TestWithParam<WordCase> {};

TEST_P(Accepts68000Word, IsAnOpcodeWord) { EXPECT_TRUE(Is68000OpcodeWord(GetParam().word)) << GetParam().what; }

INSTANTIATE_TEST_SUITE_P(
    Words, Accepts68000Word,
    testing::Values(WordCase{0x6100, "BSR.W"}, WordCase{0x6106, "BSR.S"}, WordCase{0x4880, "EXT.W D0"},
                    WordCase{0x48C0, "EXT.L D0"}, WordCase{0xC1C1, "MULS.W D1,D0"}, WordCase{0x80C1, "DIVU.W D1,D0"},
                    WordCase{0x4E56, "LINK.W A6"}, WordCase{0x4E75, "RTS"}, WordCase{0x4E4F, "TRAP #15"},
                    WordCase{0x4AFC, "ILLEGAL"}, WordCase{0x48E7, "MOVEM.L to -(SP)"}, WordCase{0x4CDF, "MOVEM.L (SP)+"},
                    WordCase{0x2F0D, "MOVE.L A5,-(SP)"}, WordCase{0x206D, "MOVEA.L d16(A5),A0"}, WordCase{0xC340, "EXG D1,D0"},
                    WordCase{0x0C6F, "CMPI.W #,d16(SP)"}, WordCase{0xE388, "LSL.L #1,D0"}, WordCase{0xE3D0, "LSL.W (A0)"}, WordCase{0x0100, "BTST D0,D0"},
                    WordCase{0x5340, "SUBQ.W #1,D0"}, WordCase{0x51C8, "DBF D0"}, WordCase{0x44FC, "MOVE #,CCR"},
                    WordCase{0x027C, "ANDI #,SR"}, WordCase{0x0108, "MOVEP.W d16(A0),D0"}, WordCase{0x7000, "MOVEQ #0,D0"}));

struct LengthCase {
  const char* what;
  std::vector<UInt8> bytes;
  std::size_t length;
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.what; }

class DecodesLength : public testing::TestWithParam<LengthCase> {};

TEST_P(DecodesLength, OfTheFirstInstruction) {
  EXPECT_EQ(M68000InstructionLength(GetParam().bytes, 0), GetParam().length) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Instructions, DecodesLength,
    testing::Values(
        LengthCase{"RTS", {0x4E, 0x75}, 2},
        LengthCase{"TRAP #15 with its trap word", {0x4E, 0x4F, 0xA0, 0xC7}, 4},
        LengthCase{"TRAP #15 cut off", {0x4E, 0x4F}, 0},
        LengthCase{"MOVE.L #imm,-(SP)", {0x2F, 0x3C, 0x12, 0x34, 0x56, 0x78}, 6},
        LengthCase{"MOVE.L abs.L,abs.L", {0x23, 0xF9, 0, 0, 0, 1, 0, 0, 0, 2}, 10},
        LengthCase{"CMPI.W #,d16(SP)", {0x0C, 0x6F, 0, 5, 0, 8}, 6},
        LengthCase{"ANDI.L #,D0", {0x02, 0x80, 0, 0, 0xFF, 0xFF}, 6},
        LengthCase{"MOVEM.L D2-D4,-(SP)", {0x48, 0xE7, 0x38, 0x00}, 4},
        LengthCase{"BSR.W", {0x61, 0x00, 0x02, 0x18}, 4},
        LengthCase{"BNE.S", {0x66, 0x38}, 2},
        LengthCase{"MOVE.B d8(A0,D0.W),D1", {0x12, 0x30, 0x00, 0x00}, 4},
        LengthCase{"MOVE.B d8(A0,D0.W*4),D1 (68020 scale)", {0x12, 0x30, 0x04, 0x00}, 0},
        LengthCase{"MOVE.B (bd,A0,D0) full format", {0x12, 0x30, 0x01, 0x20}, 0},
        LengthCase{"BTST #3,d16(A0)", {0x08, 0x28, 0x00, 0x03, 0x00, 0x10}, 6},
        LengthCase{"LEA d16(PC),A0", {0x41, 0xFA, 0x00, 0x10}, 4},
        LengthCase{"DBF D0", {0x51, 0xC8, 0xFF, 0xFC}, 4},
        LengthCase{"MOVE to CCR #imm", {0x44, 0xFC, 0x00, 0x04}, 4},
        LengthCase{"extension word cut off", {0x20, 0x3C, 0x00, 0x01}, 0}),
    [](const testing::TestParamInfo<LengthCase>& info) {
      std::string s;
      for (char c : std::string(info.param.what)) s += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return s;
    });

bool refusesMoveq(UInt16 word) { return (word & 0xF100) != 0x7000; }

TEST(InstructionScan, AsksThePredicateAboutOpcodeWordsOnly) {
  // MOVE.L #$70007000,D0 carries MOVEQ-looking extension words; RTS follows.
  const std::vector<UInt8> code = {0x20, 0x3C, 0x70, 0x00, 0x70, 0x00, 0x4E, 0x75};
  EXPECT_FALSE(FindUnservedInstruction(code, refusesMoveq).has_value());

  const std::vector<UInt8> withMoveq = {0x4E, 0x71, 0x70, 0x05, 0x4E, 0x75};
  auto finding = FindUnservedInstruction(withMoveq, refusesMoveq);
  ASSERT_TRUE(finding.has_value());
  EXPECT_EQ(finding->offset, 2u);
  EXPECT_EQ(finding->word, 0x7005);
}

bool refusesAll(UInt16) { return false; }

TEST(InstructionScan, AlwaysAcceptsTheSystemTrap) {
  const std::vector<UInt8> code = {0x4E, 0x4F, 0xA0, 0xC7};
  EXPECT_FALSE(FindUnservedInstruction(code, refusesAll).has_value());
}

TEST(InstructionScan, Reports68020InstructionsWithTheirOffset) {
  const std::vector<UInt8> code = {0x70, 0xFF, 0x49, 0xC0, 0x4E, 0x75};  // MOVEQ #-1,D0; EXTB.L D0; RTS
  auto finding = FindUnservedInstruction(code, Is68000OpcodeWord);
  ASSERT_TRUE(finding.has_value());
  EXPECT_EQ(finding->offset, 2u);
  EXPECT_EQ(finding->word, 0x49C0);
  EXPECT_STREQ(finding->reason, "not a 68000 instruction");
}

}  // namespace
