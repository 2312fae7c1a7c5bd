// The builder's encoders against the launch's decoder: compressed blocks and
// relocation lists come back as the bytes and the relocated longs they were
// made from, for every run kind and every relocation entry size.
#include <gtest/gtest.h>
#include <ostream>
#include <algorithm>
#include <set>
#include <vector>
#include "emulator/launch/StartupData.h"
#include "palm/Endian.h"
#include "prc/DataCompressor.h"
#include "prc/RelocationEncoder.h"

namespace {

constexpr UInt32 kA5Address = 0x20400000;
constexpr UInt32 kCodeAddress = 0x31000000;

std::vector<UInt8> concat(std::initializer_list<std::vector<UInt8>> parts) {
  std::vector<UInt8> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<UInt8> repeat(std::size_t n, UInt8 b) { return std::vector<UInt8>(n, b); }

struct BlockCase {
  const char* name;
  Int32 offset;
  std::vector<UInt8> bytes;
  std::vector<RunKind> mustUse;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

class CompressedBlockRoundTrip : public testing::TestWithParam<BlockCase> {};

TEST_P(CompressedBlockRoundTrip, DecodesToTheSameBytes) {
  const BlockCase& c = GetParam();
  const CompressedBlock block = CompressBlock(c.offset, c.bytes);
  for (RunKind kind : c.mustUse)
    EXPECT_NE(std::find(block.runs.begin(), block.runs.end(), kind), block.runs.end()) << "run kind " << int(kind) << " unused";

  const std::size_t below = 4096, above = 4096;
  std::vector<UInt8> globals(below + above, 0);
  const std::vector<UInt8> empty = CompressBlock(0, {}).bytes;
  const std::vector<UInt8> data = concat({{0, 0, 0, 0}, block.bytes, empty, empty});
  const StartupDataResult r = UnpackStartupData(data, {globals, below, kA5Address, kCodeAddress});
  ASSERT_TRUE(r.ok) << r.reason;

  std::vector<UInt8> expected(below + above, 0);
  std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + std::ptrdiff_t(below) + c.offset);
  EXPECT_EQ(globals, expected);
}

INSTANTIATE_TEST_SUITE_P(
    RunKinds, CompressedBlockRoundTrip,
    testing::Values(
        BlockCase{"Empty", -16, {}, {}},
        BlockCase{"OnlyZeros", -64, repeat(64, 0), {}},
        BlockCase{"ShortLiteral", 0, {1, 2, 3}, {RunKind::Literal}},
        BlockCase{"LiteralsLongerThanOneRun", -300, [] {
                    std::vector<UInt8> v;
                    for (int i = 0; i < 300; ++i) v.push_back(UInt8(i * 7 + 1));
                    return v;
                  }(), {RunKind::Literal}},
        BlockCase{"ZeroRuns", -200, concat({{9}, repeat(2, 0), {9}, repeat(64, 0), repeat(65, 0), {9}}), {RunKind::Zeros}},
        BlockCase{"OnesRuns", -40, concat({{1}, repeat(2, 0xFF), {1}, repeat(16, 0xFF), repeat(17, 0xFF), {1}}), {RunKind::Ones}},
        BlockCase{"RepeatRuns", -80, concat({repeat(3, 0x55), {1}, repeat(33, 0x66), repeat(34, 0x77), {1}}), {RunKind::Repeat}},
        BlockCase{"PatternFFFF", -16, {0, 0, 0, 0, 0xFF, 0xFF, 0xAB, 0xCD, 7}, {RunKind::PatternFFFF}},
        BlockCase{"PatternFF", -16, {0, 0, 0, 0, 0xFF, 0xAB, 0xCD, 0xEF, 7}, {RunKind::PatternFF}},
        BlockCase{"PatternA9F0", 0, {0xA9, 0xF0, 0, 0, 0x12, 0x34, 0, 0x56}, {RunKind::PatternA9F0}},
        BlockCase{"PatternA9F0Long", 8, {0xA9, 0xF0, 0, 0x12, 0x34, 0x56, 0, 0x78, 9}, {RunKind::PatternA9F0Long}},
        BlockCase{"NearPatterns", -32, {0, 0, 0, 0, 0xFE, 1, 2, 3, 0xA9, 0xF0, 1, 0, 0, 0, 0, 0, 0xA9, 0xF0, 0, 0, 1, 2, 3, 4}, {}},
        BlockCase{"Mixed", -1000, [] {
                    std::vector<UInt8> v;
                    for (int i = 0; i < 1000; ++i) v.push_back(i % 97 < 40 ? 0 : i % 13 == 0 ? 0xFF : UInt8(i % 5));
                    return v;
                  }(), {RunKind::Literal, RunKind::Zeros}}),
    [](const testing::TestParamInfo<BlockCase>& info) { return info.param.name; });

TEST(CompressedBlock, TrailingZerosAreLeftOut) {
  EXPECT_EQ(CompressBlock(0, std::vector<UInt8>{5, 0, 0, 0}).bytes, (std::vector<UInt8>{0, 0, 0, 0, 0x80, 5, 0x00}));
}

struct RelocationCase {
  const char* name;
  std::vector<Int32> offsets;
  std::set<int> mustUseSizes;
};

void PrintTo(const RelocationCase& c, std::ostream* os) { *os << c.name; }

class RelocationListRoundTrip : public testing::TestWithParam<RelocationCase> {};

UInt32 longAt(const std::vector<UInt8>& g, std::size_t i) { return get32(&g[i]); }

TEST_P(RelocationListRoundTrip, RelocatesExactlyTheListedLongs) {
  const RelocationCase& c = GetParam();
  const std::size_t below = 0x10000, above = 0x10000;
  RelocationList globalsList, codeList;
  std::string error;
  ASSERT_TRUE(EncodeRelocationList(c.offsets, globalsList, error)) << error;
  std::vector<Int32> codeOffsets;
  for (Int32 o : c.offsets) codeOffsets.push_back(o + 4);  // list 2 relocates the long after each
  ASSERT_TRUE(EncodeRelocationList(codeOffsets, codeList, error)) << error;
  std::set<int> used(globalsList.entrySizes.begin(), globalsList.entrySizes.end());
  for (int size : c.mustUseSizes) EXPECT_TRUE(used.count(size)) << "no " << size << "-byte entry";

  // Every long holds its own offset from A5, so each one relocated shows.
  std::vector<UInt8> globals(below + above);
  for (std::size_t i = 0; i + 4 <= globals.size(); i += 8) set32(&globals[i], UInt32(i));
  const std::vector<UInt8> before = globals;
  const std::vector<UInt8> empty = CompressBlock(0, {}).bytes;
  const std::vector<UInt8> data = concat({{0, 0, 0, 0}, empty, empty, empty, globalsList.bytes, codeList.bytes});
  const StartupDataResult r = UnpackStartupData(data, {globals, below, kA5Address, kCodeAddress});
  ASSERT_TRUE(r.ok) << r.reason;

  std::vector<UInt8> expected = before;
  for (Int32 o : c.offsets) {
    set32(&expected[below + o], longAt(expected, below + o) + kA5Address);
    set32(&expected[below + o + 4], longAt(expected, below + o + 4) + kCodeAddress);
  }
  EXPECT_EQ(globals, expected);
}

INSTANTIATE_TEST_SUITE_P(
    EntrySizes, RelocationListRoundTrip,
    testing::Values(RelocationCase{"None", {}, {}},
                    RelocationCase{"OneByteDeltas", {0, 8, 16, 136, 264}, {1}},
                    RelocationCase{"TwoByteDeltas", {-16000, 200, 16584, 32000}, {2}},
                    RelocationCase{"FourByteEntries", {-0x10000, 0, 0x8000 - 8, -0x8000, 0xFFF8}, {4}},
                    RelocationCase{"AllSizesUnsorted", {0x9000, -0x7FF0, -8, 16, 24, 2000, 0x9008, -0x7000}, {1, 2, 4}},
                    RelocationCase{"DeltaBoundaries", {-128, -8, 0, 8, 16, 136, 8336, 24720}, {1, 2}}),
    [](const testing::TestParamInfo<RelocationCase>& info) { return info.param.name; });

TEST(RelocationList, RefusesOddOffsets) {
  RelocationList list;
  std::string error;
  EXPECT_FALSE(EncodeRelocationList({0, 5}, list, error));
  EXPECT_NE(error.find("odd"), std::string::npos);
}

}  // namespace
