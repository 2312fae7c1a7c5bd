/* Integer mix: 32-bit multiply, divide and modulo, signed and unsigned, with
   adds, compares and branches. */
#include "support/program.h"

PROGRAM_ENTRY {
  uint32_t sum = 0x12345678u, x = 1;
  for (uint32_t round = 0; round < ITERATIONS; ++round) {
    for (uint32_t i = 1; i < 400; ++i) {
      x = x * 1103515245u + 12345u;
      uint32_t a = x >> 7, b = (x & 0xFFFF) + i;
      int32_t s = (int32_t)(x ^ (i << 20)) >> 3, t = (int32_t)(i * 37u) - 5000;
      OPAQUE(b);
      sum = mix(sum, a / b);
      sum = mix(sum, a % b);
      if (t != 0) {
        sum = mix(sum, (uint32_t)(s / t));
        sum = mix(sum, (uint32_t)(s % t));
      }
      sum = mix(sum, (uint32_t)((int32_t)(i * 3u) - 700) * (uint32_t)t);
      sum += (a > b) ? a - b : b - a;
      if ((int32_t)sum < 0) sum ^= 0x5A5A5A5Au;
      sum += (uint32_t)(uint16_t)a * (uint16_t)b;
      sum -= (uint32_t)((int16_t)a * (int16_t)b);
    }
  }
  return sum;
}
