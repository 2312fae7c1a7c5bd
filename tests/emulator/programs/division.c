/* Division and modulo over the whole 32-bit range: divisors at and above
   2^31, small ones that give long quotients, and the signed forms with every
   sign combination. */
#include "support/program.h"

static const uint32_t kValues[] = {1u,          2u,          3u,          7u,          0xFFFFu,     0x10000u,
                                   0x12345678u, 0x7FFFFFFEu, 0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xC0000000u,
                                   0xDEADBEEFu, 0xFFFFFFFEu, 0xFFFFFFFFu};
#define COUNT (sizeof kValues / sizeof kValues[0])

PROGRAM_ENTRY {
  uint32_t sum = 0x2468ACE0u;
  for (uint32_t round = 0; round < ITERATIONS; ++round) {
    for (uint32_t i = 0; i < COUNT; ++i) {
      for (uint32_t j = 0; j < COUNT; ++j) {
        uint32_t n = kValues[i], d = kValues[j];
        OPAQUE(d);
        sum = mix(sum, n / d);
        sum = mix(sum, n % d);
        int32_t s = (int32_t)n, t = (int32_t)d;
        /* The one signed quotient that overflows is left out. */
        if (!(s == (int32_t)0x80000000u && t == -1)) {
          sum = mix(sum, (uint32_t)(s / t));
          sum = mix(sum, (uint32_t)(s % t));
        }
      }
    }
  }
  return sum;
}
