// Sets of addressing modes, as 64-bit masks over the 6-bit value
// mode x 8 + register of an operand field.
#pragma once
#include <cstdint>

namespace m68k::modes {
constexpr std::uint64_t rangeOf(unsigned first, unsigned count) {
  return ((count == 64 ? 0 : (std::uint64_t{1} << count)) - 1) << first;
}
constexpr std::uint64_t None = 0;
constexpr std::uint64_t DataRegister = rangeOf(0, 8);
constexpr std::uint64_t AddressRegister = rangeOf(8, 8);
constexpr std::uint64_t Indirect = rangeOf(16, 8);
constexpr std::uint64_t Postincrement = rangeOf(24, 8);
constexpr std::uint64_t Predecrement = rangeOf(32, 8);
constexpr std::uint64_t Displacement = rangeOf(40, 8);
constexpr std::uint64_t Indexed = rangeOf(48, 8);
constexpr std::uint64_t AbsoluteShort = rangeOf(56, 1);
constexpr std::uint64_t AbsoluteLong = rangeOf(57, 1);
constexpr std::uint64_t PcDisplacement = rangeOf(58, 1);
constexpr std::uint64_t PcIndexed = rangeOf(59, 1);
constexpr std::uint64_t Immediate = rangeOf(60, 1);

// (An) (An)+ -(An) d16(An) d8(An,Xn) abs.W abs.L: 42 fields.
constexpr std::uint64_t AltMem =
    Indirect | Postincrement | Predecrement | Displacement | Indexed | AbsoluteShort | AbsoluteLong;
// AltMem and d16(PC) d8(PC,Xn) #imm: 45 fields.
constexpr std::uint64_t AnyMem = AltMem | PcDisplacement | PcIndexed | Immediate;
// (An) d16(An) d8(An,Xn) abs.W abs.L d16(PC) d8(PC,Xn): 28 fields.
constexpr std::uint64_t Control =
    Indirect | Displacement | Indexed | AbsoluteShort | AbsoluteLong | PcDisplacement | PcIndexed;
// Control without the PC-relative modes: 26 fields.
constexpr std::uint64_t CtrlAlt = Indirect | Displacement | Indexed | AbsoluteShort | AbsoluteLong;
}  // namespace m68k::modes
