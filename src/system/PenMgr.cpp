#include "system/PenMgr.h"

#include "host/Globals.h"

Boolean PenMgrInit() { return RegisterEmptyGlobals(ModuleId::PenMgr); }
