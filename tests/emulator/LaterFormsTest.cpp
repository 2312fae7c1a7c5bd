// Forms the core serves beyond the 68000 (long multiply and divide, EXTB.L,
// TST of An, PC-relative and immediate operands) and its own status-register
// bits: the single-instruction vectors of a 68000 cannot check these.
#include <cctype>
#include <string>
#include <vector>
#include "CoreFixture.h"

namespace {
struct RegisterCase {
  const char* what;
  std::vector<UInt16> code;  // ends before the A-line word the fixture appends
  UInt32 d0, d1, d2;
  UInt32 want0, want1, want2;
  UInt16 ccr;
};

class LaterForms : public CoreFixture, public testing::WithParamInterface<RegisterCase> {};

TEST_P(LaterForms, GiveTheirDefinedResults) {
  const RegisterCase& c = GetParam();
  std::vector<UInt16> words = c.code;
  words.push_back(0xA000);
  UInt32 a = at(kCode);
  for (UInt16 w : words) set16(host(a), w), a += 2;
  st.pc = at(kCode);
  st.D(0) = c.d0, st.D(1) = c.d1, st.D(2) = c.d2;
  st.sr = 0x2710;  // X set, system byte as a 68000 runs it
  EXPECT_EQ(run(), kM68KUnimplemented) << c.what;
  EXPECT_EQ(st.pc, at(kCode + 2 * static_cast<UInt32>(c.code.size()))) << c.what;
  EXPECT_EQ(st.D(0), c.want0) << c.what;
  EXPECT_EQ(st.D(1), c.want1) << c.what;
  EXPECT_EQ(st.D(2), c.want2) << c.what;
  EXPECT_EQ(st.sr, 0x2700 | c.ccr) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Core, LaterForms,
    testing::Values(
        RegisterCase{"mulu.l 32-bit overflows", {0x4C01, 0x0000}, 0x10000, 0x10000, 0, 0, 0x10000, 0, 0x16},
        RegisterCase{"muls.l -1 * -1", {0x4C01, 0x0800}, 0xFFFFFFFF, 0xFFFFFFFF, 0, 1, 0xFFFFFFFF, 0, 0x10},
        RegisterCase{"muls.l 64-bit with Dh = Dl keeps the high half", {0x4C01, 0x0C00}, 0x7FFFFFFF, 4, 0, 1, 4, 0,
                     0x10},
        RegisterCase{"mulu.l 64-bit", {0x4C01, 0x0402}, 0xFFFFFFFF, 0xFFFFFFFF, 0, 1, 0xFFFFFFFF, 0xFFFFFFFE, 0x18},
        RegisterCase{"divs.l 0x80000000 / 1", {0x4C41, 0x0800}, 0x80000000, 1, 5, 0x80000000, 1, 5, 0x18},
        RegisterCase{"divs.l 0x80000000 / -1 overflows", {0x4C41, 0x0802}, 0x80000000, 0xFFFFFFFF, 5, 0x80000000,
                     0xFFFFFFFF, 5, 0x1A},
        RegisterCase{"divu.l with Dr = Dq keeps only the quotient", {0x4C41, 0x0000}, 100, 7, 5, 14, 7, 5, 0x10},
        RegisterCase{"divul.l", {0x4C41, 0x0002}, 0xFFFFFFFF, 0x80000000, 5, 1, 0x80000000, 0x7FFFFFFF, 0x10},
        RegisterCase{"divsl.l -7 / 2", {0x4C41, 0x0802}, 0xFFFFFFF9, 2, 0, 0xFFFFFFFD, 2, 0xFFFFFFFF, 0x18},
        RegisterCase{"divu.w overflow keeps Dx", {0x80C1}, 0x80010000, 1, 0, 0x80010000, 1, 0, 0x16},
        RegisterCase{"divs.w -7 / 2", {0x81C1}, 0xFFFFFFF9, 2, 0, 0xFFFFFFFD, 2, 0, 0x18},
        RegisterCase{"extb.l", {0x49C0}, 0x12345680, 0, 0, 0xFFFFFF80, 0, 0, 0x18},
        RegisterCase{"tst.l #0 skips both words", {0x4ABC, 0x0000, 0x0000}, 0, 0, 0, 0, 0, 0, 0x14},
        RegisterCase{"tst.b #imm tests the low byte", {0x4A3C, 0x0080}, 0, 0, 0, 0, 0, 0, 0x18},
        RegisterCase{"move ccr,d0", {0x42C0}, 0xFFFFFFFF, 0, 0, 0xFFFF0010, 0, 0, 0x10},
        RegisterCase{"move #$1234,ccr", {0x44FC, 0x1234}, 0, 0, 0, 0, 0, 0, 0x14}),
    [](const testing::TestParamInfo<RegisterCase>& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

using CoreForms = CoreFixture;

TEST_F(CoreForms, TestOfAnAddressRegisterUsesItsLowWord) {
  code({0x4A48, 0xA000});  // tst.w a0
  st.A(0) = 0x12340000;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.sr & 0x1F, 0x04);
}

TEST_F(CoreForms, CompareWithPcRelativeOperandAfterTheImmediate) {
  code({0x0C7A, 0x4E71, 0x0004,  // cmpi.w #$4e71,d16(pc): the displacement word's address + 4
        0xA000, 0x4E71});
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.pc, at(6));
  EXPECT_EQ(st.sr & 0x1F, 0x04);
}

TEST_F(CoreForms, MoveToStatusRegisterChangesOnlyItsImplementedBits) {
  code({0x46FC, 0xFFFF, 0xA000});  // move #$ffff,sr
  st.sr = 0x0000;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.sr, 0xF71F);
  code({0x46FC, 0x0000, 0xA000});  // move #0,sr
  st.sr = 0xFFFF;
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.sr, 0x08E0);
}

TEST_F(CoreForms, ResumedContextContinuesExactly) {
  code({0x7001,   // moveq #1,d0
        0x4E4F,   // trap #15
        0xA0BA,
        0x5280,   // addq.l #1,d0
        0x4E75}); // rts
  EXPECT_EQ(run(), kM68KUnimplemented);
  EXPECT_EQ(st.pc, at(2));
  st.pc += 4;  // as the trap dispatcher does
  EXPECT_EQ(run(), kM68KQuit);
  EXPECT_EQ(st.D(0), 2u);
}
}  // namespace
