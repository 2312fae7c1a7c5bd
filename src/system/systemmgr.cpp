#include "system/systemmgr.h"

#include <cstring>
#include <random>
#include <vector>

#include "emulator/context/Callbacks.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "palm/FourCC.h"
#include "storage/DATAMGR.h"
#include "storage/memorymgr.h"

namespace {
Int16 compareItems(const SearchComparison& c, const void* a, const void* b, Int32 other) {
  return c.native ? c.native(a, b, other) : CallSearch(c.routine68K, a, b, other);
}

std::minstd_rand& generator() {
  static std::minstd_rand engine;
  return engine;
}
}  // namespace

void SysInsertionSortInternal(void* baseP, UInt16 count, Int16 width, const SearchComparison& compare, Int32 other) {
  if (count < 2 || width <= 0) return;
  auto* base = static_cast<UInt8*>(baseP);
  const size_t w = static_cast<size_t>(width);
  std::vector<UInt8> held(w);
  for (UInt16 i = 1; i < count; ++i) {
    UInt8* item = base + i * w;
    if (compareItems(compare, item - w, item, other) <= 0) continue;
    // Equal items go right, so that they keep their order.
    UInt16 low = 0, high = static_cast<UInt16>(i - 1);
    while (low < high) {
      UInt16 mid = static_cast<UInt16>((low + high) / 2);
      if (compareItems(compare, item, base + mid * w, other) < 0)
        high = mid;
      else
        low = static_cast<UInt16>(mid + 1);
    }
    std::memcpy(held.data(), item, w);
    std::memmove(base + (low + 1) * w, base + low * w, (i - low) * w);
    std::memcpy(base + low * w, held.data(), w);
  }
}

void SysQSortInternal(void* baseP, UInt16 count, Int16 width, const SearchComparison& compare, Int32 other) {
  SysInsertionSortInternal(baseP, count, width, compare, other);
}

void SysInsertionSort(void* baseP, UInt16 count, Int16 width, SearchFuncPtr comparF, Int32 other) {
  SysInsertionSortInternal(baseP, count, width, {comparF, 0}, other);
}

void SysQSort(void* baseP, UInt16 count, Int16 width, SearchFuncPtr comparF, Int32 other) {
  SysQSortInternal(baseP, count, width, {comparF, 0}, other);
}

Int16 SysRandom(Int32 newSeed) {
  if (newSeed != 0) {
    generator().seed(static_cast<std::minstd_rand::result_type>(newSeed));
    generator()();
  }
  return static_cast<Int16>(generator()() & 0x7FFF);
}

// The text must end inside its resource.
const Char* StringResourceText(Int16 theID) {
  MemHandle h = DmGetResource(fourCC("tSTR"), static_cast<UInt16>(theID));
  if (!h) return nullptr;
  const auto* text = static_cast<const Char*>(MemHandleDataPtr(h));
  UInt32 size = MemHandleSize(h);
  return text && std::memchr(text, 0, size) ? text : nullptr;
}

void SysCopyStringResource(Char* string, Int16 theID) {
  const Char* text = StringResourceText(theID);
  std::strcpy(string, text ? text : "");
}

MemHandle SysFormPointerArrayToStrings(Char* c, Int16 stringCount) {
  if (stringCount <= 0) return 0;
  MemHandle h = MemHandleNew(4u * static_cast<UInt32>(stringCount));
  if (!h) return 0;
  auto* pointers = static_cast<UInt8*>(MemHandleLock(h));
  for (Int16 i = 0; i < stringCount; ++i) {
    set32(pointers + 4 * i, toEmu(c));
    c += std::strlen(c) + 1;
  }
  MemHandleUnlock(h);
  return h;
}

void SysUnimplemented() {}
