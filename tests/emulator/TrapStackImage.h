// A 68K caller's side of a trap, in arena memory: a stack onto which the
// arguments are pushed last-first as 68K code pushes them, the register file
// with A7 at the first argument, and result areas and buffers of the caller.
#pragma once
#include <gtest/gtest.h>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>
#include "emulator/float/FloatType.h"
#include "emulator/trap/TrapArgs.h"
#include "host/HostMemory.h"
#include "palm/Address.h"
#include "palm/Endian.h"

class TrapStackImage {
 public:
  static constexpr UInt32 kStackSize = 1024;

  TrapStackImage() : stack_(static_cast<std::uint8_t*>(MALLOC(kStackSize))) {
    EXPECT_NE(stack_, nullptr);
    regs.fill(0);
    regs[15] = toEmu(stack_) + kStackSize;
  }
  ~TrapStackImage() {
    for (void* p : blocks_) FREE(p);
    FREE(stack_);
  }
  TrapStackImage(const TrapStackImage&) = delete;
  TrapStackImage& operator=(const TrapStackImage&) = delete;

  // move.l / move.w / move.b onto -(A7); a byte takes a word slot, stored in
  // its first byte.
  void pushLong(UInt32 v) { set32(grow(4), v); }
  void pushWord(UInt16 v) { set16(grow(2), v); }
  void pushByte(UInt8 v) { *grow(2) = v; }
  void pushLongLong(std::uint64_t v) {
    pushLong(static_cast<UInt32>(v));
    pushLong(static_cast<UInt32>(v >> 32));
  }
  void pushDouble(double d) { pushLongLong(std::bit_cast<std::uint64_t>(d)); }
  void pushFloat(float f) { pushLong(std::bit_cast<UInt32>(f)); }
  // The 8-byte record copied onto the stack; the pad byte gets a marker.
  void pushFloatType(FloatType f) {
    std::uint8_t* p = grow(8);
    set32(p, f.mantissa);
    set16(p + 4, static_cast<UInt16>(f.exponent));
    p[6] = static_cast<std::uint8_t>(f.sign);
    p[7] = 0x5A;
  }

  // Caller-owned memory (result areas, text buffers), filled with a marker.
  EmuAddr allocate(UInt32 size, std::uint8_t fill = 0xAA) {
    void* p = MALLOC(size);
    EXPECT_NE(p, nullptr);
    std::memset(p, fill, size);
    blocks_.push_back(p);
    return toEmu(p);
  }
  EmuAddr allocateString(const char* text) {
    auto length = static_cast<UInt32>(std::strlen(text) + 1);
    EmuAddr a = allocate(length);
    std::memcpy(fromEmu(a), text, length);
    return a;
  }
  // A result area of 8 bytes pushed as the hidden first argument.
  EmuAddr pushResultArea() {
    EmuAddr area = allocate(8);
    pushLong(area);
    return area;
  }

  TrapArgs args() { return TrapArgs(regs); }
  UInt32 sp() const { return regs[15]; }

  std::array<UInt32, 16> regs;

 private:
  std::uint8_t* grow(UInt32 n) {
    regs[15] -= n;
    EXPECT_GE(regs[15], toEmu(stack_)) << "test stack too small";
    return static_cast<std::uint8_t*>(fromEmu(regs[15]));
  }

  std::uint8_t* stack_;
  std::vector<void*> blocks_;
};

inline std::uint64_t read64(EmuAddr a) {
  auto p = static_cast<const std::uint8_t*>(fromEmu(a));
  return (std::uint64_t(get32(p)) << 32) | get32(p + 4);
}
inline double readDouble(EmuAddr a) { return std::bit_cast<double>(read64(a)); }
