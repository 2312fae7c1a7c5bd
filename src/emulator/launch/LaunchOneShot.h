// The application loop of the emulator thread: launches the start
// application, then whatever it switches to, until nothing is pending.
#pragma once
#include "palm/PalmTypes.h"

// Returns when the last application has quit; false when the start
// application could not be found (nothing ran).
Boolean LaunchOneShot(UInt16 cardNo, const Char* name);
