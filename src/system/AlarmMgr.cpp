#include "system/AlarmMgr.h"

#include "host/Globals.h"

Boolean AlarmMgrInit() { return RegisterEmptyGlobals(ModuleId::AlarmMgr); }
