// The numbers of the two Palm Float Managers in host form. The old manager's
// FloatType is sign x mantissa x 2^exponent; the new manager's FlpDouble is an
// IEEE double, which 68K code stores high word first.
#pragma once
#include "palm/PalmTypes.h"

struct FloatType {
  UInt32 mantissa;  // bit 31 is the leading one of a normalised value
  Int16 exponent;   // kFloatTypeInfiniteExponent marks infinity
  Int8 sign;        // 1 or -1
};

using FlpDouble = double;

constexpr Int16 kFloatTypeInfiniteExponent = 16000;
// 68K layout: mantissa at 0, exponent at 4, sign at 6, one pad byte.
constexpr UInt32 kFloatTypeSize = 8;

double FloatTypeToDouble(FloatType f);
// Keeps the top 32 significant bits (the rest is dropped, not rounded);
// denormals and NaNs become zero, infinities the FloatType infinity.
FloatType DoubleToFloatType(double d);
