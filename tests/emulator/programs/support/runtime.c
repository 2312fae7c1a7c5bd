/* What gcc expects beside freestanding 68000 code: 32-bit multiply and
   divide (a 68000 has only 16-bit forms; Debian's libgcc is 68020 code) and
   the block memory routines it calls for struct copies. */
#include <stddef.h>
#include <stdint.h>

uint32_t __mulsi3(uint32_t a, uint32_t b);
uint32_t __udivsi3(uint32_t n, uint32_t d);
uint32_t __umodsi3(uint32_t n, uint32_t d);
int32_t __divsi3(int32_t n, int32_t d);
int32_t __modsi3(int32_t n, int32_t d);
void* memcpy(void* dst, const void* src, size_t n);
void* memmove(void* dst, const void* src, size_t n);
void* memset(void* dst, int c, size_t n);
int memcmp(const void* a, const void* b, size_t n);

/* The 68000's own 16 x 16 -> 32 multiply; written out so that no
   optimisation level turns it back into a call of __mulsi3. */
static uint32_t mulu16(uint16_t a, uint16_t b) {
  uint32_t r = a;
  __asm__("mulu.w %1,%0" : "+d"(r) : "d"(b));
  return r;
}

uint32_t __mulsi3(uint32_t a, uint32_t b) {
  uint16_t al = (uint16_t)a, ah = (uint16_t)(a >> 16), bl = (uint16_t)b, bh = (uint16_t)(b >> 16);
  return mulu16(al, bl) + ((mulu16(ah, bl) + mulu16(al, bh)) << 16);
}

static uint32_t udivmod(uint32_t n, uint32_t d, uint32_t* remainder) {
  uint32_t q = 0, r = 0;
  for (int i = 31; i >= 0; --i) {
    uint32_t carry = r >> 31;
    r = (r << 1) | ((n >> i) & 1);
    if (carry || r >= d) {
      r -= d;
      q |= (uint32_t)1 << i;
    }
  }
  *remainder = r;
  return q;
}

uint32_t __udivsi3(uint32_t n, uint32_t d) {
  uint32_t r;
  return udivmod(n, d, &r);
}

uint32_t __umodsi3(uint32_t n, uint32_t d) {
  uint32_t r;
  udivmod(n, d, &r);
  return r;
}

static uint32_t magnitude(int32_t v) { return v < 0 ? 0u - (uint32_t)v : (uint32_t)v; }

int32_t __divsi3(int32_t n, int32_t d) {
  uint32_t r, q = udivmod(magnitude(n), magnitude(d), &r);
  return (int32_t)((n < 0) != (d < 0) ? 0u - q : q);
}

int32_t __modsi3(int32_t n, int32_t d) {
  uint32_t r;
  udivmod(magnitude(n), magnitude(d), &r);
  return (int32_t)(n < 0 ? 0u - r : r);
}

void* memcpy(void* dst, const void* src, size_t n) {
  uint8_t* d = dst;
  const uint8_t* s = src;
  while (n--) *d++ = *s++;
  return dst;
}

void* memmove(void* dst, const void* src, size_t n) {
  uint8_t* d = dst;
  const uint8_t* s = src;
  if (d < s) {
    while (n--) *d++ = *s++;
  } else {
    while (n--) d[n] = s[n];
  }
  return dst;
}

void* memset(void* dst, int c, size_t n) {
  uint8_t* d = dst;
  while (n--) *d++ = (uint8_t)c;
  return dst;
}

int memcmp(const void* a, const void* b, size_t n) {
  const uint8_t *x = a, *y = b;
  for (; n; --n, ++x, ++y)
    if (*x != *y) return *x - *y;
  return 0;
}
