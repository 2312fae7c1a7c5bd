// Values for the float tests: zeros, infinities, NaNs, denormals, extremes and
// numbers whose results need rounding; and the FloatType a double should
// become, computed independently of the code under test.
#pragma once
#include <gtest/gtest.h>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>
#include "emulator/float/FloatType.h"

inline const std::vector<double>& doubleTestValues() {
  static const std::vector<double> values = {
      0.0, -0.0, 1.0, -1.0, 0.5, 3.0, -3.0, 0.1, 1.0 / 3.0, 2.0 / 3.0, 10.0, 1e10, -1e-10,
      123456789.0, 16777217.0, 9007199254740993.0, 1.0 + DBL_EPSILON, 1.0 - DBL_EPSILON / 2,
      4294967295.0, 4294967296.5, -2147483648.0, -2147483649.0,
      DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, DBL_MIN / 2, DBL_TRUE_MIN, -DBL_TRUE_MIN,
      std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(), std::bit_cast<double>(0xFFF4000000000123ull)};
  return values;
}

inline const std::vector<float>& floatTestValues() {
  static const std::vector<float> values = {
      0.0f, -0.0f, 1.0f, -1.0f, 3.0f, 0.1f, 1.0f / 3.0f, 16777216.0f, 16777215.0f, 1e30f, -1e-30f,
      FLT_MAX, -FLT_MAX, FLT_MIN, FLT_MIN / 4, FLT_TRUE_MIN, -FLT_TRUE_MIN,
      std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
      std::numeric_limits<float>::quiet_NaN(), std::bit_cast<float>(0xFFA00042u)};
  return values;
}

// Doubles are compared by their bits: a NaN equals a NaN of the same bits,
// +0 differs from -0.
inline std::uint64_t bitsOf(double d) { return std::bit_cast<std::uint64_t>(d); }
inline std::uint32_t bitsOf(float f) { return std::bit_cast<std::uint32_t>(f); }

inline bool operator==(const FloatType& a, const FloatType& b) {
  return a.mantissa == b.mantissa && a.exponent == b.exponent && a.sign == b.sign;
}
inline std::ostream& operator<<(std::ostream& os, const FloatType& f) {
  return os << "{0x" << std::hex << f.mantissa << std::dec << ", " << f.exponent << ", " << int(f.sign) << "}";
}

// The double with its significand cut to 32 bits, as a FloatType: built with
// frexp, independently of the bit handling of the code under test. Zeros,
// denormals and NaNs give the zero FloatType.
inline FloatType expectedFloatType(double d) {
  if (std::isnan(d) || std::fabs(d) < DBL_MIN) return FloatType{0, 0, 1};
  Int8 sign = std::signbit(d) ? -1 : 1;
  if (std::isinf(d)) return FloatType{0x80000000u, 16000, sign};
  int e = 0;
  double m = std::frexp(std::fabs(d), &e);  // [0.5, 1)
  return FloatType{static_cast<UInt32>(std::ldexp(m, 32)), static_cast<Int16>(e - 32), sign};
}
