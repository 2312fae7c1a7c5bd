// The trap calling convention between 68K code and the native managers.
// When a trap is served, A7 points at the first (leftmost) argument; the
// arguments follow in declaration order, big-endian: 8- and 16-bit values in
// 2-byte slots (a byte value is the first byte of its slot), 32-bit values,
// pointers and singles in 4 bytes, doubles, FloatTypes and 64-bit integers in
// 8. A call with an 8-byte result passes at offset 0 the address of the
// caller's result area (its other arguments start at 4); the result is
// written there and A0 is set to that address.
//
// Every access is checked: a stack slot, result area or pointer argument
// outside 68K memory stops the program with a clear message instead of
// touching host memory.
#pragma once
#include <cstdint>
#include <span>
#include "emulator/float/FloatType.h"
#include "palm/PalmTypes.h"

class TrapArgs {
 public:
  // The caller's register file: D0-D7 then A0-A7, host order.
  explicit TrapArgs(std::span<UInt32, 16> registers) : regs_(registers) {}

  UInt16 getDataRegWord(unsigned n) const { return static_cast<UInt16>(regs_[n & 7]); }
  UInt32 getDataRegLong(unsigned n) const { return regs_[n & 7]; }
  UInt32 getAddrRegLong(unsigned n) const { return regs_[8 + (n & 7)]; }
  void setAddrRegLong(unsigned n, UInt32 value) { regs_[8 + (n & 7)] = value; }

  UInt32 getStackLong(UInt32 offset) const;
  EmuAddr getStackAddr(UInt32 offset) const { return getStackLong(offset); }
  // Zero-extended; a caller that wants an Int16 casts it.
  UInt16 getStackWord(UInt32 offset) const;
  // The byte at that offset, i.e. the first byte of a 2-byte slot.
  UInt8 getStackByte(UInt32 offset) const;
  float getStackFloat(UInt32 offset) const;
  // High word first; also the FlpDouble of the New Float Manager.
  double getStackDouble(UInt32 offset) const;
  std::uint64_t getStackLongLong(UInt32 offset) const;
  FloatType getStackFloatType(UInt32 offset) const;

  void setD0Long(UInt32 value) { regs_[0] = value; }
  void setD0Word(UInt16 value) { regs_[0] = (regs_[0] & 0xFFFF0000u) | value; }
  void setD0Byte(UInt8 value) { regs_[0] = (regs_[0] & 0xFFFFFF00u) | value; }
  void setA0Long(UInt32 value) { regs_[8] = value; }

  // D0 = the single's bits.
  void returnFloat(float value);
  // These write through the result pointer at offset 0 and set A0 to it; D0
  // is left alone.
  void returnDouble(double value);
  void returnLongLong(std::uint64_t value);
  // Mantissa, exponent and sign at bytes 0, 4 and 6; byte 7 keeps its value.
  void returnFloatType(FloatType value);

  // For a pointer argument to a UInt16 that the native side works on in host
  // order: converts it in place before the call (and back after it). A null
  // pointer is passed on as 0 and nothing is converted.
  EmuAddr refToNativeWord(UInt32 offset);
  void refFromNativeWord(UInt32 offset);

 private:
  std::span<UInt32, 16> regs_;

  std::uint8_t* stackBytes(UInt32 offset, UInt32 length) const;
  std::uint8_t* resultArea(UInt32 length) const;
};

// The host bytes behind `length` bytes of 68K memory at `address`, which a
// trap reads or writes for the 68K program. Memory outside the arena (and
// its handle mirror) stops the program with a message naming `what`.
std::uint8_t* trapMemory(EmuAddr address, UInt32 length, const char* what);

// A zero-terminated string argument; it must end inside 68K memory.
const char* trapString(EmuAddr address, const char* what);
