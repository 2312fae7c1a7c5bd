// The Float Manager as 68K code calls it: the old manager's traps
// 0xA0DF-0xA0EA, the New Float Manager dispatch trap 0xA305 and the float
// emulation dispatch trap 0xA306 (selectors in the low word of D2). Each
// handler reads its arguments and delivers its result through TrapArgs. The
// system trap dispatcher also sends the bare trap words 0x0305 and 0x0306
// to the two dispatch handlers.
#pragma once
#include <span>
#include "emulator/trap/TrapArgs.h"

using TrapHandler = void (*)(TrapArgs& args);

struct FloatTrap {
  UInt16 trap;
  const char* name;
  TrapHandler serve;
};

std::span<const FloatTrap> floatTraps();

// An unknown selector stops the program with the assertion message.
void FlpDispatch(TrapArgs& args);
void FlpEmDispatch(TrapArgs& args);
