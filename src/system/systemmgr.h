// System Manager utilities: sorting arrays with a caller's comparison,
// string resources, random numbers, and calls that only answer.
#pragma once
#include "palm/PalmTypes.h"

// A comparison of (first item, second item, other): negative when the first
// sorts before the second. Either a native routine or an application's 68K
// routine, called back through the callback bridge.
using SearchFuncPtr = Int16 (*)(const void* a, const void* b, Int32 other);
struct SearchComparison {
  SearchFuncPtr native = nullptr;
  EmuAddr routine68K = 0;
};

// Stable binary insertion sort in place; SysQSort sorts the same way.
void SysInsertionSortInternal(void* baseP, UInt16 numOfElements, Int16 width, const SearchComparison& compare,
                              Int32 other);
void SysQSortInternal(void* baseP, UInt16 numOfElements, Int16 width, const SearchComparison& compare, Int32 other);
void SysInsertionSort(void* baseP, UInt16 numOfElements, Int16 width, SearchFuncPtr comparF, Int32 other);
void SysQSort(void* baseP, UInt16 numOfElements, Int16 width, SearchFuncPtr comparF, Int32 other);

// 0-32767; a non-zero seed starts a new sequence.
Int16 SysRandom(Int32 newSeed);
// The text of 'tSTR' resource theID (null when there is none).
const Char* StringResourceText(Int16 theID);
// Copies that text, or an empty string.
void SysCopyStringResource(Char* string, Int16 theID);
// A new handle of stringCount big-endian pointers to the successive strings
// packed at c; 0 when none can be had.
MemHandle SysFormPointerArrayToStrings(Char* c, Int16 stringCount);
void SysUnimplemented();
