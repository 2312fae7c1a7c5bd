// The register block of one 68K context and the entry points of the
// interpreter core. The core keeps nothing between calls but this block: a
// context stopped at any exit resumes exactly where it stopped.
#pragma once
#include "palm/PalmTypes.h"

// 68K addresses below this lie in the low-memory block at lowMemBase.
constexpr UInt32 kLowMemorySize = 0x33C;
// The block the owner allocates: padded so that a word or long operand that
// starts at 0x339-0x33B stays inside it.
constexpr UInt32 kLowMemoryBlockBytes = kLowMemorySize + 4;
// The return address that ends a run of the core.
constexpr UInt32 kM68KQuitAddress = 0xFFFFFF00;
// A 68K read of this address yields lcdStartBigEndian.
constexpr UInt32 kM68KLcdStartRegister = 0xFFFFFA00;

struct M68KState {
  // D0-D7 then A0-A7, native order; a 4-bit number (bit 3 = address register) indexes them.
  UInt32 reg[16];
  UInt32 pc;                 // valid while the core is stopped
  UInt32 lowMemBase;         // host address of the low-memory block (kLowMemoryBlockBytes)
  UInt32 lcdStart;           // first byte of the frame buffer
  UInt32 lcdEnd;             // last byte of the frame buffer (inclusive)
  UInt32 lcdWriteAddress;    // set at a status-4 exit
  UInt32 lcdWriteLength;     // set at a status-4 exit
  UInt16 sr;
  UInt32 stackTop;           // the owner's; never touched by the core
  UInt32 stackBaseRef;       // the owner's; never touched by the core
  UInt32 lcdStartBigEndian;  // lcdStart, most significant byte first

  UInt32& D(unsigned n) { return reg[n]; }
  UInt32& A(unsigned n) { return reg[8 + n]; }
};

using M68KAccelStatus = Int32;
constexpr M68KAccelStatus kM68KUnimplemented = 0;  // PC on a word without a handler
constexpr M68KAccelStatus kM68KSingleStepped = 1;  // reserved: production never returns it
constexpr M68KAccelStatus kM68KQuit = 2;           // RTS or JMP to kM68KQuitAddress
constexpr M68KAccelStatus kM68KDivideByZero = 3;   // PC past the division
constexpr M68KAccelStatus kM68KDirectLCDWrite = 4; // lcdWriteAddress/lcdWriteLength set
constexpr M68KAccelStatus kM68KFatalError = 255;

// Runs the context from its stored PC and SR until an exit.
M68KAccelStatus M68KAccelerate(M68KState* state);
// The core needs no set-up; kept for the callers that expect it.
void M68KAccelerateInit();
