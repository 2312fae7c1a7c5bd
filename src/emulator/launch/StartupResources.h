// The globals (A5) world and the stack size of an application, built from its
// start-up resources: 'code' 0 (sizes), 'data' 0 (initial values and
// relocations) and 'pref' 0 (stack size).
#pragma once
#include "palm/PalmTypes.h"
#include "storage/DATAMGR.h"

constexpr Err sysErrInvalidStartupResources = 0x0502;
constexpr UInt32 kMinimumAppStackSize = 5120;

// Builds a new globals world for the application in resourceDatabase whose
// 'code' 1 is locked at codeStart. On success *a5Out is A5 and *globalsBlockOut
// the block (both 0 when the application has no 'code' 0; a missing 'data' 0
// leaves the globals zero). A resource that does not describe a world that
// fits its block fails with "Invalid global initialization." and 0x0502.
Err createGlobals(DmOpenRef resourceDatabase, const void* codeStart, UInt32* a5Out, void** globalsBlockOut);

// The stack a launch gives the application: what 'pref' 0 asks for, at least
// 5,120 bytes. A 'pref' 0 too short to hold the size is ignored.
UInt32 AppStackSize(DmOpenRef resourceDatabase);
