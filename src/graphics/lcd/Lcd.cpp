#include "graphics/lcd/Lcd.h"

#include "host/Globals.h"

// The display is not built yet: there is no frame buffer, so no 68K store can
// land in one and nothing needs refreshing.
void LCDGetLCDBufferAddressRange(EmuAddr* start, EmuAddr* end) {
  *start = 0xFFFFFFFF;
  *end = 0;
}

void LCDNotifyDirectScreenWrite(EmuAddr, UInt32) {}

Boolean LcdInit() { return RegisterEmptyGlobals(ModuleId::Lcd); }
