/* Each program defines one entry that returns a checksum of its work. Built
   for the 68000, the entry comes first in the binary; built for the host, it
   takes the name that PROGRAM_MAIN gives it. */
#pragma once
#include <stddef.h>
#include <stdint.h>

#ifndef ITERATIONS
#define ITERATIONS 1
#endif

#ifdef __mc68000__
#define PROGRAM_ENTRY __attribute__((section(".text.entry"))) uint32_t PROGRAM_MAIN(void)
#else
#define PROGRAM_ENTRY uint32_t PROGRAM_MAIN(void)
#endif

uint32_t PROGRAM_MAIN(void);

/* Supplied by the Palm SDK (apps/sdk/src/Memory.c) on the 68000 and by the C
   library on the host. */
void* memcpy(void* dst, const void* src, size_t n);
void* memmove(void* dst, const void* src, size_t n);
void* memset(void* dst, int c, size_t n);
int memcmp(const void* a, const void* b, size_t n);

/* Keeps the compiler from folding the work away. */
#define OPAQUE(v) __asm__ volatile("" : "+r"(v))

static inline uint32_t mix(uint32_t sum, uint32_t v) { return (sum ^ v) * 16777619u + (sum >> 27); }
