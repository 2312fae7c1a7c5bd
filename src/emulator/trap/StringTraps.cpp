// The String Manager traps. Every string an application passes must end
// inside 68K memory, and every destination must hold what is written into it.
#include <cstring>

#include "emulator/trap/TrapDispatcher.h"
#include "system/StringMgr.h"

namespace {
using trapadapter::placeResult;

// Pointer values this low are no strings (StrLen and StrCopy answer them as empty).
constexpr EmuAddr kLowestStringLength = 0xFFFF;
constexpr EmuAddr kHighestNoSource = 0xFE;
constexpr EmuAddr kLowestChrString = 0x100;

const Char* stringOrNull(TrapArgs& a, UInt32 offset, const SystemTrapRow& row) {
  EmuAddr p = a.getStackAddr(offset);
  return p ? trapString(p, row.name.data()) : nullptr;
}

// Writes text with its terminator to the destination argument; its address is the result.
void writeResult(TrapArgs& a, const SystemTrapRow& row, const Char* text) {
  EmuAddr dst = a.getStackAddr(0);
  size_t n = std::strlen(text) + 1;
  std::memmove(trapMemory(dst, static_cast<UInt32>(n), row.name.data()), text, n);
  placeResult(a, row, dst);
}

// A pointer into the string at 68K address base, as 68K code sees it.
EmuAddr within(EmuAddr base, const Char* host, const Char* found) {
  return found ? base + static_cast<EmuAddr>(found - host) : 0;
}

void serveStrCopy(TrapArgs& a, const SystemTrapRow& row) {
  EmuAddr src = a.getStackAddr(4);
  writeResult(a, row, src <= kHighestNoSource ? "" : trapString(src, row.name.data()));
}

void serveStrCat(TrapArgs& a, const SystemTrapRow& row) {
  EmuAddr dst = a.getStackAddr(0);
  const Char* head = trapString(dst, row.name.data());
  const Char* tail = stringOrNull(a, 4, row);
  size_t headLength = std::strlen(head), tailLength = tail ? std::strlen(tail) : 0;
  Char* d = reinterpret_cast<Char*>(trapMemory(dst, static_cast<UInt32>(headLength + tailLength + 1), row.name.data()));
  StrCat(d, tail);
  placeResult(a, row, dst);
}

void serveStrLen(TrapArgs& a, const SystemTrapRow& row) {
  EmuAddr s = a.getStackAddr(0);
  placeResult(a, row, s < kLowestStringLength ? 0 : StrLen(trapString(s, row.name.data())));
}

template <Int16 (*Compare)(const Char*, const Char*)>
void serveCompare(TrapArgs& a, const SystemTrapRow& row) {
  placeResult(a, row, static_cast<UInt16>(Compare(stringOrNull(a, 0, row), stringOrNull(a, 4, row))));
}

void serveStrIToA(TrapArgs& a, const SystemTrapRow& row) {
  Char text[12];
  writeResult(a, row, StrIToA(text, static_cast<Int32>(a.getStackLong(4))));
}

void serveStrIToH(TrapArgs& a, const SystemTrapRow& row) {
  Char text[9];
  writeResult(a, row, StrIToH(text, a.getStackLong(4)));
}

void serveStrChr(TrapArgs& a, const SystemTrapRow& row) {
  EmuAddr s = a.getStackAddr(0);
  if (s < kLowestChrString) return placeResult(a, row, 0);
  const Char* host = trapString(s, row.name.data());
  placeResult(a, row, within(s, host, StrChr(host, a.getStackWord(4))));
}

void serveStrStr(TrapArgs& a, const SystemTrapRow& row) {
  const Char* host = stringOrNull(a, 0, row);
  const Char* token = stringOrNull(a, 4, row);
  if (!host || !token) return placeResult(a, row, 0);
  placeResult(a, row, within(a.getStackAddr(0), host, StrStr(host, token)));
}

void serveStrAToI(TrapArgs& a, const SystemTrapRow& row) {
  placeResult(a, row, static_cast<UInt32>(StrAToI(stringOrNull(a, 0, row))));
}

void serveStrToLower(TrapArgs& a, const SystemTrapRow& row) {
  const Char* src = trapString(a.getStackAddr(4), row.name.data());
  size_t n = std::strlen(src) + 1;
  Char* dst = reinterpret_cast<Char*>(trapMemory(a.getStackAddr(0), static_cast<UInt32>(n), row.name.data()));
  StrToLower(dst, src);
  placeResult(a, row, a.getStackAddr(0));
}

constexpr TrapBinding kBindings[] = {
    bindHandler(0xA0C5, serveStrCopy),    bindHandler(0xA0C6, serveStrCat),
    bindHandler(0xA0C7, serveStrLen),     bindHandler(0xA0C8, serveCompare<StrCompare>),
    bindHandler(0xA0C9, serveStrIToA),    bindHandler(0xA0CA, serveCompare<StrCaselessCompare>),
    bindHandler(0xA0CB, serveStrIToH),    bindHandler(0xA0CC, serveStrChr),
    bindHandler(0xA0CD, serveStrStr),     bindHandler(0xA0CE, serveStrAToI),
    bindHandler(0xA0CF, serveStrToLower),
};
}  // namespace

std::span<const TrapBinding> StringTrapBindings() { return kBindings; }
