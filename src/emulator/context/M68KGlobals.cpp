#include "emulator/context/M68KGlobals.h"
#include <new>
#include "emulator/context/Callbacks.h"
#include "emulator/context/M68K.h"
#include "host/FaultHandler.h"
#include "host/Globals.h"
#include "host/HostMemory.h"
#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "storage/StorageSeams.h"

M68KGlobals::M68KGlobals() {
  for (auto& b : lowMem) b = 0;
  for (int i = 0; i < TrapRange::kCount; ++i) {
    set16(pseudoTraps + 2 * i, kIllegalWord);
    set32(trapTable + 4 * i, toEmu(pseudoTraps + 2 * i));
  }
  for (int i = 0; i < kOverlayRoutineCount; ++i) set16(overlayWords + 2 * i, kIllegalWord);
  for (int i = 0; i < kIntlRoutineCount; ++i) set16(intlWords + 2 * i, kIllegalWord);
}

Boolean M68KInit() {
  void* block = MALLOC(sizeof(M68KGlobals));
  ValidateNewPtr("M68K", 190, block);
  setGlobals(ModuleId::M68K, new (block) M68KGlobals);
  // The Data Manager sorts with applications' 68K comparison routines.
  StorageSeams seams{};
  seams.callComparF = CallComparF;
  setStorageSeams(seams);
  setFaultDetailProc(DescribeFaultingContext);
  return true;
}

M68KGlobals* GetM68KGlobals() { return getGlobalsAs<M68KGlobals>(ModuleId::M68K); }

namespace {
EmuAddr start(const UInt8* area) { return toEmu(area); }

int selectorIn(const UInt8* area, int count, EmuAddr address) {
  EmuAddr first = start(area);
  if (address < first || address >= first + 2 * count || (address - first) % 2) return -1;
  return static_cast<int>((address - first) / 2);
}
}  // namespace

EmuAddr getPseudoTrapAddrFromTrapNo(UInt16 trap) {
  return start(GetM68KGlobals()->pseudoTraps) + 2 * (trap - TrapRange::kFirst);
}

bool isPseudoTrapAddr(EmuAddr address) {
  M68KGlobals* g = GetM68KGlobals();
  return address >= start(g->pseudoTraps) && address < start(g->overlayWords);
}

UInt16 getTrapNoFromPseudoTrapAddr(EmuAddr address) {
  return static_cast<UInt16>(TrapRange::kFirst + (address - start(GetM68KGlobals()->pseudoTraps)) / 2);
}

EmuAddr GetPseudoOverlayRoutineCode(UInt16 selector) { return start(GetM68KGlobals()->overlayWords) + 2 * selector; }
EmuAddr GetPseudoIntlRoutineCode(UInt16 selector) { return start(GetM68KGlobals()->intlWords) + 2 * selector; }

int overlaySelectorAt(EmuAddr address) {
  return selectorIn(GetM68KGlobals()->overlayWords, kOverlayRoutineCount, address);
}

int intlSelectorAt(EmuAddr address) { return selectorIn(GetM68KGlobals()->intlWords, kIntlRoutineCount, address); }
