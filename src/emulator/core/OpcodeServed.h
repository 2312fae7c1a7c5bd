// Whether the interpreter core executes an opcode word itself. Every other
// word comes back to the caller with status 0 (system traps, ILLEGAL, and the
// forms the core leaves out); tools that vet application code ask here.
#pragma once
#include "palm/PalmTypes.h"

bool M68KOpcodeServed(UInt16 word);
