#include "emulator/float/FloatEmulation.h"
#include "emulator/float/FloatConversion.h"
#include <bit>
#include <cmath>

namespace FloatEmulation {
namespace {
template <typename F>
UInt32 compare(F a, F b) {
  if (a == b) return 0;
  if (a <= b || std::isunordered(a, b)) return 1;
  return 2;
}

template <typename F>
UInt32 compareSignalling(F a, F b) {
  return std::isnan(a) || std::isnan(b) ? 3 : compare(a, b);
}

template <typename F, typename Bits>
F flipSign(F x) {
  constexpr Bits signBit = Bits(1) << (sizeof(Bits) * 8 - 1);
  return std::bit_cast<F>(static_cast<Bits>(std::bit_cast<Bits>(x) ^ signBit));
}
}  // namespace

UInt32 _fp_round(Int32) { return 0; }
UInt32 _fp_get_fpscr() { return 0; }
void _fp_set_fpscr(UInt32) {}

float _f_utof(UInt32 x) { return static_cast<float>(x); }
float _f_itof(Int32 x) { return static_cast<float>(x); }
float _f_ulltof(std::uint64_t x) { return static_cast<float>(x); }
float _f_lltof(std::int64_t x) { return static_cast<float>(x); }
double _d_utod(UInt32 x) { return x; }
double _d_itod(Int32 x) { return x; }
double _d_ulltod(std::uint64_t x) { return static_cast<double>(x); }
double _d_lltod(std::int64_t x) { return static_cast<double>(x); }
double _f_ftod(float x) { return x; }
float _d_dtof(double x) { return static_cast<float>(x); }

UInt32 _f_ftou(float x) { return truncateToInteger<UInt32>(x); }
Int32 _f_ftoi(float x) { return truncateToInteger<Int32>(x); }
std::uint64_t _f_ftoull(float x) { return truncateToInteger<std::uint64_t>(x); }
std::int64_t _f_ftoll(float x) { return truncateToInteger<std::int64_t>(x); }
UInt32 _d_dtou(double x) { return truncateToInteger<UInt32>(x); }
Int32 _d_dtoi(double x) { return truncateToInteger<Int32>(x); }
std::uint64_t _d_dtoull(double x) { return truncateToInteger<std::uint64_t>(x); }
std::int64_t _d_dtoll(double x) { return truncateToInteger<std::int64_t>(x); }

UInt32 _f_cmp(float a, float b) { return compare(a, b); }
UInt32 _f_cmpe(float a, float b) { return compareSignalling(a, b); }
UInt32 _f_feq(float a, float b) { return a == b; }
UInt32 _f_fne(float a, float b) { return a != b; }
UInt32 _f_flt(float a, float b) { return std::isless(a, b); }
UInt32 _f_fle(float a, float b) { return std::islessequal(a, b); }
UInt32 _f_fgt(float a, float b) { return std::isgreater(a, b); }
UInt32 _f_fge(float a, float b) { return std::isgreaterequal(a, b); }
UInt32 _f_fun(float a, float b) { return std::isunordered(a, b); }
UInt32 _f_for(float a, float b) { return !std::isunordered(a, b); }
UInt32 _d_cmp(double a, double b) { return compare(a, b); }
UInt32 _d_cmpe(double a, double b) { return compareSignalling(a, b); }
UInt32 _d_feq(double a, double b) { return a == b; }
UInt32 _d_fne(double a, double b) { return a != b; }
UInt32 _d_flt(double a, double b) { return std::isless(a, b); }
UInt32 _d_fle(double a, double b) { return std::islessequal(a, b); }
UInt32 _d_fgt(double a, double b) { return std::isgreater(a, b); }
UInt32 _d_fge(double a, double b) { return std::isgreaterequal(a, b); }
UInt32 _d_fun(double a, double b) { return std::isunordered(a, b); }
UInt32 _d_for(double a, double b) { return !std::isunordered(a, b); }

float _f_neg(float x) { return flipSign<float, std::uint32_t>(x); }
float _f_add(float a, float b) { return a + b; }
float _f_mul(float a, float b) { return a * b; }
float _f_sub(float a, float b) { return a - b; }
float _f_div(float a, float b) { return a / b; }
double _d_neg(double x) { return flipSign<double, std::uint64_t>(x); }
double _d_add(double a, double b) { return a + b; }
double _d_mul(double a, double b) { return a * b; }
double _d_sub(double a, double b) { return a - b; }
double _d_div(double a, double b) { return a / b; }

}  // namespace FloatEmulation
