/* 32-bit multiplication, division and modulo for the 68000, which multiplies
   and divides only 16-bit operands. gcc calls these; Debian's libgcc is
   68020 code and is never linked. Built with and without -mshort: the Palm
   applications and the interpreter's whole-program tests both link it. */
#include "PalmTypes.h"

/* 16 x 16 -> 32 bits unsigned. */
static __inline__ UInt32 mulu16(UInt16 a, UInt16 b) {
  UInt32 r = a;
  __asm__("mulu.w %1,%0" : "+d"(r) : "dmi"(b));
  return r;
}

UInt32 __mulsi3(UInt32 a, UInt32 b) {
  const UInt32 cross = mulu16((UInt16)(a >> 16), (UInt16)b) + mulu16((UInt16)a, (UInt16)(b >> 16));
  return mulu16((UInt16)a, (UInt16)b) + (cross << 16);
}

/* Shift-subtract division; a zero divisor gives an all-ones quotient and the
   dividend as remainder instead of a trap. */
static UInt32 udivmod(UInt32 n, UInt32 d, UInt32 *remainder) {
  UInt32 q = 0, r = 0;
  Int16 i;
  if (d == 0) {
    *remainder = n;
    return 0xFFFFFFFFUL;
  }
  for (i = 31; i >= 0; --i) {
    r = (r << 1) | ((n >> i) & 1);
    if (r >= d) {
      r -= d;
      q |= 1UL << i;
    }
  }
  *remainder = r;
  return q;
}

UInt32 __udivsi3(UInt32 n, UInt32 d) {
  UInt32 r;
  return udivmod(n, d, &r);
}

UInt32 __umodsi3(UInt32 n, UInt32 d) {
  UInt32 r;
  udivmod(n, d, &r);
  return r;
}

static UInt32 magnitude(Int32 v) { return v < 0 ? 0UL - (UInt32)v : (UInt32)v; }

/* Quotients truncate toward zero; a remainder takes the dividend's sign. */
Int32 __divsi3(Int32 n, Int32 d) {
  UInt32 r;
  const UInt32 q = udivmod(magnitude(n), magnitude(d), &r);
  return (Int32)(((n < 0) != (d < 0)) ? 0UL - q : q);
}

Int32 __modsi3(Int32 n, Int32 d) {
  UInt32 r;
  udivmod(magnitude(n), magnitude(d), &r);
  return (Int32)(n < 0 ? 0UL - r : r);
}
