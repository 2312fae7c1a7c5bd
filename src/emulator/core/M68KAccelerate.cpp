#include "emulator/core/ArenaMemory.h"
#include "emulator/core/Interpreter.h"
#include "host/Reporting.h"

namespace m68k {
void invalidAddressingMode(UInt32) { FatalF("M68KAccel fatal error"); }
}  // namespace m68k

M68KAccelStatus M68KAccelerate(M68KState* state) {
  m68k::ArenaMemory memory;
  return m68k::runCore(state, memory);
}

void M68KAccelerateInit() {}
