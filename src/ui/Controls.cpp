#include "ui/Controls.h"

#include "host/Globals.h"

Boolean ControlsInit() { return RegisterEmptyGlobals(ModuleId::Controls); }
