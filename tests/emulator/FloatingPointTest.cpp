// The Float Manager on native values, against the host's double arithmetic.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include "FloatTestValues.h"
#include "emulator/float/FloatingPoint.h"

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The value a FloatType made from d holds: d with its significand cut to 32
// bits; zero for NaNs and denormals.
double cutToFloatType(double d) {
  if (std::isnan(d) || std::fabs(d) < DBL_MIN) return 0.0;
  if (std::isinf(d)) return d;
  return std::bit_cast<double>(bitsOf(d) & ~((std::uint64_t(1) << 21) - 1));
}

struct FplOperation {
  const char* name;
  FloatType (*fpl)(FloatType, FloatType);
  double (*host)(double, double);
};

TEST(FloatManager, OldArithmeticMatchesHostDoublesOnEveryPair) {
  const FplOperation operations[] = {
      {"FplAdd", FplAdd, [](double a, double b) { return a + b; }},
      {"FplSub", FplSub, [](double a, double b) { return a - b; }},
      {"FplMul", FplMul, [](double a, double b) { return a * b; }},
      {"FplDiv", FplDiv, [](double a, double b) { return a / b; }},
  };
  for (const auto& op : operations)
    for (double a : doubleTestValues())
      for (double b : doubleTestValues()) {
        FloatType result = op.fpl(expectedFloatType(a), expectedFloatType(b));
        EXPECT_EQ(result, expectedFloatType(op.host(cutToFloatType(a), cutToFloatType(b))))
            << op.name << "(" << a << ", " << b << ")";
      }
}

TEST(FloatManager, OldArithmeticEdgeResults) {
  const FloatType one = FplLongToFloat(1);
  const FloatType zero = FplLongToFloat(0);
  EXPECT_EQ(FplDiv(one, zero), (FloatType{0x80000000u, 16000, 1}));
  EXPECT_EQ(FplDiv(FplLongToFloat(-1), zero), (FloatType{0x80000000u, 16000, -1}));
  EXPECT_EQ(FplDiv(zero, zero), (FloatType{0, 0, 1})) << "a NaN becomes zero";
  EXPECT_EQ(FplSub(one, one), (FloatType{0, 0, 1}));
  EXPECT_EQ(FplMul(FplLongToFloat(3), FplDiv(one, FplLongToFloat(3))), (FloatType{0xFFFFFFFFu, -32, 1}))
      << "1/3 cut to 32 bits, times 3";
}

TEST(FloatManager, LongToFloat) {
  EXPECT_EQ(FplLongToFloat(0), (FloatType{0, 0, 1}));
  EXPECT_EQ(FplLongToFloat(1), (FloatType{0x80000000u, -31, 1}));
  EXPECT_EQ(FplLongToFloat(-1), (FloatType{0x80000000u, -31, -1}));
  EXPECT_EQ(FplLongToFloat(3), (FloatType{0xC0000000u, -30, 1}));
  EXPECT_EQ(FplLongToFloat(INT32_MAX), (FloatType{0xFFFFFFFEu, -1, 1}));
  EXPECT_EQ(FplLongToFloat(INT32_MIN), (FloatType{0x80000000u, 0, -1}));
}

struct ToIntegerCase {
  double value;
  Int32 toLong;
  UInt32 toULong;
};

TEST(FloatManager, FloatToIntegerTruncatesAndSaturates) {
  const ToIntegerCase cases[] = {
      {2.9, 2, 2},
      {-2.9, -2, 0},
      {-0.5, 0, 0},
      {2147483647.0, INT32_MAX, 2147483647u},
      {2147483648.0, INT32_MAX, 2147483648u},
      {-2147483648.0, INT32_MIN, 0},
      {-3e9, INT32_MIN, 0},
      {4294967295.0, INT32_MAX, UINT32_MAX},
      {4294967296.0, INT32_MAX, UINT32_MAX},
      {1e30, INT32_MAX, UINT32_MAX},
      {kInf, INT32_MAX, UINT32_MAX},
      {-kInf, INT32_MIN, 0},
  };
  for (const auto& c : cases) {
    FloatType f = DoubleToFloatType(c.value);
    EXPECT_EQ(FplFloatToLong(f), c.toLong) << c.value;
    EXPECT_EQ(FplFloatToULong(f), c.toULong) << c.value;
  }
}

std::string toText(double d, Err* err = nullptr) {
  char text[kFlpTextSize + 8];
  std::memset(text, 0x7E, sizeof text);
  Err e = FlpFToA(d, text);
  if (err) *err = e;
  for (unsigned i = kFlpTextSize; i < sizeof text; ++i) EXPECT_EQ(text[i], 0x7E) << "written past 16 bytes";
  EXPECT_NE(std::memchr(text, 0, kFlpTextSize), nullptr);
  return text;
}

TEST(FloatManager, FToAWritesSevenDecimalsAndPalmExponent) {
  const std::pair<double, const char*> cases[] = {
      {1.0, "1.0000000e00"},
      {-250.5, "-2.5050000e02"},
      {0.001, "1.0000000e-03"},
      {1e100, "1.0000000e100"},
      {-1e-100, "-1.0000000e-100"},
      {123456789.0, "1.2345679e08"},
      {123456785.0, "1.2345678e08"},  // an exact tie rounds to even
      {99999999.5, "1.0000000e08"},   // rounding carries into the exponent
      {0.0, "0.0000000e00"},
      {DBL_MAX, "1.7976931e308"},
      {-DBL_TRUE_MIN, "-4.9406565e-324"},
      {1e-5, "1.0000000e-05"},
      {5e-100, "5.0000000e-100"},
  };
  for (const auto& [value, expected] : cases) {
    Err err = 1;
    EXPECT_EQ(toText(value, &err), expected);
    EXPECT_EQ(err, errNone);
  }
}

TEST(FloatManager, FToADigitsAreThoseOfPrintf) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 5000; ++i) {
    double d = std::bit_cast<double>(random());
    if (!std::isfinite(d)) continue;
    char printed[40];
    std::snprintf(printed, sizeof printed, "%.7e", d);
    std::string expected(printed, std::strchr(printed, 'e') + 1);
    int exponent = std::atoi(std::strchr(printed, 'e') + 1);
    // Two digits from 0 to 99, a minus and two digits from -1 to -99, else as it is.
    const char* form = exponent >= 0 && exponent <= 99 ? "%02d" : exponent < 0 && exponent >= -99 ? "%03d" : "%d";
    char tail[8];
    std::snprintf(tail, sizeof tail, form, exponent);
    ASSERT_EQ(toText(d), expected + tail) << printed;
  }
}

TEST(FloatManager, FToAOfNaNAndInfinityIsAnError) {
  const std::pair<double, const char*> cases[] = {{kNaN, "NaN"}, {-kNaN, "NaN"}, {kInf, "INF"}, {-kInf, "-INF"}};
  for (const auto& [value, expected] : cases) {
    Err err = 0;
    EXPECT_EQ(toText(value, &err), expected);
    EXPECT_EQ(err, flpErrOutOfRange);
  }
}

TEST(FloatManager, OldFToAOfADivisionByZero) {
  char text[kFlpTextSize];
  EXPECT_EQ(FplFToA(FplDiv(FplLongToFloat(-7), FplLongToFloat(0)), text), flpErrOutOfRange);
  EXPECT_STREQ(text, "-INF");
  EXPECT_EQ(FplFToA(FplLongToFloat(-250), text), errNone);
  EXPECT_STREQ(text, "-2.5000000e02");
}

TEST(FloatManager, AToFReadsAsAtofInTheCLocale) {
  const std::pair<const char*, double> cases[] = {
      {"12.5", 12.5},
      {" \t-7", -7.0},
      {"+3e2xyz", 300.0},
      {"1.5e-3", 0.0015},
      {".25", 0.25},
      {"1,5", 1.0},
      {"abc", 0.0},
      {"", 0.0},
      {"+-1", 0.0},
      {"1e400", kInf},
      {"-1e400", -kInf},
      {"4.9406564584124654e-324", DBL_TRUE_MIN},
      {"0.1", 0.1},
      {"9007199254740993", 9007199254740992.0},  // a tie, rounded to even
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(bitsOf(FlpAToF(text)), bitsOf(expected)) << '"' << text << '"';
  EXPECT_EQ(FplAToF("-0.75"), (FloatType{0xC0000000u, -32, -1}));
  EXPECT_EQ(FplAToF("nothing"), (FloatType{0, 0, 1}));
}

struct Base10Case {
  double value;
  UInt32 mantissa;
  Int16 exponent;
  Int16 sign;
};

TEST(FloatManager, Base10InfoGivesEightDigits) {
  const Base10Case cases[] = {
      {1.0, 10000000, -7, 0},
      {-0.5, 50000000, -8, 1},
      {0.0, 0, 0, 0},
      {-0.0, 0, 0, 0},
      {123456789.0, 12345679, 1, 0},
      {99999999.6, 100000000, 0, 0},  // rounding carries to nine digits
      {DBL_MAX, 17976931, 301, 0},
      {DBL_MIN, 22250739, -315, 0},
      // Denormals: the power of ten alone would underflow.
      {DBL_TRUE_MIN, 49406565, -331, 0},
      {-DBL_MIN / 4, 55626846, -316, 1},
  };
  for (const auto& c : cases) {
    UInt32 mantissa = 1;
    Int16 exponent = 1, sign = 1;
    EXPECT_EQ(FlpBase10Info(c.value, &mantissa, &exponent, &sign), errNone) << c.value;
    EXPECT_EQ(mantissa, c.mantissa) << c.value;
    EXPECT_EQ(exponent, c.exponent) << c.value;
    EXPECT_EQ(sign, c.sign) << c.value;
  }
}

TEST(FloatManager, Base10InfoApproximatesRandomValues) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 20000; ++i) {
    double d = std::bit_cast<double>(random());
    if (!std::isfinite(d) || d == 0) continue;
    UInt32 mantissa = 0;
    Int16 exponent = 0, sign = 0;
    ASSERT_EQ(FlpBase10Info(d, &mantissa, &exponent, &sign), errNone);
    ASSERT_GE(mantissa, 10000000u) << d;
    ASSERT_LE(mantissa, 100000000u) << d;
    ASSERT_EQ(sign, d < 0 ? 1 : 0);
    long double approx = mantissa * std::pow(10.0L, exponent);
    ASSERT_LE(std::fabs(approx - std::fabs(static_cast<long double>(d))) / std::fabs(d), 1e-7L) << d;
  }
}

TEST(FloatManager, Base10InfoOfNaNAndInfinityLeavesTheOutputs) {
  for (double d : {kNaN, kInf, -kInf}) {
    UInt32 mantissa = 11;
    Int16 exponent = 22, sign = 33;
    EXPECT_EQ(FlpBase10Info(d, &mantissa, &exponent, &sign), flpErrOutOfRange);
    EXPECT_EQ(mantissa, 11u);
    EXPECT_EQ(exponent, 22);
    EXPECT_EQ(sign, 33);
  }
}

TEST(FloatManager, OldBase10InfoSignIsPlusOrMinusOne) {
  UInt32 mantissa = 0;
  Int16 exponent = 0, sign = 0;
  EXPECT_EQ(FplBase10Info(FplLongToFloat(-2), &mantissa, &exponent, &sign), errNone);
  EXPECT_EQ(mantissa, 20000000u);
  EXPECT_EQ(exponent, -7);
  EXPECT_EQ(sign, -1);
  EXPECT_EQ(FplBase10Info(FplLongToFloat(5), &mantissa, &exponent, &sign), errNone);
  EXPECT_EQ(sign, 1);
  EXPECT_EQ(FplBase10Info(FloatType{0x80000000u, 16000, 1}, &mantissa, &exponent, &sign), flpErrOutOfRange);
  // Null outputs are skipped.
  EXPECT_EQ(FplBase10Info(FplLongToFloat(5), nullptr, nullptr, nullptr), errNone);
}

struct CorrectedCase {
  double a, b;
  Int16 howAccurate;
  double sum, difference;
};

TEST(FloatManager, CorrectedAddAndSubDropCancellationResidue) {
  const double nearOne = 0.9999999999999999;  // 1 - 2^-53
  const double residue = std::ldexp(1.0, -53);
  const CorrectedCase cases[] = {
      {1.0, -nearOne, 0, 0.0, 1.0 + nearOne},
      {1.0, -nearOne, 60, residue, 1.0 + nearOne},
      {1.0, nearOne, 0, 1.0 + nearOne, 0.0},
      {1.0, nearOne, 52, 1.0 + nearOne, residue},  // a loss of exactly 52 digits is kept
      {1.0, nearOne, 51, 1.0 + nearOne, 0.0},
      {3.0, 0.25, 0, 3.25, 2.75},
      {kInf, 1.0, 0, kInf, kInf},
      {1e300, -1e300, 0, 0.0, 2e300},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bitsOf(FlpCorrectedAdd(c.a, c.b, c.howAccurate)), bitsOf(c.sum)) << c.a << " + " << c.b;
    EXPECT_EQ(bitsOf(FlpCorrectedSub(c.a, c.b, c.howAccurate)), bitsOf(c.difference)) << c.a << " - " << c.b;
  }
}

TEST(FloatManager, VersionAndInit) {
  EXPECT_EQ(FlpVersion(), 0x02008000u);
  EXPECT_EQ(FplInit(), errNone);
}

}  // namespace
