#include "emulator/float/FloatType.h"
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {
constexpr std::uint64_t kSignBit = std::uint64_t(1) << 63;
constexpr std::uint64_t kFractionMask = (std::uint64_t(1) << 52) - 1;
constexpr unsigned kExponentAll = 0x7FF;
// A double's exponent field minus this is the exponent of a 32-bit mantissa
// whose bit 31 stands for the double's implicit one (1023 bias + 31).
constexpr int kFieldToFloatTypeExponent = 1054;
constexpr FloatType kZero{0, 0, 1};
}  // namespace

double FloatTypeToDouble(FloatType f) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  if (f.exponent == kFloatTypeInfiniteExponent) return f.sign == 1 ? inf : -inf;
  if (f.mantissa == 0) return 0.0;
  // The value itself, sign x mantissa x 2^exponent: an unnormalised mantissa
  // or an exponent outside the double's range still gives the nearest double
  // (or an infinity), never a wrapped-around exponent.
  double magnitude = std::ldexp(static_cast<double>(f.mantissa), f.exponent);
  return f.sign < 0 ? -magnitude : magnitude;
}

FloatType DoubleToFloatType(double d) {
  auto bits = std::bit_cast<std::uint64_t>(d);
  auto field = static_cast<unsigned>(bits >> 52) & kExponentAll;
  Int8 sign = (bits & kSignBit) ? -1 : 1;
  if (field == 0) return kZero;
  if (field == kExponentAll) {
    if (bits & kFractionMask) return kZero;
    return FloatType{0x80000000u, kFloatTypeInfiniteExponent, sign};
  }
  auto top31 = static_cast<UInt32>((bits >> 21) & 0x7FFFFFFFu);
  return FloatType{0x80000000u | top31, static_cast<Int16>(static_cast<int>(field) - kFieldToFloatTypeExponent), sign};
}
