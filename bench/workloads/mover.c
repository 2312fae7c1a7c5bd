/* Memory mover: block copies by bytes, words and longs, both directions,
   and a fill. */
#include "support/program.h"

static uint32_t source[1024], target[1024];

static void copyLongs(uint32_t* d, const uint32_t* s, unsigned n) {
  while (n--) *d++ = *s++;
}

static void copyWords(uint16_t* d, const uint16_t* s, unsigned n) {
  while (n--) *d++ = *s++;
}

static void copyBytesBackwards(uint8_t* d, const uint8_t* s, unsigned n) {
  while (n--) d[n] = s[n];
}

PROGRAM_ENTRY {
  uint32_t sum = 0;
  for (unsigned i = 0; i < 1024; ++i) source[i] = i * 2654435761u;
  for (uint32_t round = 0; round < ITERATIONS; ++round) {
    copyLongs(target, source, 1024);
    copyWords((uint16_t*)source + 1, (const uint16_t*)target, 2046);
    copyBytesBackwards((uint8_t*)target + 3, (const uint8_t*)source, 4000);
    memset(target + 512, (int)round, 256);
    sum = mix(sum, target[round & 1023] ^ source[(round * 7) & 1023]);
  }
  return sum;
}
