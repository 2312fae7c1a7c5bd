#include "system/keymgr.h"

#include "host/Globals.h"

Boolean KeyMgrInit() { return RegisterEmptyGlobals(ModuleId::KeyMgr); }
