#include "ui/GraffitiShift.h"

#include "host/Globals.h"

Boolean GraffitiShiftInit() { return RegisterEmptyGlobals(ModuleId::GraffitiShift); }
