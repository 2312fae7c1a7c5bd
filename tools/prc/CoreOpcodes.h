// The one place where the PRC builder asks whether the interpreter core
// serves an opcode word.
#pragma once
#include "palm/PalmTypes.h"

bool CoreServesOpcode(UInt16 word);
