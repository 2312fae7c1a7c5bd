/* Struct copies of odd and even sizes, arrays of structs, bit-fields. */
#include "support/program.h"

struct Small {
  uint8_t a;
  uint16_t b;
  uint8_t c;
};
struct Odd {
  char name[13];
};
struct Record {
  uint32_t id;
  struct Small small;
  struct Odd odd;
  int16_t values[7];
  unsigned flag : 1;
  unsigned kind : 3;
  unsigned count : 12;
};

static struct Record table[24];

static struct Record make(uint32_t i) {
  struct Record r;
  memset(&r, 0, sizeof r);
  r.id = i * 2654435761u;
  r.small.a = (uint8_t)i;
  r.small.b = (uint16_t)(i * 300u);
  r.small.c = (uint8_t)(255 - i);
  for (unsigned k = 0; k < sizeof r.odd.name; ++k) r.odd.name[k] = (char)('a' + (i + k) % 26);
  for (unsigned k = 0; k < 7; ++k) r.values[k] = (int16_t)((int32_t)(i * k) - 40);
  r.flag = i & 1;
  r.kind = i % 7;
  r.count = (i * 97) & 0xFFF;
  return r;
}

static uint32_t digest(const struct Record* r) {
  uint32_t sum = r->id;
  sum = mix(sum, r->small.a + ((uint32_t)r->small.b << 8) + ((uint32_t)r->small.c << 24));
  for (unsigned k = 0; k < sizeof r->odd.name; ++k) sum = mix(sum, (uint8_t)r->odd.name[k]);
  for (unsigned k = 0; k < 7; ++k) sum = mix(sum, (uint32_t)(int32_t)r->values[k]);
  return mix(sum, r->flag | (r->kind << 1) | (r->count << 4));
}

PROGRAM_ENTRY {
  uint32_t sum = 7;
  for (uint32_t round = 0; round < ITERATIONS; ++round) {
    for (uint32_t i = 0; i < 24; ++i) table[i] = make(i + round);
    for (uint32_t i = 0; i + 1 < 24; i += 2) {
      struct Record t = table[i];
      table[i] = table[i + 1];
      table[i + 1] = t;
      struct Odd o = table[i].odd;
      table[i + 1].odd = o;
      table[i].count += table[i + 1].kind;
    }
    for (uint32_t i = 0; i < 24; ++i) sum = mix(sum, digest(&table[i]));
    memmove(&table[1], &table[0], 5 * sizeof table[0]);
    sum = mix(sum, digest(&table[3]) + (memcmp(&table[1], &table[0], sizeof table[0]) != 0));
  }
  return sum;
}
