// Host memory calls of the managers. Everything they hand out lies in the 68K
// arena, so 68K code can address it.
#pragma once
#include <cstddef>

// Zero-filled, even (8-byte aligned) block; null when the arena is exhausted.
void* MALLOC(unsigned long n);
void FREE(void* p);
std::size_t MALLOC_SIZE(const void* p);

// Executable chunks: whole pages, the usable size kept in the 4 bytes before
// the address handed out.
void* allocExecutableMemory(unsigned long size);
unsigned long getExecutableMemoryChunkSize(void* p);
void freeExecutableMemory(void* p);
void writeProtectExecutableMemory(bool protect, void* p);
