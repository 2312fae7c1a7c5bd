/* The benchmark's start routine: runs the workload and ends the program
   with TRAP #0, the checksum in D0. */
#include "support/program.h"

__attribute__((section(".text.start"), noreturn)) void start(void) {
  register uint32_t result __asm__("d0") = PROGRAM_MAIN();
  for (;;) __asm__ volatile("trap #0" : : "d"(result));
}
