// The Float Manager: the old manager on FloatType numbers (Fpl...) and the
// New Float Manager on FlpDouble numbers (Flp...), both answered with the
// host's double arithmetic. The old manager's operations convert their
// operands to doubles, compute and convert back.
#pragma once
#include "emulator/float/FloatType.h"
#include "palm/ErrorCodes.h"

// Text buffer of FlpFToA and FplFToA: at most 15 characters and a zero.
constexpr unsigned kFlpTextSize = 16;
constexpr UInt32 kFlpVersion = 0x02008000;

Err FplInit();
void FplFree();
Err FplFToA(FloatType a, char* s);
FloatType FplAToF(const char* s);
// Sign output 1 for positive, -1 for negative.
Err FplBase10Info(FloatType a, UInt32* mantissaP, Int16* exponentP, Int16* signP);
FloatType FplLongToFloat(Int32 x);
// Truncated toward zero; beyond the range: the nearest end of it.
Int32 FplFloatToLong(FloatType f);
UInt32 FplFloatToULong(FloatType f);
FloatType FplMul(FloatType a, FloatType b);
FloatType FplAdd(FloatType a, FloatType b);
FloatType FplSub(FloatType a, FloatType b);
FloatType FplDiv(FloatType a, FloatType b);

// Eight significant digits: mantissa x 10^exponent approximates a; sign 1 for
// negative, 0 for positive. NaN and infinity: flpErrOutOfRange, outputs
// untouched. Null output pointers are skipped.
Err FlpBase10Info(FlpDouble a, UInt32* mantissaP, Int16* exponentP, Int16* signP);
// "d.ddddddde<exp>" as the Palm Float Manager writes it ("1.0000000e00",
// "1.0000000e-03", "1.0000000e100"); "NaN", "INF", "-INF" with flpErrOutOfRange.
Err FlpFToA(FlpDouble a, char* s);
// As the C library's atof in the C locale; text without a number gives 0.
FlpDouble FlpAToF(const char* s);
// a + b (a - b), replaced by +0.0 when the result lost more than howAccurate
// binary digits (0 means 48) to cancellation.
FlpDouble FlpCorrectedAdd(FlpDouble a, FlpDouble b, Int16 howAccurate);
FlpDouble FlpCorrectedSub(FlpDouble a, FlpDouble b, Int16 howAccurate);
UInt32 FlpVersion();
