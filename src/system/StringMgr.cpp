#include "system/StringMgr.h"

#include <cstdio>
#include <cstring>

#include "system/PalmLatin.h"

namespace {
// Both texts over their full lengths, character by character; the shorter
// of two texts that agree sorts first.
Int16 compareWith(const Char* s1, const Char* s2, UInt8 (*weight)(UInt8)) {
  if (!s1) return s2 ? 1 : 0;
  if (!s2) return -1;
  const auto* a = reinterpret_cast<const UInt8*>(s1);
  const auto* b = reinterpret_cast<const UInt8*>(s2);
  for (;; ++a, ++b) {
    if (*a == 0 || *b == 0) return *a ? 1 : (*b ? -1 : 0);
    UInt8 wa = weight(*a), wb = weight(*b);
    if (wa != wb) return wa < wb ? -1 : 1;
  }
}
}  // namespace

Char* StrCopy(Char* dst, const Char* src) {
  if (!src) {
    *dst = 0;
    return dst;
  }
  std::memmove(dst, src, std::strlen(src) + 1);
  return dst;
}

Char* StrCat(Char* dst, const Char* src) {
  if (src) std::memmove(dst + std::strlen(dst), src, std::strlen(src) + 1);
  return dst;
}

UInt16 StrLen(const Char* src) { return src ? static_cast<UInt16>(std::strlen(src)) : 0; }

Int16 StrCompare(const Char* s1, const Char* s2) { return compareWith(s1, s2, PalmLatinSortValue); }

Int16 StrCaselessCompare(const Char* s1, const Char* s2) { return compareWith(s1, s2, PalmLatinCaselessValue); }

Char* StrIToA(Char* s, Int32 i) {
  std::snprintf(s, 12, "%li", static_cast<long>(i));
  return s;
}

Char* StrIToH(Char* s, UInt32 i) {
  std::snprintf(s, 9, "%08lX", static_cast<unsigned long>(i));
  return s;
}

Char* StrChr(const Char* str, WChar chr) {
  if (chr >= 0xFF80) chr &= 0xFF;
  if (chr > 0xFF) return nullptr;
  for (;; ++str) {
    if (static_cast<UInt8>(*str) == chr) return const_cast<Char*>(str);
    if (*str == 0) return nullptr;
  }
}

Char* StrStr(const Char* str, const Char* token) {
  if (!*token) return nullptr;
  return const_cast<Char*>(std::strstr(str, token));
}

Int32 StrAToI(const Char* str) {
  if (!str) return 0;
  bool negative = *str == '-';
  if (*str == '-' || *str == '+') ++str;
  UInt32 value = 0;
  for (; *str >= '0' && *str <= '9'; ++str) value = value * 10 + static_cast<UInt32>(*str - '0');
  return static_cast<Int32>(negative ? 0u - value : value);
}

Char* StrToLower(Char* dst, const Char* src) {
  size_t i = 0;
  for (; src[i]; ++i) dst[i] = static_cast<Char>(PalmLatinToLower(static_cast<UInt8>(src[i])));
  dst[i] = 0;
  return dst;
}
