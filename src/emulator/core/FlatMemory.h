// The test memory policy of the interpreter core: a flat 16 MB memory with
// 24-bit addresses, as a 68000 sees its bus, with no translation. The core
// built on it stops after one instruction (status 1), so single-instruction
// test vectors can be run against it. Unlike production it ignores the scale
// bits of an index extension word, as a 68000 does.
#pragma once
#include <cstdint>
#include "emulator/core/ArenaMemory.h"

namespace m68k {
struct FlatMemory {
  using Loc = UInt32;
  static constexpr bool kSingleStep = true;
  static constexpr bool kCounting = false;
  // As on a 68000, which ignores the scale bits of an index extension word.
  static constexpr bool kScaledIndex = false;
  static constexpr UInt32 kMask = 0x00FFFFFF;

  std::uint8_t* bytes;  // 16 MB

  template <unsigned N>
  QV_ALWAYS_INLINE Loc readLoc(M68KState&, UInt32 a, UInt32, UInt32) const { return a; }
  template <unsigned N>
  QV_ALWAYS_INLINE Loc writeLoc(M68KState&, UInt32 a, UInt32, UInt32) const { return a; }
  template <unsigned N>
  QV_ALWAYS_INLINE Loc directReadLoc(M68KState&, UInt32 a, UInt32, UInt32) const { return a; }
  template <unsigned N>
  QV_ALWAYS_INLINE Loc directWriteLoc(M68KState&, UInt32 a, UInt32, UInt32) const { return a; }

  QV_ALWAYS_INLINE UInt32 fetch(UInt32 pc) const { return read16(pc); }
  QV_ALWAYS_INLINE Loc codeLoc(UInt32 pc) const { return pc; }
  static QV_ALWAYS_INLINE UInt32 codeTarget(const M68KState&, UInt32 a) { return a; }

  QV_ALWAYS_INLINE UInt32 read8(Loc a) const { return bytes[a & kMask]; }
  QV_ALWAYS_INLINE UInt32 read16(Loc a) const { return (read8(a) << 8) | read8(a + 1); }
  QV_ALWAYS_INLINE UInt32 read32(Loc a) const { return (read16(a) << 16) | read16(a + 2); }
  QV_ALWAYS_INLINE void write8(Loc a, UInt32 v) const { bytes[a & kMask] = static_cast<std::uint8_t>(v); }
  QV_ALWAYS_INLINE void write16(Loc a, UInt32 v) const {
    write8(a, v >> 8);
    write8(a + 1, v);
  }
  QV_ALWAYS_INLINE void write32(Loc a, UInt32 v) const {
    write16(a, v >> 16);
    write16(a + 2, v);
  }
  static QV_ALWAYS_INLINE Loc advance(Loc a, UInt32 n) { return a + n; }
  static QV_ALWAYS_INLINE std::uint64_t hostAddress(Loc a) { return a & kMask; }
};
}  // namespace m68k
