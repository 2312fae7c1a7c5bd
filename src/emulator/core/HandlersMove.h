// Data movement, register lists and stack frames.
#pragma once
#include "emulator/core/Cpu.h"

namespace m68k {
// MOVE's destination field: register in bits 11-9, mode in bits 8-6.
QV_ALWAYS_INLINE unsigned moveDestinationField(UInt32 op) { return ((op >> 3) & 070) | ((op >> 9) & 7); }

template <class S, class Src, class Dst>
struct Move {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 v = readSource<S, Src>(c);
    if constexpr (std::is_same_v<Dst, ToAn>) {
      addrX(c) = signExtend<S>(v);
      return kNext;
    } else if constexpr (std::is_same_v<Dst, ToDn>) {
      setPart<S>(regX(c), v);
      setLogicFlags<S>(c, v);
      return kNext;
    } else {
      auto loc = operand<S, Use::Write>(c, moveDestinationField(c.op));
      setLogicFlags<S>(c, v);
      return storeChecked<S>(c, loc, v);
    }
  }
};

struct Moveq {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 v = signExtend<Byte>(c.op);
    regX(c) = v;
    setLogicFlags<Long>(c, v);
    return kNext;
  }
};

template <unsigned R>
struct Lea {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    c.r[8 + R] = effectiveAddress<Long>(c, c.op & 63);
    return kNext;
  }
};

struct Pea {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    push32(c, effectiveAddress<Long>(c, c.op & 63));
    return kNext;
  }
};

struct ExgData {  // Dx with Dy or Ay
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32& x = regX(c);
    UInt32& y = c.r[c.op & 15];
    UInt32 t = x;
    x = y;
    y = t;
    return kNext;
  }
};

struct ExgAddress {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32& x = addrX(c);
    UInt32& y = c.r[8 + (c.op & 7)];
    UInt32 t = x;
    x = y;
    y = t;
    return kNext;
  }
};

struct Swap {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32& y = regY(c);
    y = (y >> 16) | (y << 16);
    setLogicFlags<Long>(c, y);
    return kNext;
  }
};

template <class From, class To>
struct Ext {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 v = signExtend<From>(regY(c));
    setPart<To>(regY(c), v);
    setLogicFlags<To>(c, v);
    return kNext;
  }
};

template <class S, class Dst>
struct Clear {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    if constexpr (std::is_same_v<Dst, ToDn>) {
      setPart<S>(regY(c), 0);
      setFlags(c, kN | kZ | kV | kC, kZ);
      return kNext;
    } else {
      auto loc = operand<S, Use::Write>(c);
      setFlags(c, kN | kZ | kV | kC, kZ);
      return storeChecked<S>(c, loc, 0);
    }
  }
};

// Register lists. The mask scan visits the set bits only, lowest first.
template <class S>
struct MovemToPredecrement {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 mask = fetch16(c);
    unsigned an = 8 + (c.op & 7);
    UInt32 original = c.r[an], a = original, count = 0;
    for (; mask; mask &= mask - 1) {
      unsigned reg = 15 - static_cast<unsigned>(__builtin_ctz(mask));
      a -= S::bytes;
      store<S>(c, c.mem.template directWriteLoc<S::bytes>(*c.st, a, c.op, c.pc), reg == an ? original : c.r[reg]);
      ++count;
    }
    c.r[an] = a;
    return checkFrameBuffer(c, c.mem.template directReadLoc<1>(*c.st, a, c.op, c.pc), count * S::bytes);
  }
};

template <class S>
struct MovemToControl {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 mask = fetch16(c);
    UInt32 start = effectiveAddress<S>(c, c.op & 63), a = start;
    for (; mask; mask &= mask - 1) {
      unsigned reg = static_cast<unsigned>(__builtin_ctz(mask));
      store<S>(c, c.mem.template writeLoc<S::bytes>(*c.st, a, c.op, c.pc), c.r[reg]);
      a += S::bytes;
    }
    return checkFrameBuffer(c, c.mem.template readLoc<1>(*c.st, start, c.op, c.pc), a - start);
  }
};

template <class S>
struct MovemFromPostincrement {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 mask = fetch16(c);
    unsigned an = 8 + (c.op & 7);
    UInt32 a = c.r[an];
    for (; mask; mask &= mask - 1) {
      unsigned reg = static_cast<unsigned>(__builtin_ctz(mask));
      c.r[reg] = signExtend<S>(load<S>(c, c.mem.template directReadLoc<S::bytes>(*c.st, a, c.op, c.pc)));
      a += S::bytes;
    }
    c.r[an] = a;
    return kNext;
  }
};

template <class S>
struct MovemFromControl {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 mask = fetch16(c);
    UInt32 a = effectiveAddress<S>(c, c.op & 63);
    for (; mask; mask &= mask - 1) {
      unsigned reg = static_cast<unsigned>(__builtin_ctz(mask));
      c.r[reg] = signExtend<S>(load<S>(c, c.mem.template readLoc<S::bytes>(*c.st, a, c.op, c.pc)));
      a += S::bytes;
    }
    return kNext;
  }
};

struct LinkA6 {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    push32(c, c.r[8 + 6]);
    c.r[8 + 6] = c.r[kA7];
    c.r[kA7] += signExtend<Word>(fetch16(c));
    return kNext;
  }
};

template <unsigned R>
struct Unlink {
  template <class C>
  static QV_ALWAYS_INLINE Next run(C& c) {
    UInt32 frame = c.r[8 + R];
    UInt32 saved = readDirect32(c, frame);
    c.r[kA7] = frame + 4;
    c.r[8 + R] = saved;
    return kNext;
  }
};
}  // namespace m68k
