#include "prc/CoreOpcodes.h"
#include "emulator/core/OpcodeServed.h"

bool CoreServesOpcode(UInt16 word) { return M68KOpcodeServed(word); }
