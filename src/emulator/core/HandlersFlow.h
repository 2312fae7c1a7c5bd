// Branches, calls and returns; conditional set, decrement-and-branch, tests.
#pragma once
#include "emulator/core/Cpu.h"

namespace m68k {
struct Short {};  // 8-bit displacement in the opcode word
struct Wide {};   // 16-bit displacement word

// The branch target; PC ends past the instruction.
template <class Form, class C>
QV_ALWAYS_INLINE UInt32 branchTarget(C& c) {
  if constexpr (std::is_same_v<Form, Short>) {
    return c.pc + signExtend<Byte>(c.op);
  } else {
    UInt32 base = c.pc;
    return base + signExtend<Word>(fetch16(c));
  }
}

template <int cc, class Form>
struct Branch {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 target = branchTarget<Form>(c);
    if (condition<cc>(c)) c.pc = target;
    return kNext;
  }
};

template <class Form>
struct BranchToSubroutine {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 target = branchTarget<Form>(c);
    push32(c, c.pc);
    c.pc = target;
    return kNext;
  }
};

struct Jump {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    c.pc = effectiveAddress<Long>(c, c.op & 63);
    return c.pc == kM68KQuitAddress ? kExitQuit : kNext;
  }
};

struct JumpToSubroutine {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 target = c.mem.codeTarget(*c.st, effectiveAddress<Long>(c, c.op & 63));
    push32(c, c.pc);
    c.pc = target;
    return kNext;
  }
};

struct ReturnFromSubroutine {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    c.pc = pop32(c);
    return c.pc == kM68KQuitAddress ? kExitQuit : kNext;
  }
};

struct ReturnAndRestore {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 ccr = c.mem.read16(c.mem.template directReadLoc<2>(*c.st, c.r[kA7], c.op, c.pc)) & 0x1F;
    c.r[kA7] += 2;
    c.pc = pop32(c);
    setFlags(c, 0x1F, ccr);
    return kNext;
  }
};

struct Nop {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C&) {
    return kNext;
  }
};

template <int cc, class Dst>
struct SetConditional {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    if constexpr (std::is_same_v<Dst, ToDn>) {
      setPart<Byte>(regY(c), condition<cc>(c) ? 0xFF : 0);
      return kNext;
    } else {
      auto loc = operand<Byte, Use::Write>(c);
      return storeChecked<Byte>(c, loc, condition<cc>(c) ? 0xFF : 0);
    }
  }
};

template <int cc>
struct DecrementAndBranch {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 target = branchTarget<Wide>(c);
    if (condition<cc>(c)) return kNext;
    UInt32& counter = regY(c);
    UInt32 next = (counter - 1) & 0xFFFF;
    setPart<Word>(counter, next);
    if (next != 0xFFFF) c.pc = target;
    return kNext;
  }
};

template <class S, class Src>
struct Test {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    setLogicFlags<S>(c, readSource<S, Src>(c));
    return kNext;
  }
};

template <class Dst>
struct TestAndSet {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    if constexpr (std::is_same_v<Dst, ToDn>) {
      UInt32 v = regY(c) & 0xFF;
      setLogicFlags<Byte>(c, v);
      setPart<Byte>(regY(c), v | 0x80);
      return kNext;
    } else {
      auto loc = operand<Byte, Use::Write>(c);
      UInt32 v = load<Byte>(c, loc);
      setLogicFlags<Byte>(c, v);
      return storeChecked<Byte>(c, loc, v | 0x80);
    }
  }
};
}  // namespace m68k
