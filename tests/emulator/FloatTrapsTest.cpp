// The Float Manager traps as 68K code calls them: arguments pushed onto a 68K
// stack in arena memory, selectors in D2, results in D0 or through the
// caller's result area.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include "FloatTestValues.h"
#include "TrapStackImage.h"
#include "emulator/float/FloatTraps.h"
#include "palm/ErrorCodes.h"

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr float kInfF = std::numeric_limits<float>::infinity();
constexpr float kNaNF = std::numeric_limits<float>::quiet_NaN();
constexpr UInt32 kD0Marker = 0x13579BDF;
constexpr UInt32 kA0Marker = 0x2468ACE0;

// Runs a dispatch trap with the selector in D2 (whose high word is noise).
void runSelector(TrapStackImage& s, void (*dispatch)(TrapArgs&), UInt16 selector) {
  s.regs[0] = kD0Marker;
  s.regs[8] = kA0Marker;
  s.regs[2] = 0xFFFF0000u | selector;
  UInt32 spBefore = s.sp();
  TrapArgs args = s.args();
  dispatch(args);
  EXPECT_EQ(s.sp(), spBefore) << "a trap leaves A7 alone";
}

void emulate(TrapStackImage& s, UInt16 selector) { runSelector(s, FlpEmDispatch, selector); }

// --- Float emulation trap 0xA306 ------------------------------------------

struct DoubleOperation {
  UInt16 selector;
  double (*host)(double, double);
};

TEST(FloatEmulationTrap, DoubleArithmeticMatchesHostOnEveryPair) {
  const DoubleOperation operations[] = {
      {51, [](double a, double b) { return a + b; }},
      {52, [](double a, double b) { return a * b; }},
      {53, [](double a, double b) { return a - b; }},
      {54, [](double a, double b) { return a / b; }},
  };
  for (const auto& op : operations)
    for (double a : doubleTestValues())
      for (double b : doubleTestValues()) {
        TrapStackImage s;
        s.pushDouble(b);
        s.pushDouble(a);
        EmuAddr area = s.pushResultArea();
        emulate(s, op.selector);
        ASSERT_EQ(read64(area), bitsOf(op.host(a, b))) << op.selector << ": " << a << ", " << b;
        ASSERT_EQ(s.regs[8], area);
        ASSERT_EQ(s.regs[0], kD0Marker) << "D0 untouched";
      }
}

struct FloatOperation {
  UInt16 selector;
  float (*host)(float, float);
};

TEST(FloatEmulationTrap, SingleArithmeticMatchesHostOnEveryPair) {
  const FloatOperation operations[] = {
      {46, [](float a, float b) { return a + b; }},
      {47, [](float a, float b) { return a * b; }},
      {48, [](float a, float b) { return a - b; }},
      {49, [](float a, float b) { return a / b; }},
  };
  for (const auto& op : operations)
    for (float a : floatTestValues())
      for (float b : floatTestValues()) {
        TrapStackImage s;
        s.pushFloat(b);
        s.pushFloat(a);
        emulate(s, op.selector);
        ASSERT_EQ(s.regs[0], bitsOf(op.host(a, b))) << op.selector << ": " << a << ", " << b;
        ASSERT_EQ(s.regs[8], kA0Marker);
      }
}

TEST(FloatEmulationTrap, SubtractionIsFirstMinusSecond) {
  TrapStackImage s;
  s.pushFloat(3.0f);
  s.pushFloat(1.0f);
  emulate(s, 48);
  EXPECT_EQ(s.regs[0], bitsOf(-2.0f));
}

TEST(FloatEmulationTrap, NegationFlipsOnlyTheSignBit) {
  const std::pair<UInt32, UInt32> singles[] = {
      {0x3F800000, 0xBF800000}, {0x00000000, 0x80000000}, {0x7FC01234, 0xFFC01234}, {0xFF800001, 0x7F800001}};
  for (const auto& [in, out] : singles) {
    TrapStackImage s;
    s.pushLong(in);
    emulate(s, 45);
    EXPECT_EQ(s.regs[0], out) << std::hex << in;
  }
  const std::pair<std::uint64_t, std::uint64_t> doubles[] = {
      {0x3FF0000000000000, 0xBFF0000000000000}, {0x8000000000000000, 0}, {0x7FF4000000000ABC, 0xFFF4000000000ABC}};
  for (const auto& [in, out] : doubles) {
    TrapStackImage s;
    s.pushLongLong(in);
    EmuAddr area = s.pushResultArea();
    emulate(s, 50);
    EXPECT_EQ(read64(area), out) << std::hex << in;
  }
}

// Results of the ten comparisons cmp, cmpe, feq, fne, flt, fle, fgt, fge, fun, for.
struct ComparisonCase {
  double a, b;
  UInt32 results[10];
};

const ComparisonCase kComparisons[] = {
    {1, 2, {1, 1, 0, 1, 1, 1, 0, 0, 0, 1}},
    {2, 1, {2, 2, 0, 1, 0, 0, 1, 1, 0, 1}},
    {1, 1, {0, 0, 1, 0, 0, 1, 0, 1, 0, 1}},
    {0.0, -0.0, {0, 0, 1, 0, 0, 1, 0, 1, 0, 1}},
    {kNaN, 1, {1, 3, 0, 1, 0, 0, 0, 0, 1, 0}},
    {1, kNaN, {1, 3, 0, 1, 0, 0, 0, 0, 1, 0}},
    {kNaN, kNaN, {1, 3, 0, 1, 0, 0, 0, 0, 1, 0}},
    {-kInf, kInf, {1, 1, 0, 1, 1, 1, 0, 0, 0, 1}},
    {kInf, kInf, {0, 0, 1, 0, 0, 1, 0, 1, 0, 1}},
    {-1e-45, 0, {1, 1, 0, 1, 1, 1, 0, 0, 0, 1}},  // a negative denormal (single and double)
};

TEST(FloatEmulationTrap, SingleComparisons) {
  for (const auto& c : kComparisons)
    for (UInt16 i = 0; i < 10; ++i) {
      TrapStackImage s;
      s.pushFloat(static_cast<float>(c.b));
      s.pushFloat(static_cast<float>(c.a));
      emulate(s, 25 + i);
      EXPECT_EQ(s.regs[0], c.results[i]) << "selector " << 25 + i << ": " << c.a << ", " << c.b;
    }
}

TEST(FloatEmulationTrap, DoubleComparisons) {
  for (const auto& c : kComparisons)
    for (UInt16 i = 0; i < 10; ++i) {
      TrapStackImage s;
      s.pushDouble(c.b);
      s.pushDouble(c.a);
      emulate(s, 35 + i);
      EXPECT_EQ(s.regs[0], c.results[i]) << "selector " << 35 + i << ": " << c.a << ", " << c.b;
    }
}

// One conversion: the operand as the 68K caller pushes it, the expected
// result bits (D0, or the 8 bytes of the result area).
struct ConversionCase {
  UInt16 selector;
  enum { kLong, kLongLong } operandWidth;
  std::uint64_t operand;
  std::uint64_t expected;
};

std::uint64_t f(float v) { return bitsOf(v); }
std::uint64_t d(double v) { return bitsOf(v); }
std::uint64_t i64(std::int64_t v) { return static_cast<std::uint64_t>(v); }
std::uint64_t i32(Int32 v) { return static_cast<UInt32>(v); }

// Results of 8 bytes: doubles from 7 to 11 and 50 up, 64-bit integers 19, 20, 23, 24.
bool viaResultArea(UInt16 selector) {
  return (selector >= 7 && selector <= 11) || selector == 19 || selector == 20 || selector == 23 || selector == 24;
}

TEST(FloatEmulationTrap, Conversions) {
  const auto L = ConversionCase::kLong;
  const auto LL = ConversionCase::kLongLong;
  const ConversionCase cases[] = {
      {3, L, 0xFFFFFFFF, f(4294967296.0f)},
      {3, L, 16777217, f(16777216.0f)},  // ties to even
      {4, L, i32(-16777219), f(-16777220.0f)},
      {4, L, i32(INT32_MIN), f(-2147483648.0f)},
      {5, LL, UINT64_MAX, f(18446744073709551616.0f)},
      {5, LL, 0x0000000001000003, f(16777220.0f)},
      {6, LL, i64(INT64_MIN), f(-9223372036854775808.0f)},
      {6, LL, i64(-3), f(-3.0f)},
      {7, L, 0xFFFFFFFF, d(4294967295.0)},
      {8, L, i32(-5), d(-5.0)},
      {9, LL, UINT64_MAX, d(18446744073709551616.0)},
      {9, LL, (std::uint64_t(1) << 53) + 1, d(9007199254740992.0)},
      {10, LL, i64(INT64_MIN), d(-9223372036854775808.0)},
      {10, LL, i64(-((std::int64_t(1) << 53) + 3)), d(-9007199254740996.0)},
      {11, L, f(0.1f), d(static_cast<double>(0.1f))},
      {11, L, f(-kInfF), d(-kInf)},
      {11, L, f(FLT_TRUE_MIN), d(std::ldexp(1.0, -149))},
      {12, LL, d(0.1), f(0.1f)},
      {12, LL, d(1.0 + std::ldexp(1.0, -24)), f(1.0f)},  // tie to even
      {12, LL, d(1.0 + 3 * std::ldexp(1.0, -24)), f(1.0f + std::ldexp(1.0f, -22))},
      {12, LL, d(1e300), f(kInfF)},
      {12, LL, d(-1e-300), f(-0.0f)},
      {17, L, f(-1.5f), 0},
      {17, L, f(3e9f), 3000000000u},
      {17, L, f(kNaNF), 0},
      {17, L, f(kInfF), 0xFFFFFFFF},
      {18, L, f(-1.5f), i32(-1)},
      {18, L, f(3e9f), i32(INT32_MAX)},
      {18, L, f(-kInfF), i32(INT32_MIN)},
      {18, L, f(kNaNF), 0},
      {19, L, f(1e19f), 9999999980506447872u},
      {19, L, f(-1e19f), 0},
      {19, L, f(1e20f), UINT64_MAX},
      {20, L, f(1e19f), i64(INT64_MAX)},
      {20, L, f(-1e19f), i64(INT64_MIN)},
      {20, L, f(-7.99f), i64(-7)},
      {20, L, f(kNaNF), 0},
      {21, LL, d(4294967295.9), 0xFFFFFFFF},
      {21, LL, d(4294967296.0), 0xFFFFFFFF},
      {21, LL, d(-0.9), 0},
      {22, LL, d(-2147483648.9), i32(INT32_MIN)},
      {22, LL, d(-2147483649.0), i32(INT32_MIN)},
      {22, LL, d(2147483647.9), i32(INT32_MAX)},
      {22, LL, d(kNaN), 0},
      {23, LL, d(18446744073709549568.0), 18446744073709549568u},
      {23, LL, d(18446744073709551616.0), UINT64_MAX},
      {23, LL, d(-kInf), 0},
      {24, LL, d(-9223372036854775808.0), i64(INT64_MIN)},
      {24, LL, d(9223372036854775808.0), i64(INT64_MAX)},
      {24, LL, d(-123.999), i64(-123)},
      {24, LL, d(kNaN), 0},
  };
  for (const auto& c : cases) {
    TrapStackImage s;
    if (c.operandWidth == ConversionCase::kLong)
      s.pushLong(static_cast<UInt32>(c.operand));
    else
      s.pushLongLong(c.operand);
    EmuAddr area = viaResultArea(c.selector) ? s.pushResultArea() : 0;
    emulate(s, c.selector);
    if (area) {
      EXPECT_EQ(read64(area), c.expected) << "selector " << c.selector << std::hex << " operand " << c.operand;
      EXPECT_EQ(s.regs[8], area);
      EXPECT_EQ(s.regs[0], kD0Marker);
    } else {
      EXPECT_EQ(s.regs[0], c.expected) << "selector " << c.selector << std::hex << " operand " << c.operand;
    }
  }
}

TEST(FloatEmulationTrap, StatusWordIsAlwaysZeroAndSetChangesNothing) {
  TrapStackImage s;
  s.pushLong(0x00C00000);
  emulate(s, 2);
  EXPECT_EQ(s.regs[0], kD0Marker) << "_fp_set_fpscr leaves D0";
  emulate(s, 1);
  EXPECT_EQ(s.regs[0], 0u);
  emulate(s, 0);
  EXPECT_EQ(s.regs[0], 0u) << "_fp_round";
  EXPECT_EQ(s.regs[8], kA0Marker);
}

using FloatTrapsDeathTest = ::testing::Test;

TEST_F(FloatTrapsDeathTest, SelectorsWithoutOperationStop) {
  for (UInt16 selector : {13, 14, 15, 16, 55, 0xFFFF}) {
    TrapStackImage s;
    s.pushResultArea();
    EXPECT_DEATH(emulate(s, selector), "assert\\(\\) failed \\(FloatTraps\\.cpp\\.[0-9]+\\)") << selector;
  }
  TrapStackImage s;
  EXPECT_DEATH(runSelector(s, FlpDispatch, 6), "assert\\(\\) failed \\(FloatTraps\\.cpp\\.[0-9]+\\)");
}

// --- New Float Manager trap 0xA305 ----------------------------------------

void flp(TrapStackImage& s, UInt16 selector) { runSelector(s, FlpDispatch, selector); }

TEST(FlpDispatchTrap, Base10InfoWritesTheOutputsBigEndian) {
  TrapStackImage s;
  EmuAddr sign = s.allocate(2), exponent = s.allocate(2), mantissa = s.allocate(4);
  s.pushLong(sign);
  s.pushLong(exponent);
  s.pushLong(mantissa);
  s.pushDouble(-0.5);
  flp(s, 0);
  EXPECT_EQ(s.regs[0], (kD0Marker & 0xFFFF0000u) | errNone) << "error word in D0's low half";
  EXPECT_EQ(get32(fromEmu(mantissa)), 50000000u);
  EXPECT_EQ(static_cast<Int16>(get16(fromEmu(exponent))), -8);
  EXPECT_EQ(get16(fromEmu(sign)), 1);
}

TEST(FlpDispatchTrap, Base10InfoSkipsNullOutputsAndReportsInfinity) {
  TrapStackImage s;
  EmuAddr exponent = s.allocate(2);
  s.pushLong(0);
  s.pushLong(exponent);
  s.pushLong(0);
  s.pushDouble(kInf);
  flp(s, 0);
  EXPECT_EQ(s.regs[0] & 0xFFFF, flpErrOutOfRange);
  EXPECT_EQ(get16(fromEmu(exponent)), 0) << "the outputs of a number without decimal form are 0";
}

TEST(FlpDispatchTrap, FToAWritesTheTextInto68KMemory) {
  TrapStackImage s;
  EmuAddr text = s.allocate(24);
  s.pushLong(text);
  s.pushDouble(123456789.0);
  flp(s, 1);
  EXPECT_EQ(s.regs[0] & 0xFFFF, errNone);
  EXPECT_STREQ(static_cast<const char*>(fromEmu(text)), "1.2345679e08");
  EXPECT_EQ(static_cast<const std::uint8_t*>(fromEmu(text))[13], 0xAA) << "nothing written past the zero";
}

TEST(FlpDispatchTrap, AToFReadsTextFrom68KMemory) {
  TrapStackImage s;
  s.pushLong(s.allocateString("  -1.25e2 apples"));
  EmuAddr area = s.pushResultArea();
  flp(s, 2);
  EXPECT_EQ(readDouble(area), -125.0);
  EXPECT_EQ(s.regs[8], area);
}

struct CorrectedTrapCase {
  UInt16 selector;
  double a, b;
  UInt16 howAccurateWord;
  double expected;
};

TEST(FlpDispatchTrap, CorrectedAddAndSub) {
  const double nearOne = 0.9999999999999999;
  const CorrectedTrapCase cases[] = {
      {3, 1.0, -nearOne, 0, 0.0},
      {3, 1.0, -nearOne, 60, std::ldexp(1.0, -53)},
      {4, 1.0, nearOne, 0, 0.0},
      {4, 5.0, 0.5, 0, 4.5},
      {4, 1.0, 0.5, 0xFFFF, 0.0},  // howAccurate -1: sign-extended, not 65535
      {3, 1.0, -0.5, 0xFFFF, 0.0},
      {3, 1.0, -0.5, 0, 0.5},
  };
  for (const auto& c : cases) {
    TrapStackImage s;
    s.pushWord(c.howAccurateWord);
    s.pushDouble(c.b);
    s.pushDouble(c.a);
    EmuAddr area = s.pushResultArea();
    flp(s, c.selector);
    EXPECT_EQ(read64(area), bitsOf(c.expected))
        << c.selector << ": " << c.a << ", " << c.b << ", " << c.howAccurateWord;
    EXPECT_EQ(s.regs[8], area);
  }
}

TEST(FlpDispatchTrap, Version) {
  TrapStackImage s;
  flp(s, 5);
  EXPECT_EQ(s.regs[0], 0x02008000u);
}

// --- Old Float Manager traps 0xA0DF-0xA0EA ---------------------------------

void callTrap(TrapStackImage& s, UInt16 trap) {
  auto traps = floatTraps();
  auto row = std::find_if(traps.begin(), traps.end(), [&](const FloatTrap& t) { return t.trap == trap; });
  ASSERT_NE(row, traps.end()) << std::hex << trap;
  s.regs[0] = kD0Marker;
  s.regs[8] = kA0Marker;
  TrapArgs args = s.args();
  row->serve(args);
}

FloatType readFloatType(EmuAddr a) {
  auto p = static_cast<const std::uint8_t*>(fromEmu(a));
  return FloatType{get32(p), static_cast<Int16>(get16(p + 4)), static_cast<Int8>(p[6])};
}

TEST(FplTraps, TableNamesEachTrap) {
  const std::pair<UInt16, std::string> expected[] = {
      {0xA0DF, "FplInit"}, {0xA0E0, "FplFree"}, {0xA0E1, "FplFToA"}, {0xA0E2, "FplAToF"},
      {0xA0E3, "FplBase10Info"}, {0xA0E4, "FplLongToFloat"}, {0xA0E5, "FplFloatToLong"},
      {0xA0E6, "FplFloatToULong"}, {0xA0E7, "FplMul"}, {0xA0E8, "FplAdd"}, {0xA0E9, "FplSub"},
      {0xA0EA, "FplDiv"}, {0xA305, "FlpDispatch"}, {0xA306, "FlpEmDispatch"}};
  auto traps = floatTraps();
  ASSERT_EQ(traps.size(), std::size(expected));
  for (std::size_t i = 0; i < traps.size(); ++i) {
    EXPECT_EQ(traps[i].trap, expected[i].first);
    EXPECT_EQ(traps[i].name, expected[i].second);
    EXPECT_NE(traps[i].serve, nullptr);
  }
}

TEST(FplTraps, ArithmeticThroughTheResultArea) {
  const std::pair<UInt16, double (*)(double, double)> operations[] = {
      {0xA0E7, [](double a, double b) { return a * b; }},
      {0xA0E8, [](double a, double b) { return a + b; }},
      {0xA0E9, [](double a, double b) { return a - b; }},
      {0xA0EA, [](double a, double b) { return a / b; }},
  };
  const double values[] = {0.0, 1.0, -3.0, 0.1, 1e300, -1e-300, kInf, -kInf};
  for (const auto& [trap, host] : operations)
    for (double a : values)
      for (double b : values) {
        TrapStackImage s;
        s.pushFloatType(expectedFloatType(b));
        s.pushFloatType(expectedFloatType(a));
        EmuAddr area = s.pushResultArea();
        callTrap(s, trap);
        double cutA = FloatTypeToDouble(expectedFloatType(a)), cutB = FloatTypeToDouble(expectedFloatType(b));
        EXPECT_EQ(readFloatType(area), expectedFloatType(host(cutA, cutB)))
            << std::hex << trap << std::dec << ": " << a << ", " << b;
        EXPECT_EQ(static_cast<const std::uint8_t*>(fromEmu(area))[7], 0xAA) << "pad byte untouched";
        EXPECT_EQ(s.regs[8], area);
        EXPECT_EQ(s.regs[0], kD0Marker);
      }
}

TEST(FplTraps, LongConversions) {
  TrapStackImage s;
  s.pushLong(static_cast<UInt32>(-1));
  EmuAddr area = s.pushResultArea();
  callTrap(s, 0xA0E4);
  EXPECT_EQ(readFloatType(area), (FloatType{0x80000000u, -31, -1}));

  TrapStackImage t;
  t.pushFloatType(FloatType{0xC0000000u, -30, -1});  // -3
  callTrap(t, 0xA0E5);
  EXPECT_EQ(t.regs[0], static_cast<UInt32>(-3));
  callTrap(t, 0xA0E6);
  EXPECT_EQ(t.regs[0], 0u);
}

TEST(FplTraps, TextConversions) {
  TrapStackImage s;
  EmuAddr text = s.allocate(16);
  s.pushLong(text);
  s.pushFloatType(FloatType{0x80000000u, 16000, -1});
  callTrap(s, 0xA0E1);
  EXPECT_EQ(s.regs[0], (kD0Marker & 0xFFFF0000u) | flpErrOutOfRange);
  EXPECT_STREQ(static_cast<const char*>(fromEmu(text)), "-INF");

  TrapStackImage t;
  t.pushLong(t.allocateString("0.5"));
  EmuAddr area = t.pushResultArea();
  callTrap(t, 0xA0E2);
  EXPECT_EQ(readFloatType(area), (FloatType{0x80000000u, -32, 1}));
}

TEST(FplTraps, Base10InfoSignIsPlusOrMinusOne) {
  TrapStackImage s;
  EmuAddr sign = s.allocate(2), exponent = s.allocate(2), mantissa = s.allocate(4);
  s.pushLong(sign);
  s.pushLong(exponent);
  s.pushLong(mantissa);
  s.pushFloatType(FloatType{0xC0000000u, -30, -1});  // -3
  callTrap(s, 0xA0E3);
  EXPECT_EQ(s.regs[0] & 0xFFFF, errNone);
  EXPECT_EQ(get32(fromEmu(mantissa)), 30000000u);
  EXPECT_EQ(static_cast<Int16>(get16(fromEmu(exponent))), -7);
  EXPECT_EQ(static_cast<Int16>(get16(fromEmu(sign))), -1);
}

TEST(FplTraps, InitAndFree) {
  TrapStackImage s;
  callTrap(s, 0xA0DF);
  EXPECT_EQ(s.regs[0], kD0Marker & 0xFFFF0000u);
  callTrap(s, 0xA0E0);
  EXPECT_EQ(s.regs[0], kD0Marker);
  EXPECT_EQ(s.regs[8], kA0Marker);
}

TEST_F(FloatTrapsDeathTest, TextBufferOutside68KMemoryStops) {
  TrapStackImage s;
  s.pushLong(0);
  s.pushDouble(1.0);
  EXPECT_DEATH(flp(s, 1), "Illegal memory access: text buffer at 0x00000000");
  TrapStackImage t;
  t.pushLong(0x00000010);
  t.pushResultArea();
  EXPECT_DEATH(flp(t, 2), "Illegal memory access: number text at 0x00000010");
}

}  // namespace
