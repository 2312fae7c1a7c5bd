// The interpreter core on the flat 16 MB test memory, stopping after one
// instruction (status 1).
#pragma once
#include "emulator/core/FlatMemory.h"
#include "emulator/core/M68KState.h"

M68KAccelStatus RunFlatStep(M68KState* state, m68k::FlatMemory& memory);
