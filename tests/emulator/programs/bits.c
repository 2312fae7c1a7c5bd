/* Bit tricks and shifts of every count at every width. */
#include "support/program.h"

static uint32_t popcount(uint32_t v) {
  uint32_t n = 0;
  for (; v; v &= v - 1) ++n;
  return n;
}

static uint32_t reverse(uint32_t v) {
  v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
  v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
  v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
  v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
  return (v >> 16) | (v << 16);
}

static uint32_t leadingZeros(uint32_t v) {
  uint32_t n = 0;
  if (!v) return 32;
  while (!(v & 0x80000000u)) v <<= 1, ++n;
  return n;
}

PROGRAM_ENTRY {
  uint32_t sum = 1;
  const uint32_t seeds[] = {0x80000001u, 0x7FFFFFFFu, 0xDEADBEEFu, 0x00000001u, 0xFFFFFFFFu, 0x12345678u, 0};
  for (uint32_t round = 0; round < ITERATIONS; ++round) {
    for (unsigned k = 0; k < sizeof seeds / sizeof seeds[0]; ++k) {
      uint32_t v = seeds[k] ^ round;
      for (uint32_t n = 0; n < 32; ++n) {
        OPAQUE(n);
        int32_t sv = (int32_t)v;
        int16_t s16 = (int16_t)v;
        int8_t s8 = (int8_t)v;
        uint16_t u16 = (uint16_t)v;
        uint8_t u8 = (uint8_t)v;
        sum = mix(sum, v << n);
        sum = mix(sum, v >> n);
        sum = mix(sum, (uint32_t)(sv >> n));
        sum = mix(sum, (v << n) | (v >> ((32 - n) & 31)));
        sum = mix(sum, (uint32_t)(s16 >> (n & 15)));
        sum = mix(sum, (uint16_t)((uint32_t)u16 << (n & 15)));
        sum = mix(sum, (uint32_t)(u16 >> (n & 15)));
        sum = mix(sum, (uint32_t)(s8 >> (n & 7)));
        sum = mix(sum, (uint8_t)((uint32_t)u8 << (n & 7)));
        sum = mix(sum, (uint32_t)(u8 >> (n & 7)));
        sum = mix(sum, (v >> n) & 1 ? ~v : v);
        v = v * 69069u + 1u;
      }
      sum = mix(sum, popcount(v) + (reverse(v) ^ leadingZeros(v)));
      sum ^= (v & -v) | (v & (v - 1));
    }
  }
  return sum;
}
