// The low arena: every byte that 68K code can address. One reservation of
// 1 GiB at a fixed address below 2 GiB, with a byte heap growing from its
// bottom and a page heap (executable chunks, thread stacks) at its top.
// Pages not handed out stay inaccessible, so a wild access faults.
#pragma once
#include <cstddef>
#include <cstdint>

namespace Arena {
// Reserves the arena; a fatal, clear message when the range cannot be had.
// Safe to call more than once.
void reserve();
bool isReserved();

// Byte heap: zero-filled, 8-byte aligned blocks. Null when exhausted.
void* allocate(std::size_t bytes);
void release(void* p);
// Usable size of a block from allocate(); 0 for anything else.
std::size_t usableSize(const void* p);

// Page heap: page-aligned, readable and writable runs of whole pages.
void* allocatePages(std::size_t bytes);
void releasePages(void* p);
std::size_t pageRunSize(const void* p);

std::size_t pageSize();
// Bytes still free in the byte heap.
std::size_t freeBytes();
}  // namespace Arena
