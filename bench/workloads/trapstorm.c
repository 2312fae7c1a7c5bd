/* Trap storm: a loop that leaves the core for a system call (TRAP #15 and
   its trap word) every few instructions. */
#include "support/program.h"

PROGRAM_ENTRY {
  uint32_t sum = 1;
  for (uint32_t i = 0; i < ITERATIONS; ++i) {
    sum = sum * 33u + i;
    __asm__ volatile("trap #15\n\t.word 0xA0BA" ::: "memory");
    sum ^= sum >> 7;
  }
  return sum;
}
