#include "FlatCore.h"
#include "emulator/core/Interpreter.h"

M68KAccelStatus RunFlatStep(M68KState* state, m68k::FlatMemory& memory) { return m68k::runCore(state, memory); }
