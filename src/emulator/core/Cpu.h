// What every opcode handler works with: the running context of one core
// call, operand sizes, effective addresses, memory access through the memory
// policy, condition codes and the frame-buffer store check. Everything here is
// inlined into the handlers, so that the running PC and SR stay in host
// registers.
#pragma once
#include <cstdint>
#include <type_traits>
#include "emulator/core/ArenaMemory.h"
#include "emulator/core/M68KState.h"

namespace m68k {
// How a handler ends: the next instruction, or one of the exits.
enum Next : int { kNext, kExitUnimplemented, kExitQuit, kExitDivideByZero, kExitFrameBuffer };

using Int64 = std::int64_t;
using UInt64 = std::uint64_t;

constexpr UInt32 kX = 0x10, kN = 0x08, kZ = 0x04, kV = 0x02, kC = 0x01;
constexpr unsigned kA7 = 15;

struct Byte {
  static constexpr unsigned bytes = 1, bits = 8;
  static constexpr UInt32 mask = 0xFF, msb = 0x80;
};
struct Word {
  static constexpr unsigned bytes = 2, bits = 16;
  static constexpr UInt32 mask = 0xFFFF, msb = 0x8000;
};
struct Long {
  static constexpr unsigned bytes = 4, bits = 32;
  static constexpr UInt32 mask = 0xFFFFFFFF, msb = 0x80000000;
};

// Operand kinds that handler families are specialised on.
struct FromReg {};  // register-direct source, opcode bits 3-0 index the register file
struct FromEa {};   // memory, PC-relative or immediate source
struct ToDn {};
struct ToAn {};
struct ToMem {};

template <class Mem>
struct Cpu {
  using Loc = typename Mem::Loc;
  static constexpr bool kScaledIndex = Mem::kScaledIndex;
  M68KState* st;
  Mem& mem;
  UInt32* r;
  UInt32 pc;
  // SR's system byte; its condition codes are kept apart, as the
  // instructions set them, and folded in by statusRegister(). X, V and C are
  // 0 or 1 each, so that an addition sets them from the host's carry and
  // overflow with no read-modify-write of a combined word. N and Z share one
  // value, N as bit 63 and Z as its low half being zero, so that most
  // instructions set both with one sign extension of their result.
  UInt32 sr = 0;
  UInt32 xBit = 0, vBit = 0, cBit = 0;
  UInt64 nz = 1;
  // The instruction word, pointer-wide so that it indexes the dispatch table
  // as it stands, without a second, zero-extended copy.
  std::uintptr_t op = 0;
  Loc lcdLoc{};
  UInt32 lcdLength = 0;
};

template <class S>
QV_ALWAYS_INLINE UInt32 signExtend(UInt32 v) {
  if constexpr (S::bits == 8) return static_cast<UInt32>(static_cast<Int32>(static_cast<Int8>(v)));
  if constexpr (S::bits == 16) return static_cast<UInt32>(static_cast<Int32>(static_cast<Int16>(v)));
  return v;
}

// ---- instruction stream ----
template <class C>
QV_ALWAYS_INLINE UInt32 fetch16(C& c) {
  UInt32 w = c.mem.fetch(c.pc);
  c.pc += 2;
  return w;
}
template <class C>
QV_ALWAYS_INLINE UInt32 fetch32(C& c) {
  UInt32 hi = fetch16(c);
  return (hi << 16) | fetch16(c);
}
// Immediate data: a byte is the low half of its word.
template <class S, class C>
QV_ALWAYS_INLINE UInt32 immediate(C& c) {
  if constexpr (S::bytes == 4) return fetch32(c);
  return fetch16(c) & S::mask;
}

// ---- registers ----
template <class S>
QV_ALWAYS_INLINE void setPart(UInt32& reg, UInt32 v) {
  if constexpr (S::bytes == 4)
    reg = v;
  else
    reg = (reg & ~S::mask) | (v & S::mask);
}
template <class C>
QV_ALWAYS_INLINE UInt32& regX(C& c) {  // bits 11-9
  return c.r[(c.op >> 9) & 7];
}
template <class C>
QV_ALWAYS_INLINE UInt32& addrX(C& c) {
  return c.r[8 + ((c.op >> 9) & 7)];
}
template <class C>
QV_ALWAYS_INLINE UInt32& regY(C& c) {  // bits 2-0 as a data register
  return c.r[c.op & 7];
}

// ---- memory ----
template <class S, class C>
QV_ALWAYS_INLINE UInt32 load(C& c, typename C::Loc loc) {
  if constexpr (S::bytes == 1) return c.mem.read8(loc);
  if constexpr (S::bytes == 2) return c.mem.read16(loc);
  return c.mem.read32(loc);
}
template <class S, class C>
QV_ALWAYS_INLINE void store(C& c, typename C::Loc loc, UInt32 v) {
  if constexpr (S::bytes == 1) c.mem.write8(loc, v);
  if constexpr (S::bytes == 2) c.mem.write16(loc, v);
  if constexpr (S::bytes == 4) c.mem.write32(loc, v);
}

// The frame-buffer check after a store of `length` bytes at loc. A store that
// overlaps the buffer at all is reported, clipped to the buffer; an empty
// register-list store is reported when its address lies inside.
template <class C>
QV_ALWAYS_INLINE Next checkFrameBuffer(C& c, typename C::Loc loc, UInt32 length) {
  std::uint64_t a = c.mem.hostAddress(loc);
  std::uint64_t first = c.st->lcdStart, last = c.st->lcdEnd;
  if (__builtin_expect(a > last || a + (length ? length : 1) <= first, 1)) return kNext;
  std::uint64_t start = a < first ? first : a;
  std::uint64_t end = a + length > last + 1 ? last + 1 : a + length;
  c.lcdLoc = loc;
  c.st->lcdWriteAddress = static_cast<UInt32>(start);
  c.lcdLength = length ? static_cast<UInt32>(end - start) : 0;
  return kExitFrameBuffer;
}
template <class S, class C>
QV_ALWAYS_INLINE Next storeChecked(C& c, typename C::Loc loc, UInt32 v) {
  store<S>(c, loc, v);
  return checkFrameBuffer(c, loc, S::bytes);
}

// Stack and frame accesses use the register value as it stands.
template <class C>
QV_ALWAYS_INLINE void push32(C& c, UInt32 v) {
  c.r[kA7] -= 4;
  c.mem.write32(c.mem.template directWriteLoc<4>(*c.st, c.r[kA7], c.op, c.pc), v);
}
template <class C>
QV_ALWAYS_INLINE UInt32 readDirect32(C& c, UInt32 a) {
  return c.mem.read32(c.mem.template directReadLoc<4>(*c.st, a, c.op, c.pc));
}
template <class C>
QV_ALWAYS_INLINE UInt32 pop32(C& c) {
  UInt32 v = readDirect32(c, c.r[kA7]);
  c.r[kA7] += 4;
  return v;
}

// ---- effective addresses ----
// Address steps of (An)+ and -(An): a byte on A7 keeps the stack even.
template <class S>
QV_ALWAYS_INLINE UInt32 stepOf(unsigned reg) {
  if constexpr (S::bytes == 1) return reg == 7 ? 2 : 1;
  return S::bytes;
}

template <class C>
QV_ALWAYS_INLINE UInt32 indexed(C& c, UInt32 base) {
  UInt32 ext = fetch16(c);
  UInt32 index = c.r[ext >> 12];
  if (!(ext & 0x0800)) index = signExtend<Word>(index);
  if constexpr (C::kScaledIndex) index <<= (ext >> 9) & 3;
  return base + index + signExtend<Byte>(ext);
}

[[noreturn]] void invalidAddressingMode(UInt32 opcode);

enum class Use { Read, Write };

// The 68K address of the operand field `field` (mode x 8 + register) with the
// mode's extension words and register step; immediate data has no address and
// is handled by the caller.
template <class S, class C>
QV_ALWAYS_INLINE UInt32 effectiveAddress(C& c, unsigned field) {
  unsigned reg = field & 7;
  UInt32& an = c.r[8 + reg];
  switch (field >> 3) {
    case 2: return an;
    case 3: {
      UInt32 a = an;
      an = a + stepOf<S>(reg);
      return a;
    }
    case 4: return an -= stepOf<S>(reg);
    case 5: return an + signExtend<Word>(fetch16(c));
    case 6: return indexed(c, an);
    case 7:
      switch (reg) {
        case 0: return signExtend<Word>(fetch16(c));
        case 1: return fetch32(c);
        case 2: {
          UInt32 base = c.pc;
          return base + signExtend<Word>(fetch16(c));
        }
        case 3: return indexed(c, c.pc);
        default: break;
      }
      break;
    default: break;
  }
  invalidAddressingMode(c.op);
}

// The translated location of the operand named by opcode bits 5-0 (or by
// `field` for MOVE's destination), for reading or for writing. Only a read
// can name #imm: the forms that write take alterable modes alone.
template <class S, Use U, class C>
QV_ALWAYS_INLINE typename C::Loc operand(C& c, unsigned field) {
  if (U == Use::Read && field == 074) {  // #imm: the data in the instruction stream
    auto loc = c.mem.codeLoc(c.pc + (S::bytes == 1 ? 1 : 0));
    c.pc += S::bytes == 4 ? 4 : 2;
    return loc;
  }
  UInt32 a = effectiveAddress<S>(c, field);
  if constexpr (U == Use::Write) return c.mem.template writeLoc<S::bytes>(*c.st, a, c.op, c.pc);
  return c.mem.template readLoc<S::bytes>(*c.st, a, c.op, c.pc);
}
template <class S, Use U, class C>
QV_ALWAYS_INLINE typename C::Loc operand(C& c) {
  return operand<S, U>(c, c.op & 63);
}

// The source operand of a handler, by kind.
template <class S, class Src, class C>
QV_ALWAYS_INLINE UInt32 readSource(C& c) {
  if constexpr (std::is_same_v<Src, FromReg>)
    return c.r[c.op & 15] & S::mask;
  else
    return load<S>(c, operand<S, Use::Read>(c));
}

// ---- condition codes ----
constexpr UInt64 kNegativeBit = UInt64{1} << 63, kNonZeroBits = 0xFFFFFFFF;
template <class C>
QV_ALWAYS_INLINE bool flagN(const C& c) {
  return static_cast<Int64>(c.nz) < 0;
}
template <class C>
QV_ALWAYS_INLINE bool flagZ(const C& c) {
  return static_cast<UInt32>(c.nz) == 0;
}
// N alone, Z kept.
template <class C>
QV_ALWAYS_INLINE void setN(C& c, bool n) {
  c.nz = (c.nz & ~kNegativeBit) | (n ? kNegativeBit : 0);
}
// Z alone, N kept: Z is set exactly when `nonZero` is 0.
template <class C>
QV_ALWAYS_INLINE void setNonZero(C& c, UInt32 nonZero) {
  c.nz = (c.nz & ~kNonZeroBits) | nonZero;
}
// Clears Z when `nonZero` is not 0, else keeps it; N kept.
template <class C>
QV_ALWAYS_INLINE void clearZWhenNonZero(C& c, UInt32 nonZero) {
  c.nz |= nonZero;
}
// N and Z from a value whose bit 31 is N and which is 0 exactly when Z is set.
template <class C>
QV_ALWAYS_INLINE void setNZ(C& c, UInt32 top) {
  c.nz = static_cast<UInt64>(static_cast<Int64>(static_cast<Int32>(top)));
}
template <class C>
QV_ALWAYS_INLINE UInt32 statusRegister(const C& c) {
  return (c.sr & ~(kX | kN | kZ | kV | kC)) | (c.xBit << 4) | (flagN(c) ? kN : 0) | (flagZ(c) ? kZ : 0) |
         (c.vBit << 1) | c.cBit;
}
// Sets the SR bits of `changed` to those of `flags`.
template <class C>
QV_ALWAYS_INLINE void setFlags(C& c, UInt32 changed, UInt32 flags) {
  constexpr UInt32 kConditionCodes = kX | kN | kZ | kV | kC;
  c.sr = (c.sr & ~(changed & ~kConditionCodes)) | (flags & changed & ~kConditionCodes);
  if (changed & kX) c.xBit = (flags >> 4) & 1;
  if (changed & kV) c.vBit = (flags >> 1) & 1;
  if (changed & kC) c.cBit = flags & 1;
  if (changed & kN) setN(c, flags & kN);
  if (changed & kZ) setNonZero(c, (flags & kZ) ? 0 : 1);
}
template <class C>
QV_ALWAYS_INLINE void loadStatusRegister(C& c, UInt32 sr) {
  setFlags(c, ~UInt32{0}, sr);
}
// N and Z from a result at size S.
template <class S, class C>
QV_ALWAYS_INLINE void setResult(C& c, UInt32 v) {
  setNZ(c, v << (32 - S::bits));
}
template <class S>
QV_ALWAYS_INLINE UInt32 flagsNZ(UInt32 v) {
  Int32 top = static_cast<Int32>(v << (32 - S::bits));
  return (top < 0 ? kN : 0) | (top == 0 ? kZ : 0);
}
// N and Z of v; V and C cleared; X kept.
template <class S, class C>
QV_ALWAYS_INLINE void setLogicFlags(C& c, UInt32 v) {
  c.vBit = c.cBit = 0;
  setResult<S>(c, v);
}

// The sixteen conditions; 0 is always true, 1 never.
template <int cc, class Cpu>
QV_ALWAYS_INLINE bool condition(const Cpu& cpu) {
  const bool c = cpu.cBit, v = cpu.vBit, z = flagZ(cpu), n = flagN(cpu);
  if constexpr (cc == 0) return true;
  if constexpr (cc == 1) return false;
  if constexpr (cc == 2) return !c && !z;
  if constexpr (cc == 3) return c || z;
  if constexpr (cc == 4) return !c;
  if constexpr (cc == 5) return c;
  if constexpr (cc == 6) return !z;
  if constexpr (cc == 7) return z;
  if constexpr (cc == 8) return !v;
  if constexpr (cc == 9) return v;
  if constexpr (cc == 10) return !n;
  if constexpr (cc == 11) return n;
  if constexpr (cc == 12) return n == v;
  if constexpr (cc == 13) return n != v;
  if constexpr (cc == 14) return !z && n == v;
  if constexpr (cc == 15) return z || n != v;
  return false;
}
}  // namespace m68k
