// The float emulation routines that 68K code reaches through the float
// emulation trap: single- and double-precision IEEE 754 arithmetic,
// conversions and comparisons on the host's own arithmetic in its default
// mode (round to nearest, no traps, no recorded flags). Stateless.
#pragma once
#include <cstdint>
#include "palm/PalmTypes.h"

namespace FloatEmulation {

// No emulated rounding mode or status word: these report 0 and change nothing.
UInt32 _fp_round(Int32 mode);
UInt32 _fp_get_fpscr();
void _fp_set_fpscr(UInt32 value);

float _f_utof(UInt32 x);
float _f_itof(Int32 x);
float _f_ulltof(std::uint64_t x);
float _f_lltof(std::int64_t x);
double _d_utod(UInt32 x);
double _d_itod(Int32 x);
double _d_ulltod(std::uint64_t x);
double _d_lltod(std::int64_t x);
double _f_ftod(float x);
float _d_dtof(double x);

// Truncation toward zero; a value outside the integer's range gives the
// nearest end of the range, a NaN gives 0.
UInt32 _f_ftou(float x);
Int32 _f_ftoi(float x);
std::uint64_t _f_ftoull(float x);
std::int64_t _f_ftoll(float x);
UInt32 _d_dtou(double x);
Int32 _d_dtoi(double x);
std::uint64_t _d_dtoull(double x);
std::int64_t _d_dtoll(double x);

// cmp: 0 equal, 1 less or unordered, 2 greater; cmpe: 3 when either is a NaN,
// else as cmp. The tests give 1 or 0.
UInt32 _f_cmp(float a, float b);
UInt32 _f_cmpe(float a, float b);
UInt32 _f_feq(float a, float b);
UInt32 _f_fne(float a, float b);
UInt32 _f_flt(float a, float b);
UInt32 _f_fle(float a, float b);
UInt32 _f_fgt(float a, float b);
UInt32 _f_fge(float a, float b);
UInt32 _f_fun(float a, float b);
UInt32 _f_for(float a, float b);
UInt32 _d_cmp(double a, double b);
UInt32 _d_cmpe(double a, double b);
UInt32 _d_feq(double a, double b);
UInt32 _d_fne(double a, double b);
UInt32 _d_flt(double a, double b);
UInt32 _d_fle(double a, double b);
UInt32 _d_fgt(double a, double b);
UInt32 _d_fge(double a, double b);
UInt32 _d_fun(double a, double b);
UInt32 _d_for(double a, double b);

// Negation inverts the sign bit only (a NaN keeps its payload).
float _f_neg(float x);
float _f_add(float a, float b);
float _f_mul(float a, float b);
float _f_sub(float a, float b);
float _f_div(float a, float b);
double _d_neg(double x);
double _d_add(double a, double b);
double _d_mul(double a, double b);
double _d_sub(double a, double b);
double _d_div(double a, double b);

}  // namespace FloatEmulation
