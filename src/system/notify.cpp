#include "system/notify.h"

#include "host/Globals.h"

Boolean NotifyInit() { return RegisterEmptyGlobals(ModuleId::Notify); }
