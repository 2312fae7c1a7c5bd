#include "system/EventMgr.h"

#include "host/Globals.h"

Boolean EventMgrInit() { return RegisterEmptyGlobals(ModuleId::EventMgr); }
