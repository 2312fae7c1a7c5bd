// Single-bit operations and the condition-code and status-register instructions.
#pragma once
#include "emulator/core/Cpu.h"
#include "emulator/core/HandlersArithmetic.h"

namespace m68k {
struct BitTest {
  static constexpr bool kWrites = false;
  static QV_ALWAYS_INLINE UInt32 apply(UInt32 v, UInt32) { return v; }
};
struct BitChange {
  static constexpr bool kWrites = true;
  static QV_ALWAYS_INLINE UInt32 apply(UInt32 v, UInt32 bit) { return v ^ bit; }
};
struct BitClear {
  static constexpr bool kWrites = true;
  static QV_ALWAYS_INLINE UInt32 apply(UInt32 v, UInt32 bit) { return v & ~bit; }
};
struct BitSet {
  static constexpr bool kWrites = true;
  static QV_ALWAYS_INLINE UInt32 apply(UInt32 v, UInt32 bit) { return v | bit; }
};
struct BitNumberInRegister {};
struct BitNumberImmediate {};

template <class Op, class Number, class Dst>
struct BitOperation {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 number = std::is_same_v<Number, BitNumberImmediate> ? fetch16(c) & 0xFF : regX(c);
    if constexpr (std::is_same_v<Dst, ToDn>) {
      UInt32& dy = regY(c);
      UInt32 bit = UInt32{1} << (number & 31);
      setNonZero(c, dy & bit);
      dy = Op::apply(dy, bit);
      return kNext;
    } else {
      auto loc = operand<Byte, Op::kWrites ? Use::Write : Use::Read>(c);
      UInt32 v = load<Byte>(c, loc), bit = UInt32{1} << (number & 7);
      setNonZero(c, v & bit);
      if constexpr (Op::kWrites) return storeChecked<Byte>(c, loc, Op::apply(v, bit));
      return kNext;
    }
  }
};

// ORI, ANDI, EORI to CCR: only bits 4-0 of the immediate's low byte reach SR.
template <class Op>
struct ImmediateToConditionCodes {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 ccr = Op::combine(statusRegister(c) & 0x1F, fetch16(c) & 0x1F);
    setFlags(c, 0x1F, ccr);
    return kNext;
  }
};

struct ConditionCodes {
  static constexpr UInt32 kReadable = 0x00FF, kWritable = 0x001F;
};
struct StatusRegister {
  static constexpr UInt32 kReadable = 0xFFFF, kWritable = 0xF71F;  // SR_IMPLEMENTED_BITS
};

template <class Which, class Dst>
struct MoveFromStatus {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 v = statusRegister(c) & Which::kReadable;
    if constexpr (std::is_same_v<Dst, ToDn>) {
      setPart<Word>(regY(c), v);
      return kNext;
    } else {
      auto loc = operand<Word, Use::Write>(c);
      return storeChecked<Word>(c, loc, v);
    }
  }
};

template <class Which, class Src>
struct MoveToStatus {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    setFlags(c, Which::kWritable, readSource<Word, Src>(c) & Which::kWritable);
    return kNext;
  }
};
}  // namespace m68k
