// The Palm OS String Manager calls on zero-terminated Palm Latin strings.
// Comparisons follow the Palm Latin sort order (lower case before upper case,
// accented letters after their base letter) and return -1, 0 or 1.
#pragma once
#include "palm/PalmTypes.h"

Char* StrCopy(Char* dst, const Char* src);
Char* StrCat(Char* dst, const Char* src);
UInt16 StrLen(const Char* src);
Int16 StrCompare(const Char* s1, const Char* s2);
Int16 StrCaselessCompare(const Char* s1, const Char* s2);
// Decimal, with a leading '-' when negative.
Char* StrIToA(Char* s, Int32 i);
// Eight upper-case hexadecimal digits.
Char* StrIToH(Char* s, UInt32 i);
// A character from 0xFF80 up is a byte sign-extended to 16 bits; 0 finds the terminator.
Char* StrChr(const Char* str, WChar chr);
// Null for an empty token.
Char* StrStr(const Char* str, const Char* token);
// An optional sign, then decimal digits; no blanks are skipped.
Int32 StrAToI(const Char* str);
Char* StrToLower(Char* dst, const Char* src);
