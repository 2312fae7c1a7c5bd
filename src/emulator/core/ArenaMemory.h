// The production memory policy of the interpreter core: a 68K address is a
// host address in the arena. Operand addresses pass one range compare; what
// falls outside the arena takes the slow path: the low-memory block, the
// frame-buffer start register, the handle mirror, and otherwise a read of 0 or
// the fatal illegal-access report for a write.
#pragma once
#include <cstdint>
#include "emulator/core/M68KState.h"
#include "palm/Address.h"
#include "palm/Endian.h"

namespace m68k {
#define QV_ALWAYS_INLINE inline __attribute__((always_inline))

// Ends the program with the "Fatal Error: Illegal memory access" report for a
// store by the instruction word `opcode` (PC past it) at 68K address `address`.
[[noreturn]] void illegalWrite(const M68KState& state, UInt32 address, UInt32 opcode, UInt32 pc);

struct ArenaMemory {
  using Loc = std::uint8_t*;
  static constexpr bool kSingleStep = false;
  static constexpr bool kCounting = false;
  // Index registers of d8(An,Xn) are scaled by bits 10-9 of the extension word.
  static constexpr bool kScaledIndex = true;

  static QV_ALWAYS_INLINE Loc host(UInt32 a) { return reinterpret_cast<Loc>(static_cast<std::uintptr_t>(a)); }
  template <unsigned N>
  static QV_ALWAYS_INLINE bool inArena(UInt32 a) {
    return a - Arena68K::kBase <= Arena68K::kSize - N;
  }

  // Operand addresses (translated).
  template <unsigned N>
  QV_ALWAYS_INLINE Loc readLoc(M68KState& st, UInt32 a, UInt32, UInt32) {
    if (__builtin_expect(inArena<N>(a), 1)) return host(a);
    return slowTranslate(st, a, N, true, false, 0, 0);
  }
  template <unsigned N>
  QV_ALWAYS_INLINE Loc writeLoc(M68KState& st, UInt32 a, UInt32 opcode, UInt32 pc) {
    if (__builtin_expect(inArena<N>(a), 1)) return host(a);
    return slowTranslate(st, a, N, true, true, opcode, pc);
  }
  // Stack and frame addresses, used as they stand (no low-memory block).
  template <unsigned N>
  QV_ALWAYS_INLINE Loc directReadLoc(M68KState& st, UInt32 a, UInt32, UInt32) {
    if (__builtin_expect(inArena<N>(a), 1)) return host(a);
    return slowTranslate(st, a, N, false, false, 0, 0);
  }
  template <unsigned N>
  QV_ALWAYS_INLINE Loc directWriteLoc(M68KState& st, UInt32 a, UInt32 opcode, UInt32 pc) {
    if (__builtin_expect(inArena<N>(a), 1)) return host(a);
    return slowTranslate(st, a, N, false, true, opcode, pc);
  }

  // The instruction stream. PC is a host address of code in the arena; a
  // fetch from anywhere else faults and is reported by the fault handler.
  QV_ALWAYS_INLINE UInt32 fetch(UInt32 pc) const { return get16(host(pc)); }
  QV_ALWAYS_INLINE Loc codeLoc(UInt32 pc) const { return host(pc); }
  // JSR's target: code in the low-memory block runs there.
  static QV_ALWAYS_INLINE UInt32 codeTarget(const M68KState& st, UInt32 a) {
    return a < kLowMemorySize ? st.lowMemBase + a : a;
  }

  static QV_ALWAYS_INLINE UInt32 read8(Loc p) { return *p; }
  static QV_ALWAYS_INLINE UInt32 read16(Loc p) { return get16(p); }
  static QV_ALWAYS_INLINE UInt32 read32(Loc p) { return get32(p); }
  static QV_ALWAYS_INLINE void write8(Loc p, UInt32 v) { *p = static_cast<std::uint8_t>(v); }
  static QV_ALWAYS_INLINE void write16(Loc p, UInt32 v) { set16(p, static_cast<std::uint16_t>(v)); }
  static QV_ALWAYS_INLINE void write32(Loc p, UInt32 v) { set32(p, v); }
  static QV_ALWAYS_INLINE Loc advance(Loc p, UInt32 n) { return p + n; }
  // The address the frame-buffer check compares.
  static QV_ALWAYS_INLINE std::uint64_t hostAddress(Loc p) { return reinterpret_cast<std::uintptr_t>(p); }

  static Loc slowTranslate(M68KState& st, UInt32 a, unsigned bytes, bool translated, bool write, UInt32 opcode,
                           UInt32 pc);
};

// The benchmark's variant: the same memory, with an instruction counter.
struct CountingArenaMemory : ArenaMemory {
  static constexpr bool kCounting = true;
  std::uint64_t instructions = 0;
};
}  // namespace m68k
