// Accessors for multi-byte fields of 68K-visible memory. 68K structures are
// big-endian; the few host-order structures use the explicit LE forms.
#pragma once
#include <cstdint>
#include <cstring>

inline std::uint16_t get16(const void* p) {
  auto b = static_cast<const std::uint8_t*>(p);
  return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

inline std::uint32_t get32(const void* p) {
  auto b = static_cast<const std::uint8_t*>(p);
  return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
}

inline void set16(void* p, std::uint16_t v) {
  auto b = static_cast<std::uint8_t*>(p);
  b[0] = static_cast<std::uint8_t>(v >> 8);
  b[1] = static_cast<std::uint8_t>(v);
}

inline void set32(void* p, std::uint32_t v) {
  auto b = static_cast<std::uint8_t*>(p);
  b[0] = static_cast<std::uint8_t>(v >> 24);
  b[1] = static_cast<std::uint8_t>(v >> 16);
  b[2] = static_cast<std::uint8_t>(v >> 8);
  b[3] = static_cast<std::uint8_t>(v);
}

inline std::uint16_t getLE16(const void* p) {
  auto b = static_cast<const std::uint8_t*>(p);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

inline std::uint32_t getLE32(const void* p) {
  auto b = static_cast<const std::uint8_t*>(p);
  return b[0] | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
}

inline void setLE16(void* p, std::uint16_t v) {
  auto b = static_cast<std::uint8_t*>(p);
  b[0] = static_cast<std::uint8_t>(v);
  b[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void setLE32(void* p, std::uint32_t v) {
  auto b = static_cast<std::uint8_t*>(p);
  b[0] = static_cast<std::uint8_t>(v);
  b[1] = static_cast<std::uint8_t>(v >> 8);
  b[2] = static_cast<std::uint8_t>(v >> 16);
  b[3] = static_cast<std::uint8_t>(v >> 24);
}
