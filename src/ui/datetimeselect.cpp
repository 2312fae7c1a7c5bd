#include "ui/datetimeselect.h"

#include "host/Globals.h"

Boolean DateTimeSelectInit() { return RegisterEmptyGlobals(ModuleId::DateTimeSelect); }
