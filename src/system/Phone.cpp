#include "system/Phone.h"

#include "host/Globals.h"

Boolean PhoneInit() { return RegisterEmptyGlobals(ModuleId::Phone); }
