#include "system/StrTxt.h"

#include "host/Globals.h"

Boolean StrTxtInit() { return RegisterEmptyGlobals(ModuleId::StrTxt); }
