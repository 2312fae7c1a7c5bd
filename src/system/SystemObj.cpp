#include "system/SystemObj.h"

#include "host/Globals.h"

Boolean SystemObjInit() { return RegisterEmptyGlobals(ModuleId::SystemObj); }
