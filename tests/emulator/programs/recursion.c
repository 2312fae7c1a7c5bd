/* Recursion: Fibonacci, Ackermann, Hanoi, quicksort, gcd. */
#include "support/program.h"

static uint32_t fib(uint32_t n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); }

static uint32_t ackermann(uint32_t m, uint32_t n) {
  if (m == 0) return n + 1;
  if (n == 0) return ackermann(m - 1, 1);
  return ackermann(m - 1, ackermann(m, n - 1));
}

static uint32_t hanoi(uint32_t n, uint32_t from, uint32_t to, uint32_t via) {
  if (n == 0) return 0;
  return hanoi(n - 1, from, via, to) + (from * 3 + to) + hanoi(n - 1, via, to, from);
}

static void quicksort(int32_t* v, int lo, int hi) {
  if (lo >= hi) return;
  int32_t pivot = v[(lo + hi) / 2];
  int i = lo, j = hi;
  while (i <= j) {
    while (v[i] < pivot) ++i;
    while (v[j] > pivot) --j;
    if (i <= j) {
      int32_t t = v[i];
      v[i++] = v[j];
      v[j--] = t;
    }
  }
  quicksort(v, lo, j);
  quicksort(v, i, hi);
}

static uint32_t gcd(uint32_t a, uint32_t b) { return b ? gcd(b, a % b) : a; }

static int32_t data[64];

PROGRAM_ENTRY {
  uint32_t sum = 11;
  for (uint32_t round = 0; round < ITERATIONS; ++round) {
    uint32_t n = 15 + (round & 3);
    OPAQUE(n);
    sum = mix(sum, fib(n));
    sum = mix(sum, ackermann(2, n));
    sum = mix(sum, hanoi(10, 1, 3, 2));
    uint32_t x = 12345 + round;
    for (int i = 0; i < 64; ++i) {
      x = x * 1664525u + 1013904223u;
      data[i] = (int32_t)(x >> 8) - (1 << 23);
    }
    quicksort(data, 0, 63);
    for (int i = 0; i < 64; ++i) sum = mix(sum, (uint32_t)data[i]);
    sum = mix(sum, gcd(1071u * (round + 1), 462u) + gcd(0xFFFFFFF0u, 0x12345678u));
  }
  return sum;
}
