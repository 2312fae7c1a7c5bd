// Add, subtract, compare, negate, extended and decimal arithmetic, and the
// logical operations, which share the same operand forms.
#pragma once
#include "emulator/core/Cpu.h"

namespace m68k {
// d + s and d - s with their flags from one 32-bit host operation: operands
// at byte or word size are moved to the top of the word first, so the host's
// carry, overflow, sign and zero are those of the smaller operation. `extend`
// is X and C together, or C alone for the compares.
template <class S, UInt32 extend, class C>
QV_ALWAYS_INLINE UInt32 addWithFlags(C& c, UInt32 d, UInt32 s) {
  constexpr unsigned shift = 32 - S::bits;
  UInt32 a = d << shift, b = s << shift, r;
  Int32 signedResult;
  bool carry = __builtin_add_overflow(a, b, &r);
  bool overflow = __builtin_add_overflow(static_cast<Int32>(a), static_cast<Int32>(b), &signedResult);
  setNZ(c, r);
  c.cBit = carry;
  if constexpr ((extend & kX) != 0) c.xBit = carry;
  c.vBit = overflow;
  return r >> shift;
}
template <class S, UInt32 extend, class C>
QV_ALWAYS_INLINE UInt32 subWithFlags(C& c, UInt32 d, UInt32 s) {
  constexpr unsigned shift = 32 - S::bits;
  UInt32 a = d << shift, b = s << shift, r;
  Int32 signedResult;
  bool borrow = __builtin_sub_overflow(a, b, &r);
  bool overflow = __builtin_sub_overflow(static_cast<Int32>(a), static_cast<Int32>(b), &signedResult);
  setNZ(c, r);
  c.cBit = borrow;
  if constexpr ((extend & kX) != 0) c.xBit = borrow;
  c.vBit = overflow;
  return r >> shift;
}
// With a carry or borrow input (ADDX, SUBX, NEGX); Z is decided by the caller.
template <class S>
QV_ALWAYS_INLINE UInt32 addExtendedFlags(UInt32 d, UInt32 s, UInt32 res) {
  UInt32 carry = ((s & d) | (~res & (s | d))) & S::msb;
  UInt32 overflow = (s ^ res) & (d ^ res) & S::msb;
  return (overflow ? kV : 0) | (carry ? kC | kX : 0);
}
template <class S>
QV_ALWAYS_INLINE UInt32 subExtendedFlags(UInt32 d, UInt32 s, UInt32 res) {
  UInt32 borrow = ((s & ~d) | (res & ~d) | (s & res)) & S::msb;
  UInt32 overflow = (s ^ d) & (res ^ d) & S::msb;
  return (overflow ? kV : 0) | (borrow ? kC | kX : 0);
}

// Binary operations: apply() returns the result at the size and sets the
// condition codes; kWrites is false for the compares.
struct Add {
  static constexpr bool kWrites = true;
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 d, UInt32 s) {
    return addWithFlags<S, kX | kC>(c, d, s);
  }
};
struct Sub {
  static constexpr bool kWrites = true;
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 d, UInt32 s) {
    return subWithFlags<S, kX | kC>(c, d, s);
  }
};
struct Compare {
  static constexpr bool kWrites = false;
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 d, UInt32 s) {
    return subWithFlags<S, kC>(c, d, s);
  }
};
template <class Op>
struct Logic {
  static constexpr bool kWrites = true;
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 d, UInt32 s) {
    UInt32 res = Op::combine(d, s) & S::mask;
    setLogicFlags<S>(c, res);
    return res;
  }
};
struct AndBits {
  static QV_ALWAYS_INLINE UInt32 combine(UInt32 a, UInt32 b) { return a & b; }
};
struct OrBits {
  static QV_ALWAYS_INLINE UInt32 combine(UInt32 a, UInt32 b) { return a | b; }
};
struct ExclusiveOrBits {
  static QV_ALWAYS_INLINE UInt32 combine(UInt32 a, UInt32 b) { return a ^ b; }
};
struct And : Logic<AndBits>, AndBits {};
struct Or : Logic<OrBits>, OrBits {};
struct ExclusiveOr : Logic<ExclusiveOrBits>, ExclusiveOrBits {};

// X is an input; Z is only ever cleared, so a chain over a wide value keeps it
// set only when every part is zero.
template <class S, class C>
QV_ALWAYS_INLINE void setExtendedFlags(C& c, UInt32 flags, UInt32 res) {
  setFlags(c, kX | kV | kC, flags);
  setN(c, static_cast<Int32>(res << (32 - S::bits)) < 0);
  clearZWhenNonZero(c, res);
}
struct AddExtended {
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 d, UInt32 s) {
    UInt32 res = (d + s + c.xBit) & S::mask;
    setExtendedFlags<S>(c, addExtendedFlags<S>(d, s, res), res);
    return res;
  }
};
struct SubExtended {
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 d, UInt32 s) {
    UInt32 res = (d - s - c.xBit) & S::mask;
    setExtendedFlags<S>(c, subExtendedFlags<S>(d, s, res), res);
    return res;
  }
};
// Packed decimal: one correction per digit; digits above 9 follow the same
// rule. X and C take the decimal carry, Z is only cleared, N and V stay.
template <class C>
QV_ALWAYS_INLINE void setDecimalFlags(C& c, bool carry, bool nonZero) {
  c.xBit = c.cBit = carry;
  clearZWhenNonZero(c, nonZero ? 1 : 0);
}
struct AddDecimal {
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 d, UInt32 s) {
    Int32 low = static_cast<Int32>((d & 15) + (s & 15) + c.xBit);
    Int32 carry = 0;
    if (low >= 10) low -= 10, carry = 1;
    Int32 high = static_cast<Int32>((d >> 4) + (s >> 4)) + carry;
    bool out = high >= 10;
    if (out) high -= 10;
    Int32 combined = (high << 4) | low;
    setDecimalFlags(c, out, combined != 0);
    return static_cast<UInt32>(combined) & 0xFF;
  }
};
struct SubDecimal {
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 d, UInt32 s) {
    Int32 low = static_cast<Int32>(d & 15) - static_cast<Int32>(s & 15) - static_cast<Int32>(c.xBit);
    Int32 borrow = 0;
    if (low < 0) low += 10, borrow = 1;
    Int32 high = static_cast<Int32>(d >> 4) - static_cast<Int32>(s >> 4) - borrow;
    bool out = high < 0;
    if (out) high += 10;
    Int32 combined = static_cast<Int32>(static_cast<UInt32>(high) << 4) | low;
    setDecimalFlags(c, out, combined != 0);
    return static_cast<UInt32>(combined) & 0xFF;
  }
};

// Unary operations on one operand.
struct Negate {
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 v) { return Sub::apply<S>(c, 0, v); }
};
struct NegateExtended {
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 v) { return SubExtended::apply<S>(c, 0, v); }
};
struct NegateDecimal {
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 v) { return SubDecimal::apply<S>(c, 0, v); }
};
struct Complement {
  template <class S, class C>
  static QV_ALWAYS_INLINE UInt32 apply(C& c, UInt32 v) {
    UInt32 res = ~v & S::mask;
    setLogicFlags<S>(c, res);
    return res;
  }
};

// <ea> or register combined into Dx (bits 11-9).
template <class Op, class S, class Src>
struct IntoDn {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 s = readSource<S, Src>(c);
    UInt32& dx = regX(c);
    UInt32 res = Op::template apply<S>(c, dx & S::mask, s);
    if constexpr (Op::kWrites) setPart<S>(dx, res);
    return kNext;
  }
};

// Dx combined into a memory operand.
template <class Op, class S>
struct DnToMemory {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    auto loc = operand<S, Use::Write>(c);
    UInt32 res = Op::template apply<S>(c, load<S>(c, loc), regX(c) & S::mask);
    return storeChecked<S>(c, loc, res);
  }
};

// EOR Dx,Dy: the destination is the register of bits 2-0.
template <class S>
struct ExclusiveOrToDn {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32& dy = regY(c);
    setPart<S>(dy, ExclusiveOr::apply<S>(c, dy, regX(c)));
    return kNext;
  }
};

// ADDA, SUBA, CMPA: a word source is sign-extended; the whole Ax takes part.
template <class Op, class S, class Src>
struct IntoAn {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 s = signExtend<S>(readSource<S, Src>(c));
    UInt32& ax = addrX(c);
    if constexpr (std::is_same_v<Op, Add>)
      ax += s;
    else if constexpr (std::is_same_v<Op, Sub>)
      ax -= s;
    else
      Compare::apply<Long>(c, ax, s);
    return kNext;
  }
};

template <class Op, class S>
struct ImmediateToDn {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 s = immediate<S>(c);
    UInt32& dn = regY(c);
    UInt32 res = Op::template apply<S>(c, dn & S::mask, s);
    if constexpr (Op::kWrites) setPart<S>(dn, res);
    return kNext;
  }
};

template <class Op, class S>
struct ImmediateToMemory {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 s = immediate<S>(c);
    if constexpr (Op::kWrites) {
      auto loc = operand<S, Use::Write>(c);
      return storeChecked<S>(c, loc, Op::template apply<S>(c, load<S>(c, loc), s));
    } else {
      Op::template apply<S>(c, load<S>(c, operand<S, Use::Read>(c)), s);
      return kNext;
    }
  }
};

template <class C>
QV_ALWAYS_INLINE UInt32 quickData(C& c) {
  return ((c.op >> 9) - 1) % 8 + 1;  // 0 stands for 8
}

template <class Op, class S>
struct QuickToDn {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32& dn = regY(c);
    setPart<S>(dn, Op::template apply<S>(c, dn & S::mask, quickData(c)));
    return kNext;
  }
};

template <class Op>
struct QuickToAn {  // all 32 bits, no condition codes
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32& an = c.r[8 + (c.op & 7)];
    if constexpr (std::is_same_v<Op, Add>)
      an += quickData(c);
    else
      an -= quickData(c);
    return kNext;
  }
};

template <class Op, class S>
struct QuickToMemory {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    auto loc = operand<S, Use::Write>(c);
    return storeChecked<S>(c, loc, Op::template apply<S>(c, load<S>(c, loc), quickData(c)));
  }
};

// CMPM (Ay)+,(Ax)+: the register values address memory as they stand.
template <class S>
struct CompareMemory {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    unsigned y = c.op & 7, x = (c.op >> 9) & 7;
    UInt32 ay = c.r[8 + y];
    c.r[8 + y] += stepOf<S>(y);
    UInt32 s = load<S>(c, c.mem.template directReadLoc<S::bytes>(*c.st, ay, c.op, c.pc));
    UInt32 ax = c.r[8 + x];
    c.r[8 + x] += stepOf<S>(x);
    UInt32 d = load<S>(c, c.mem.template directReadLoc<S::bytes>(*c.st, ax, c.op, c.pc));
    Compare::apply<S>(c, d, s);
    return kNext;
  }
};

template <class Op, class S, class Dst>
struct Unary {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    if constexpr (std::is_same_v<Dst, ToDn>) {
      UInt32& dn = regY(c);
      setPart<S>(dn, Op::template apply<S>(c, dn & S::mask));
      return kNext;
    } else {
      auto loc = operand<S, Use::Write>(c);
      return storeChecked<S>(c, loc, Op::template apply<S>(c, load<S>(c, loc)));
    }
  }
};

// ADDX, SUBX, ABCD, SBCD on Dy,Dx.
template <class Op, class S>
struct ExtendedRegister {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32& dx = regX(c);
    setPart<S>(dx, Op::template apply<S>(c, dx & S::mask, regY(c) & S::mask));
    return kNext;
  }
};

// The same on -(Ay),-(Ax): source first; the register values address memory
// as they stand.
template <class Op, class S>
struct ExtendedMemory {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    unsigned y = c.op & 7, x = (c.op >> 9) & 7;
    UInt32 ay = c.r[8 + y] -= stepOf<S>(y);
    UInt32 s = load<S>(c, c.mem.template directReadLoc<S::bytes>(*c.st, ay, c.op, c.pc));
    UInt32 ax = c.r[8 + x] -= stepOf<S>(x);
    auto loc = c.mem.template directWriteLoc<S::bytes>(*c.st, ax, c.op, c.pc);
    return storeChecked<S>(c, loc, Op::template apply<S>(c, load<S>(c, loc), s));
  }
};
}  // namespace m68k
