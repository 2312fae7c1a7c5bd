// Four-character codes (types, creators, resource types) as 32-bit values,
// first character in the most significant byte.
#pragma once
#include <cstdint>

constexpr std::uint32_t fourCC(const char (&s)[5]) {
  return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16) |
         (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}

namespace FourCCs {
constexpr std::uint32_t code = fourCC("code");
constexpr std::uint32_t data = fourCC("data");
constexpr std::uint32_t pref = fourCC("pref");
constexpr std::uint32_t appl = fourCC("appl");
constexpr std::uint32_t libr = fourCC("libr");
constexpr std::uint32_t DAcc = fourCC("DAcc");
constexpr std::uint32_t psys = fourCC("psys");
constexpr std::uint32_t Qvrn = fourCC("Qvrn");
}  // namespace FourCCs
