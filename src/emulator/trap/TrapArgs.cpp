#include "emulator/trap/TrapArgs.h"
#include <bit>
#include <cstring>
#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/Endian.h"

std::uint8_t* trapMemory(EmuAddr address, UInt32 length, const char* what) {
  EmuAddr a = Arena68K::inMirror(address) ? Arena68K::unmirror(address) : address;
  if (!Arena68K::inArena(a) || length > Arena68K::kEnd - a)
    FatalF("Illegal memory access: %s at 0x%08lX (%lu bytes) lies outside 68K memory", what,
           static_cast<unsigned long>(address), static_cast<unsigned long>(length));
  return fromEmuAs<std::uint8_t>(a);
}

const char* trapString(EmuAddr address, const char* what) {
  const std::uint8_t* p = trapMemory(address, 1, what);
  EmuAddr start = Arena68K::inMirror(address) ? Arena68K::unmirror(address) : address;
  if (!std::memchr(p, 0, Arena68K::kEnd - start))
    FatalF("Illegal memory access: %s at 0x%08lX has no end inside 68K memory", what,
           static_cast<unsigned long>(address));
  return reinterpret_cast<const char*>(p);
}

namespace {
std::uint64_t get64(const std::uint8_t* p) { return (std::uint64_t(get32(p)) << 32) | get32(p + 4); }

void set64(std::uint8_t* p, std::uint64_t v) {
  set32(p, static_cast<UInt32>(v >> 32));
  set32(p + 4, static_cast<UInt32>(v));
}
}  // namespace

std::uint8_t* TrapArgs::stackBytes(UInt32 offset, UInt32 length) const {
  return trapMemory(getAddrRegLong(7) + offset, length, "trap argument");
}

std::uint8_t* TrapArgs::resultArea(UInt32 length) const {
  return trapMemory(getStackAddr(0), length, "trap result area");
}

UInt32 TrapArgs::getStackLong(UInt32 offset) const { return get32(stackBytes(offset, 4)); }
UInt16 TrapArgs::getStackWord(UInt32 offset) const { return get16(stackBytes(offset, 2)); }
UInt8 TrapArgs::getStackByte(UInt32 offset) const { return *stackBytes(offset, 1); }
float TrapArgs::getStackFloat(UInt32 offset) const { return std::bit_cast<float>(getStackLong(offset)); }
double TrapArgs::getStackDouble(UInt32 offset) const { return std::bit_cast<double>(getStackLongLong(offset)); }
std::uint64_t TrapArgs::getStackLongLong(UInt32 offset) const { return get64(stackBytes(offset, 8)); }

FloatType TrapArgs::getStackFloatType(UInt32 offset) const {
  const std::uint8_t* p = stackBytes(offset, 7);
  return FloatType{get32(p), static_cast<Int16>(get16(p + 4)), static_cast<Int8>(p[6])};
}

void TrapArgs::returnFloat(float value) { setD0Long(std::bit_cast<UInt32>(value)); }

void TrapArgs::returnDouble(double value) { returnLongLong(std::bit_cast<std::uint64_t>(value)); }

void TrapArgs::returnLongLong(std::uint64_t value) {
  set64(resultArea(8), value);
  setA0Long(getStackAddr(0));
}

void TrapArgs::returnFloatType(FloatType value) {
  std::uint8_t* p = resultArea(7);
  set32(p, value.mantissa);
  set16(p + 4, static_cast<UInt16>(value.exponent));
  p[6] = static_cast<std::uint8_t>(value.sign);
  setA0Long(getStackAddr(0));
}

EmuAddr TrapArgs::refToNativeWord(UInt32 offset) {
  EmuAddr ref = getStackAddr(offset);
  if (ref == 0) return 0;
  std::uint8_t* p = trapMemory(ref, 2, "word argument");
  UInt16 value = get16(p);
  std::memcpy(p, &value, sizeof value);
  return ref;
}

void TrapArgs::refFromNativeWord(UInt32 offset) {
  EmuAddr ref = getStackAddr(offset);
  if (ref == 0) return;
  std::uint8_t* p = trapMemory(ref, 2, "word argument");
  UInt16 value;
  std::memcpy(&value, p, sizeof value);
  set16(p, value);
}
