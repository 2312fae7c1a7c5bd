#include "ui/Find.h"

#include "host/Globals.h"

Boolean FindInit() { return RegisterEmptyGlobals(ModuleId::Find); }
