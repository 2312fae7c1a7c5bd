// The emulator module's globals: the system trap table, the pseudo trap
// words through which 68K code can call a trap by jumping to an address, the
// Overlay and International pseudo routine words, the 68K low-memory block and
// the per-thread context list. The block lives in the arena: 68K code reads
// the trap table and jumps to the pseudo words.
#pragma once
#include "emulator/context/M68KList.h"
#include "emulator/core/M68KState.h"
#include "palm/PalmTypes.h"

namespace TrapRange {
constexpr UInt16 kFirst = 0xA000;
constexpr UInt16 kLast = 0xA476;
constexpr int kCount = kLast - kFirst + 1;  // 1,143
}  // namespace TrapRange

constexpr int kOverlayRoutineCount = 10;
constexpr int kIntlRoutineCount = 33;
constexpr UInt16 kIllegalWord = 0x4AFC;

struct M68KGlobals {
  UInt8 trapTable[TrapRange::kCount * 4];  // big-endian 68K addresses
  UInt8 pseudoTraps[TrapRange::kCount * 2];
  UInt8 overlayWords[kOverlayRoutineCount * 2];
  UInt8 intlWords[kIntlRoutineCount * 2];
  UInt8 lowMem[kLowMemoryBlockBytes];
  M68KList list;

  M68KGlobals();
  UInt8* getLowMemAddr() { return lowMem; }
};

// Creates the block and registers it; false when it could not be made.
Boolean M68KInit();
M68KGlobals* GetM68KGlobals();

// Pseudo addresses: what 68K code is given as the address of a trap or of an
// Overlay or International routine.
EmuAddr getPseudoTrapAddrFromTrapNo(UInt16 trap);
bool isPseudoTrapAddr(EmuAddr address);
UInt16 getTrapNoFromPseudoTrapAddr(EmuAddr address);
EmuAddr GetPseudoOverlayRoutineCode(UInt16 selector);
EmuAddr GetPseudoIntlRoutineCode(UInt16 selector);
// The selector of an Overlay or International pseudo word, or -1.
int overlaySelectorAt(EmuAddr address);
int intlSelectorAt(EmuAddr address);
inline bool isReplaceableTrap(UInt16 trap) { return trap >= TrapRange::kFirst && trap <= TrapRange::kLast; }
