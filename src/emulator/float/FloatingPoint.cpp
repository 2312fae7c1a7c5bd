#include "emulator/float/FloatingPoint.h"
#include <locale.h>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "emulator/float/FloatConversion.h"

namespace {
int exponentField(double d) { return static_cast<int>((std::bit_cast<std::uint64_t>(d) >> 52) & 0x7FF); }

FlpDouble corrected(FlpDouble a, FlpDouble b, FlpDouble r, Int16 howAccurate) {
  int allowedLoss = howAccurate == 0 ? 48 : howAccurate;
  int e = std::min(exponentField(a), exponentField(b));
  return e - exponentField(r) > allowedLoss ? 0.0 : r;
}

// x / 10^e for x's own decimal exponent e. Below 1e-300 the power of ten
// itself would underflow (to zero for denormals), so both are scaled first.
double decimalFraction(double x, int e) {
  constexpr int kScale = 32;
  if (e < -300) return (x * std::pow(10.0, kScale)) / std::pow(10.0, e + kScale);
  return x / std::pow(10.0, e);
}

// The exponent as the Palm Float Manager writes it: at least two digits, the
// sign only when negative.
void appendExponent(char* out, std::size_t size, long exponent) {
  if (exponent >= 0 && exponent <= 99)
    std::snprintf(out, size, "%02ld", exponent);
  else if (exponent < 0 && exponent >= -99)
    std::snprintf(out, size, "%03ld", exponent);
  else
    std::snprintf(out, size, "%ld", exponent);
}

locale_t cLocale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
  return locale;
}

template <typename T>
void store(T* p, T value) {
  if (p) *p = value;
}
}  // namespace

Err FplInit() { return errNone; }
void FplFree() {}

Err FplFToA(FloatType a, char* s) { return FlpFToA(FloatTypeToDouble(a), s); }
FloatType FplAToF(const char* s) { return DoubleToFloatType(FlpAToF(s)); }

Err FplBase10Info(FloatType a, UInt32* mantissaP, Int16* exponentP, Int16* signP) {
  Int16 negative = 0;
  Err err = FlpBase10Info(FloatTypeToDouble(a), mantissaP, exponentP, &negative);
  if (err == errNone) store<Int16>(signP, negative ? -1 : 1);
  return err;
}

FloatType FplLongToFloat(Int32 x) { return DoubleToFloatType(x); }
Int32 FplFloatToLong(FloatType f) { return truncateToInteger<Int32>(FloatTypeToDouble(f)); }
UInt32 FplFloatToULong(FloatType f) { return truncateToInteger<UInt32>(FloatTypeToDouble(f)); }
FloatType FplMul(FloatType a, FloatType b) { return DoubleToFloatType(FloatTypeToDouble(a) * FloatTypeToDouble(b)); }
FloatType FplAdd(FloatType a, FloatType b) { return DoubleToFloatType(FloatTypeToDouble(a) + FloatTypeToDouble(b)); }
FloatType FplSub(FloatType a, FloatType b) { return DoubleToFloatType(FloatTypeToDouble(a) - FloatTypeToDouble(b)); }
FloatType FplDiv(FloatType a, FloatType b) { return DoubleToFloatType(FloatTypeToDouble(a) / FloatTypeToDouble(b)); }

Err FlpBase10Info(FlpDouble a, UInt32* mantissaP, Int16* exponentP, Int16* signP) {
  if (!std::isfinite(a)) return flpErrOutOfRange;
  if (a == 0) {
    store<UInt32>(mantissaP, 0);
    store<Int16>(exponentP, 0);
    store<Int16>(signP, 0);
    return errNone;
  }
  double x = std::fabs(a);
  int e = static_cast<int>(std::floor(std::log10(x)));
  // At most 10^9 even when log10 rounds e off by one: within UInt32.
  store(mantissaP, static_cast<UInt32>(decimalFraction(x, e) * 10000000.0 + 0.5));
  store(exponentP, static_cast<Int16>(e - 7));
  store<Int16>(signP, a < 0 ? 1 : 0);
  return errNone;
}

Err FlpFToA(FlpDouble a, char* s) {
  if (std::isnan(a)) {
    std::strcpy(s, "NaN");
    return flpErrOutOfRange;
  }
  if (std::isinf(a)) {
    std::strcpy(s, a < 0 ? "-INF" : "INF");
    return flpErrOutOfRange;
  }
  // "[-]d.ddddddde[+-]dd[d]", independent of the host locale.
  char text[32];
  char* end = std::to_chars(text, text + sizeof text - 1, a, std::chars_format::scientific, 7).ptr;
  *end = 0;
  char* e = std::find(text, end, 'e');
  long exponent = std::strtol(e + 1, nullptr, 10);
  auto mantissaLength = static_cast<std::size_t>(e + 1 - text);
  std::memcpy(s, text, mantissaLength);
  appendExponent(s + mantissaLength, kFlpTextSize - mantissaLength, exponent);
  return errNone;
}

FlpDouble FlpAToF(const char* s) { return strtod_l(s, nullptr, cLocale()); }

FlpDouble FlpCorrectedAdd(FlpDouble a, FlpDouble b, Int16 howAccurate) { return corrected(a, b, a + b, howAccurate); }
FlpDouble FlpCorrectedSub(FlpDouble a, FlpDouble b, Int16 howAccurate) { return corrected(a, b, a - b, howAccurate); }

UInt32 FlpVersion() { return kFlpVersion; }
