// The 68K address space: one low arena of host memory, mapped at a fixed
// address below 2 GiB so that a 68K address is a host address. A Palm handle
// or LocalID is 0x80000000 | arena address; the interpreter maps that mirror
// range back onto the arena, native code converts it.
#pragma once
#include <cstdint>
#include "palm/PalmTypes.h"

namespace Arena68K {
constexpr EmuAddr kBase = 0x10000000;
constexpr EmuAddr kSize = 0x40000000;  // 1 GiB
constexpr EmuAddr kEnd = kBase + kSize;
constexpr EmuAddr kMirrorBit = 0x80000000;
constexpr EmuAddr kMirrorBase = kBase | kMirrorBit;
constexpr EmuAddr kMirrorEnd = kEnd | kMirrorBit;

constexpr bool inArena(EmuAddr a) { return a - kBase < kSize; }
constexpr bool inMirror(EmuAddr a) { return a - kMirrorBase < kSize; }
// The arena address that a handle-mirror address stands for.
constexpr EmuAddr unmirror(EmuAddr a) { return a & ~kMirrorBit; }
}  // namespace Arena68K

// The one checked pair of conversions between host pointers and 68K addresses.
// A host pointer at or above 2^31 cannot be a 68K address: converting one is a
// fatal bug, reported, never a silent truncation.
EmuAddr toEmu(const void* p);
void* fromEmu(EmuAddr a);

template <typename T>
T* fromEmuAs(EmuAddr a) {
  return static_cast<T*>(fromEmu(a));
}
