// The application loop of the emulator thread: launches the start
// application, then whatever it switches to, until nothing is pending.
#pragma once
#include "palm/PalmTypes.h"

// Returns when the last application has quit, with the outcome of the start
// application's launch: 0 when it ran, dmErrCantFind when it does not exist,
// or the error that stopped its launch.
Err LaunchOneShot(UInt16 cardNo, const Char* name);
