// Shifts and rotates, on data registers and (by one bit, word size) on memory.
#pragma once
#include "emulator/core/Cpu.h"

namespace m68k {
struct Left {};
struct Right {};
struct ArithmeticShift {};
struct LogicalShift {};
struct Rotate {};
struct RotateExtended {};
struct CountImmediate {};
struct CountInRegister {};

// Shifts v (at size S) by count 0-63 and sets the condition codes.
template <class Kind, class Dir, class S, class C>
QV_ALWAYS_INLINE UInt32 shift(C& c, UInt32 v, unsigned count) {
  constexpr unsigned w = S::bits;
  constexpr bool left = std::is_same_v<Dir, Left>;
  const UInt32 x = c.xBit;
  v &= S::mask;
  if (count == 0) {
    UInt32 carry = std::is_same_v<Kind, RotateExtended> ? x : 0;
    setResult<S>(c, v);
    c.vBit = 0;
    c.cBit = carry;
    return v;
  }
  UInt32 res, carry, overflow = 0;
  bool setsX = true;
  const std::uint64_t wide = v;
  if constexpr (std::is_same_v<Kind, Rotate>) {
    setsX = false;
    unsigned k = (count - 1) % w + 1;
    res = static_cast<UInt32>(((left ? (wide << k) | (wide >> (w - k)) : (wide >> k) | (wide << (w - k)))) &
                              S::mask);
    carry = left ? res & 1 : (res >> (w - 1)) & 1;
  } else if constexpr (std::is_same_v<Kind, RotateExtended>) {
    unsigned k = count % (w + 1);
    if (k == 0) {
      setResult<S>(c, v);
      c.vBit = 0;
      c.cBit = x;
      return v;
    }
    const std::uint64_t all = (std::uint64_t{1} << (w + 1)) - 1;
    std::uint64_t full = (std::uint64_t{x} << w) | wide;
    std::uint64_t rot = (left ? (full << k) | (full >> (w + 1 - k)) : (full >> k) | (full << (w + 1 - k))) & all;
    res = static_cast<UInt32>(rot) & S::mask;
    carry = static_cast<UInt32>(rot >> w) & 1;
  } else if constexpr (left) {
    res = count < 64 ? static_cast<UInt32>((wide << count) & S::mask) : 0;
    carry = count <= w ? static_cast<UInt32>((wide >> (w - count)) & 1) : 0;
    if constexpr (std::is_same_v<Kind, ArithmeticShift>) {
      if (count >= w) {
        overflow = v != 0;
      } else {
        UInt32 top = static_cast<UInt32>(((std::uint64_t{1} << (count + 1)) - 1) << (w - count - 1));
        overflow = (v & top) != 0 && (v & top) != top;
      }
    }
  } else if constexpr (std::is_same_v<Kind, ArithmeticShift>) {
    std::int64_t sv = static_cast<Int32>(signExtend<S>(v));
    if (count >= w) {
      res = sv < 0 ? S::mask : 0;
      carry = sv < 0;
    } else {
      res = static_cast<UInt32>(sv >> count) & S::mask;
      carry = static_cast<UInt32>(sv >> (count - 1)) & 1;
    }
  } else {
    res = count >= w ? 0 : static_cast<UInt32>(wide >> count);
    carry = count <= w ? static_cast<UInt32>((wide >> (count - 1)) & 1) : 0;
  }
  setResult<S>(c, res);
  c.vBit = overflow;
  c.cBit = carry;
  if (setsX) c.xBit = carry;
  return res;
}

template <class Kind, class Dir, class S, class Count>
struct ShiftRegister {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    unsigned count;
    if constexpr (std::is_same_v<Count, CountImmediate>)
      count = ((c.op >> 9) - 1) % 8 + 1;
    else
      count = regX(c) & 63;
    UInt32& dy = regY(c);
    setPart<S>(dy, shift<Kind, Dir, S>(c, dy, count));
    return kNext;
  }
};

template <class Kind, class Dir>
struct ShiftMemory {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    auto loc = operand<Word, Use::Write>(c);
    return storeChecked<Word>(c, loc, shift<Kind, Dir, Word>(c, load<Word>(c, loc), 1));
  }
};
}  // namespace m68k
