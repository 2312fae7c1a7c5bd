// The emulated LCD frame buffer as the emulator sees it: its address range,
// and the report of bytes that 68K code wrote into it directly.
#pragma once
#include "palm/PalmTypes.h"

// Host addresses of the first and last byte of the frame buffer. While no
// frame buffer exists the range is empty (start above end).
void LCDGetLCDBufferAddressRange(EmuAddr* start, EmuAddr* end);
void LCDNotifyDirectScreenWrite(EmuAddr address, UInt32 length);

// Start-up of the LCD module: registers its globals.
Boolean LcdInit();
