// The old Float Manager's number and its conversions to and from doubles.
#include <gtest/gtest.h>
#include <random>
#include "FloatTestValues.h"

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();

struct ToDoubleCase {
  FloatType f;
  double expected;
};

TEST(FloatType, ConvertsToDouble) {
  const ToDoubleCase cases[] = {
      {{0, 0, 1}, 0.0},
      {{0, 0, -1}, 0.0},  // zero is +0 whatever the sign
      {{0x80000000u, 16000, 1}, kInf},
      {{0x80000000u, 16000, -1}, -kInf},
      {{0x80000000u, 16000, 0}, -kInf},  // only sign 1 is the positive infinity
      {{0x80000000u, -31, 1}, 1.0},
      {{0x80000000u, -31, -1}, -1.0},
      {{0x80000000u, -31, 0}, 1.0},  // a finite number is negative only for a negative sign byte
      {{0xC0000000u, -32, 1}, 0.75},
      {{0x80000001u, -31, 1}, 1.0 + std::ldexp(1.0, -31)},
      {{0xFFFFFFFFu, 992, 1}, std::ldexp(4294967295.0, 992)},
      {{0x80000000u, -1053, 1}, DBL_MIN},
      {{0x80000000u, -1084, 1}, std::ldexp(1.0, -1053)},  // a denormal double
      // Records that are not normalised, or whose exponent is beyond a
      // double's: their value sign x mantissa x 2^exponent, not a wrapped-around
      // exponent field.
      {{5, 0, 1}, 5.0},
      {{0, -31, 1}, 0.0},
      {{0x80000000u, 993, 1}, kInf},
      {{0x80000001u, 993, -1}, -kInf},
      {{0x80000000u, -2000, 1}, 0.0},
      {{0x80000000u, 32767, 1}, kInf},
  };
  for (const auto& c : cases)
    EXPECT_EQ(bitsOf(FloatTypeToDouble(c.f)), bitsOf(c.expected)) << c.f << " -> " << c.expected;
}

TEST(FloatType, ConvertsFromDoubleByCuttingTheSignificand) {
  for (double d : doubleTestValues()) EXPECT_EQ(DoubleToFloatType(d), expectedFloatType(d)) << d;
  // Spelled out: 1 + 2^-40 loses its low bit (cut, not rounded); 1 + 2^-31 keeps it.
  EXPECT_EQ(DoubleToFloatType(1.0 + std::ldexp(1.0, -40)), (FloatType{0x80000000u, -31, 1}));
  EXPECT_EQ(DoubleToFloatType(1.0 + std::ldexp(1.0, -31)), (FloatType{0x80000001u, -31, 1}));
  EXPECT_EQ(DoubleToFloatType(-(2.0 - std::ldexp(1.0, -52))), (FloatType{0xFFFFFFFFu, -31, -1}));
  EXPECT_EQ(DoubleToFloatType(-kInf), (FloatType{0x80000000u, 16000, -1}));
  EXPECT_EQ(DoubleToFloatType(DBL_TRUE_MIN), (FloatType{0, 0, 1}));
}

TEST(FloatType, RandomDoublesConvertAndComeBackCut) {
  std::mt19937_64 random(9);
  for (int i = 0; i < 20000; ++i) {
    double d = std::bit_cast<double>(random());
    FloatType f = DoubleToFloatType(d);
    ASSERT_EQ(f, expectedFloatType(d)) << d;
    if (std::isnan(d) || std::fabs(d) < DBL_MIN) continue;
    double cut = std::bit_cast<double>(bitsOf(d) & ~((std::uint64_t(1) << 21) - 1));
    ASSERT_EQ(bitsOf(FloatTypeToDouble(f)), bitsOf(cut)) << d;
  }
}

}  // namespace
