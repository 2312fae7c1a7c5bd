// Float to integer conversion without undefined behaviour: truncation toward
// zero, a value beyond the integer's range gives the nearest end of the range
// and a NaN gives 0 (what the ARM conversion instructions do).
#pragma once
#include <cmath>
#include <limits>

template <typename Int, typename F>
Int truncateToInteger(F x) {
  using Limits = std::numeric_limits<Int>;
  if (std::isnan(x)) return 0;
  F t = std::trunc(x);
  // Both bounds are powers of two (or zero), so exact in F.
  if (t < static_cast<F>(Limits::min())) return Limits::min();
  if (t >= std::ldexp(F(1), Limits::digits)) return Limits::max();
  return static_cast<Int>(t);
}
