#include "ui/TimeZoneSelect.h"

#include "host/Globals.h"

Boolean TimeZoneSelectInit() { return RegisterEmptyGlobals(ModuleId::TimeZoneSelect); }
