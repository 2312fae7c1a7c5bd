// Multiply and divide, word forms and the long forms of later processors.
#pragma once
#include "emulator/core/Cpu.h"

namespace m68k {
struct Unsigned {
  static constexpr bool kSigned = false;
};
struct Signed {
  static constexpr bool kSigned = true;
};

template <class Sign, class Src>
struct MultiplyWord {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 s = readSource<Word, Src>(c);
    UInt32& dx = regX(c);
    UInt32 product = Sign::kSigned ? static_cast<UInt32>(static_cast<Int32>(static_cast<Int16>(s)) *
                                                         static_cast<Int32>(static_cast<Int16>(dx)))
                                   : s * (dx & 0xFFFF);
    dx = product;
    setLogicFlags<Long>(c, product);
    return kNext;
  }
};

template <class Sign, class Src>
struct DivideWord {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 divisor = readSource<Word, Src>(c);
    if (divisor == 0) return kExitDivideByZero;
    UInt32& dx = regX(c);
    Int64 quotient, remainder;
    if constexpr (Sign::kSigned) {
      Int64 dividend = static_cast<Int32>(dx), by = static_cast<Int16>(divisor);
      quotient = dividend / by;
      remainder = dividend % by;
    } else {
      quotient = dx / divisor;
      remainder = dx % divisor;
    }
    bool overflow = Sign::kSigned ? (quotient < -32768 || quotient > 32767) : quotient > 0xFFFF;
    UInt32 q = static_cast<UInt32>(quotient) & 0xFFFF;
    setResult<Word>(c, q);
    c.vBit = overflow;
    c.cBit = 0;
    if (!overflow) dx = (static_cast<UInt32>(remainder) << 16) | q;
    return kNext;
  }
};

// Extension word: Dl in bits 14-12, signed bit 11, 64-bit product bit 10, Dh in bits 2-0.
template <class Src>
struct MultiplyLong {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 ext = fetch16(c);
    UInt32 s = readSource<Long, Src>(c);
    UInt32& dl = c.r[(ext >> 12) & 7];
    std::uint64_t product;
    bool overflow;
    if (ext & 0x0800) {
      Int64 p = static_cast<Int64>(static_cast<Int32>(dl)) * static_cast<Int32>(s);
      product = static_cast<std::uint64_t>(p);
      overflow = p != static_cast<Int32>(p);
    } else {
      product = static_cast<std::uint64_t>(dl) * s;
      overflow = (product >> 32) != 0;
    }
    dl = static_cast<UInt32>(product);
    if (ext & 0x0400) {
      c.r[ext & 7] = static_cast<UInt32>(product >> 32);
      setFlags(c, kN | kZ | kV | kC, ((product >> 63) ? kN : 0) | (product == 0 ? kZ : 0));
    } else {
      setFlags(c, kN | kZ | kV | kC, flagsNZ<Long>(static_cast<UInt32>(product)) | (overflow ? kV : 0));
    }
    return kNext;
  }
};

// Extension word: Dq in bits 14-12, signed bit 11, 64-bit dividend bit 10
// (left to the caller), Dr in bits 2-0.
template <class Src>
struct DivideLong {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 ext = fetch16(c);
    if (ext & 0x0400) {
      c.pc -= 2;
      return kExitUnimplemented;
    }
    UInt32 divisor = readSource<Long, Src>(c);
    if (divisor == 0) return kExitDivideByZero;
    UInt32& dq = c.r[(ext >> 12) & 7];
    UInt32 quotient, remainder;
    if (ext & 0x0800) {
      if (dq == 0x80000000 && divisor == 0xFFFFFFFF) {
        setFlags(c, kN | kZ | kV | kC, kN | kV);
        return kNext;
      }
      Int32 a = static_cast<Int32>(dq), b = static_cast<Int32>(divisor);
      quotient = static_cast<UInt32>(a / b);
      remainder = static_cast<UInt32>(a % b);
    } else {
      quotient = dq / divisor;
      remainder = dq % divisor;
    }
    unsigned qIndex = (ext >> 12) & 7, rIndex = ext & 7;
    dq = quotient;
    if (rIndex != qIndex) c.r[rIndex] = remainder;
    setLogicFlags<Long>(c, quotient);
    return kNext;
  }
};
}  // namespace m68k
