#include "prc/CoreOpcodes.h"
#include "prc/InstructionScan.h"

// Until the interpreter core's opcode table is linked in, the 68000
// instruction set itself stands for it.
bool CoreServesOpcode(UInt16 word) { return Is68000OpcodeWord(word); }
