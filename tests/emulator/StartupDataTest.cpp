// The decoder of 'data' 0: each run kind and relocation entry as the format
// defines it, and bad resources refused without touching memory outside the
// globals block.
#include <gtest/gtest.h>
#include <ostream>
#include <vector>
#include "emulator/launch/StartupData.h"

namespace {

constexpr UInt32 kA5Address = 0x20000100;
constexpr UInt32 kCodeAddress = 0x30000000;

// A globals block with guard bytes on both sides, A5 in its middle.
struct Globals {
  static constexpr std::size_t kGuard = 16;
  std::vector<UInt8> memory;
  std::size_t size;
  std::size_t a5Offset;

  Globals(std::size_t below, std::size_t above) : memory(kGuard + below + above + kGuard, 0xEE), size(below + above), a5Offset(below) {
    std::fill_n(memory.begin() + kGuard, size, 0);
  }
  GlobalsWorld world() { return {std::span<UInt8>(memory.data() + kGuard, size), a5Offset, kA5Address, kCodeAddress}; }
  UInt8 at(std::ptrdiff_t fromA5) const { return memory[kGuard + a5Offset + fromA5]; }
  bool guardsIntact() const {
    for (std::size_t i = 0; i < kGuard; ++i)
      if (memory[i] != 0xEE || memory[memory.size() - 1 - i] != 0xEE) return false;
    return true;
  }
};

std::vector<UInt8> operator+(std::vector<UInt8> a, const std::vector<UInt8>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<UInt8> kSkipped = {0, 0, 0, 0};
const std::vector<UInt8> kEmptyBlock = {0, 0, 0, 0, 0x00};

std::vector<UInt8> blockAt(Int32 offset, std::vector<UInt8> runs) {
  std::vector<UInt8> b = {UInt8(UInt32(offset) >> 24), UInt8(UInt32(offset) >> 16), UInt8(UInt32(offset) >> 8), UInt8(offset)};
  return b + runs + std::vector<UInt8>{0x00};
}

struct RunCase {
  const char* name;
  std::vector<UInt8> runs;
  std::vector<UInt8> expected;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class DecodesRun : public testing::TestWithParam<RunCase> {};

TEST_P(DecodesRun, WritesItsBytesAtTheBlockOffset) {
  const RunCase& c = GetParam();
  Globals g(256, 256);
  const std::vector<UInt8> data = kSkipped + blockAt(-8, c.runs) + kEmptyBlock + kEmptyBlock;
  const StartupDataResult r = UnpackStartupData(data, g.world());
  ASSERT_TRUE(r.ok) << r.reason;
  for (std::size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(g.at(-8 + std::ptrdiff_t(i)), c.expected[i]) << i;
  EXPECT_EQ(g.at(-8 + std::ptrdiff_t(c.expected.size())), 0) << "wrote past the run";
}

INSTANTIATE_TEST_SUITE_P(
    TagTable, DecodesRun,
    testing::Values(RunCase{"Literal", {0x81, 0xAB, 0xCD}, {0xAB, 0xCD}},
                    RunCase{"Zeros", {0x81, 1, 2, 0x45, 0x81, 3, 4}, {1, 2, 0, 0, 0, 0, 0, 0, 3, 4}},
                    RunCase{"Repeat", {0x23, 0x7F}, {0x7F, 0x7F, 0x7F, 0x7F, 0x7F}},
                    RunCase{"Ones", {0x12}, {0xFF, 0xFF, 0xFF}},
                    RunCase{"PatternFFFF", {0x01, 0x12, 0x34}, {0, 0, 0, 0, 0xFF, 0xFF, 0x12, 0x34}},
                    RunCase{"PatternFF", {0x02, 0x12, 0x34, 0x56}, {0, 0, 0, 0, 0xFF, 0x12, 0x34, 0x56}},
                    RunCase{"PatternA9F0", {0x03, 0x12, 0x34, 0x56}, {0xA9, 0xF0, 0, 0, 0x12, 0x34, 0, 0x56}},
                    RunCase{"PatternA9F0Long", {0x04, 0x12, 0x34, 0x56, 0x78}, {0xA9, 0xF0, 0, 0x12, 0x34, 0x56, 0, 0x78}},
                    RunCase{"LongestLiteral", std::vector<UInt8>{0xFF} + std::vector<UInt8>(128, 0x5A), std::vector<UInt8>(128, 0x5A)}),
    [](const testing::TestParamInfo<RunCase>& info) { return info.param.name; });

TEST(StartupData, EmptyBlocksLeaveTheGlobalsZero) {
  Globals g(32, 32);
  const std::vector<UInt8> data = kSkipped + kEmptyBlock + kEmptyBlock + kEmptyBlock;
  ASSERT_TRUE(UnpackStartupData(data, g.world()).ok);
  for (std::ptrdiff_t i = -32; i < 32; ++i) EXPECT_EQ(g.at(i), 0);
}

TEST(StartupData, BlocksAtAndAboveA5AreAccepted) {
  Globals g(16, 16);
  const std::vector<UInt8> data = kSkipped + blockAt(0, {0x81, 1, 2}) + blockAt(12, {0x83, 3, 4, 5, 6}) + kEmptyBlock;
  ASSERT_TRUE(UnpackStartupData(data, g.world()).ok);
  EXPECT_EQ(g.at(0), 1);
  EXPECT_EQ(g.at(1), 2);
  EXPECT_EQ(g.at(12), 3);
  EXPECT_EQ(g.at(15), 6);
}

std::vector<UInt8> longAt(Globals& g, std::ptrdiff_t fromA5) {
  return {g.at(fromA5), g.at(fromA5 + 1), g.at(fromA5 + 2), g.at(fromA5 + 3)};
}

TEST(StartupData, RelocationEntriesMoveTheRunningOffset) {
  // List 1: 0x82 relocates A5 + 4, then 0xFF moves back to A5 + 2. List 2: a
  // 2-byte entry to A5 - 8, then a 4-byte entry setting A5 + 8.
  Globals g(16, 16);
  const std::vector<UInt8> data = kSkipped + kEmptyBlock + kEmptyBlock + kEmptyBlock +
                                  std::vector<UInt8>{0, 0, 0, 2, 0x82, 0xFF} +
                                  std::vector<UInt8>{0, 0, 0, 2, 0x7F, 0xFC, 0x00, 0x00, 0x00, 0x04};
  ASSERT_TRUE(UnpackStartupData(data, g.world()).ok);
  // The longs at A5 + 4 and A5 + 2 overlap: A5 + 4 got A5's address added
  // first (20 00 01 00), then the long at A5 + 2 (00 00 20 00) did.
  EXPECT_EQ(longAt(g, 2), (std::vector<UInt8>{0x20, 0x00, 0x21, 0x00}));
  EXPECT_EQ(longAt(g, 4), (std::vector<UInt8>{0x21, 0x00, 0x01, 0x00}));
  EXPECT_EQ(longAt(g, -8), (std::vector<UInt8>{0x30, 0x00, 0x00, 0x00}));
  EXPECT_EQ(longAt(g, 8), (std::vector<UInt8>{0x30, 0x00, 0x00, 0x00}));
}

struct BadCase {
  const char* name;
  std::vector<UInt8> data;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class RefusesBadData : public testing::TestWithParam<BadCase> {};

TEST_P(RefusesBadData, FailsWithoutWritingOutsideTheBlock) {
  Globals g(16, 16);
  const StartupDataResult r = UnpackStartupData(GetParam().data, g.world());
  EXPECT_FALSE(r.ok);
  EXPECT_STRNE(r.reason, "");
  EXPECT_TRUE(g.guardsIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RefusesBadData,
    testing::Values(
        BadCase{"Empty", {}},
        BadCase{"NoBlockOffset", {0, 0, 0, 0, 0, 0}},
        BadCase{"LiteralPastTheEnd", kSkipped + std::vector<UInt8>{0, 0, 0, 0, 0x83, 1, 2}},
        BadCase{"NoEndTag", kSkipped + std::vector<UInt8>{0, 0, 0, 0, 0x81, 1, 2}},
        BadCase{"PatternOperandsPastTheEnd", kSkipped + std::vector<UInt8>{0, 0, 0, 0, 0x04, 1, 2}},
        BadCase{"UnknownTag", kSkipped + blockAt(0, {0x05}) + kEmptyBlock + kEmptyBlock},
        BadCase{"RunBelowTheBlock", kSkipped + blockAt(-17, {0x80, 1}) + kEmptyBlock + kEmptyBlock},
        BadCase{"RunAboveTheBlock", kSkipped + blockAt(14, {0x47}) + kEmptyBlock + kEmptyBlock},
        BadCase{"HugeBlockOffset", kSkipped + blockAt(0x7FFFFFF0, {0x80, 1}) + kEmptyBlock + kEmptyBlock},
        BadCase{"RelocationCountPastTheEnd", kSkipped + kEmptyBlock + kEmptyBlock + kEmptyBlock + std::vector<UInt8>{0, 0}},
        BadCase{"RelocationEntriesMissing",
                kSkipped + kEmptyBlock + kEmptyBlock + kEmptyBlock + std::vector<UInt8>{0xFF, 0xFF, 0xFF, 0xFF, 0x82}},
        BadCase{"RelocationOutsideTheBlock",
                kSkipped + kEmptyBlock + kEmptyBlock + kEmptyBlock + std::vector<UInt8>{0, 0, 0, 1, 0x88, 0, 0, 0, 0}},
        BadCase{"RelocationStraddlingTheEnd",
                kSkipped + kEmptyBlock + kEmptyBlock + kEmptyBlock + std::vector<UInt8>{0, 0, 0, 1, 0x87, 0, 0, 0, 0}},
        BadCase{"SecondListMissing", kSkipped + kEmptyBlock + kEmptyBlock + kEmptyBlock + std::vector<UInt8>{0, 0, 0, 0}}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.name; });

TEST(StartupData, Code0NeedsItsSixteenBytes) {
  Code0Sizes sizes;
  const std::vector<UInt8> code0 = {0, 0, 0, 0x34, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(ReadCode0Sizes(code0, sizes));
  EXPECT_EQ(sizes.above, 0x34u);
  EXPECT_EQ(sizes.below, 0x40u);
  EXPECT_FALSE(ReadCode0Sizes(std::span<const UInt8>(code0).first(15), sizes));
}

}  // namespace
