/* String routines: length, compare, copy, reverse, number conversion,
   sorting. */
#include "support/program.h"

static size_t length(const char* s) {
  const char* p = s;
  while (*p) ++p;
  return (size_t)(p - s);
}

static int compare(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return (unsigned char)*a - (unsigned char)*b;
}

static char* copy(char* d, const char* s) {
  char* r = d;
  while ((*d++ = *s++) != 0) {
  }
  return r;
}

static void reverse(char* s) {
  for (size_t i = 0, j = length(s); i + 1 < j; ++i, --j) {
    char t = s[i];
    s[i] = s[j - 1];
    s[j - 1] = t;
  }
}

static char* format(char* out, int32_t v) {
  char* p = out;
  uint32_t m = v < 0 ? 0u - (uint32_t)v : (uint32_t)v;
  do {
    *p++ = (char)('0' + m % 10);
    m /= 10;
  } while (m);
  if (v < 0) *p++ = '-';
  *p = 0;
  reverse(out);
  return out;
}

static int32_t parse(const char* s) {
  int negative = *s == '-';
  uint32_t v = 0;
  if (negative) ++s;
  while (*s >= '0' && *s <= '9') v = v * 10 + (uint32_t)(*s++ - '0');
  return negative ? (int32_t)(0u - v) : (int32_t)v;
}

static char words[12][16];

PROGRAM_ENTRY {
  static const char seeds[] = "pear apple fig kiwi banana cherry date lime mango plum grape melon";
  uint32_t sum = 3;
  for (uint32_t round = 0; round < ITERATIONS; ++round) {
    unsigned n = 0, k = 0;
    for (const char* s = seeds; *s; ++s) {
      if (*s == ' ') {
        words[n++][k] = 0;
        k = 0;
      } else {
        words[n][k++] = (char)(*s + (round & 1));
      }
    }
    words[n++][k] = 0;
    for (unsigned i = 1; i < n; ++i) {
      char key[16];
      copy(key, words[i]);
      unsigned j = i;
      for (; j > 0 && compare(words[j - 1], key) > 0; --j) copy(words[j], words[j - 1]);
      copy(words[j], key);
    }
    for (unsigned i = 0; i < n; ++i) {
      sum = mix(sum, (uint32_t)length(words[i]));
      for (const char* p = words[i]; *p; ++p) sum = mix(sum, (uint8_t)*p);
    }
    char number[16];
    for (int32_t v = -100000; v < 100000; v += 7919) {
      format(number, v + (int32_t)(round % 1000));
      sum = mix(sum, (uint32_t)parse(number) ^ (uint32_t)length(number));
    }
  }
  return sum;
}
