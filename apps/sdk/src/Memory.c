/* memcpy, memmove, memset and memcmp: gcc emits calls to them for structure
   copies and clears even in freestanding code. Built with and without -mshort,
   like Arithmetic.c. */
#include "PalmTypes.h"

void *memcpy(void *dst, const void *src, __SIZE_TYPE__ n) {
  UInt8 *d = (UInt8 *)dst;
  const UInt8 *s = (const UInt8 *)src;
  while (n--) *d++ = *s++;
  return dst;
}

void *memmove(void *dst, const void *src, __SIZE_TYPE__ n) {
  UInt8 *d = (UInt8 *)dst;
  const UInt8 *s = (const UInt8 *)src;
  if (d <= s || d >= s + n) return memcpy(dst, src, n);
  d += n;
  s += n;
  while (n--) *--d = *--s;
  return dst;
}

void *memset(void *dst, int value, __SIZE_TYPE__ n) {
  UInt8 *d = (UInt8 *)dst;
  while (n--) *d++ = (UInt8)value;
  return dst;
}

int memcmp(const void *a, const void *b, __SIZE_TYPE__ n) {
  const UInt8 *p = (const UInt8 *)a;
  const UInt8 *q = (const UInt8 *)b;
  for (; n; --n, ++p, ++q)
    if (*p != *q) return *p < *q ? -1 : 1;
  return 0;
}
