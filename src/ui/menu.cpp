#include "ui/menu.h"

#include "host/Globals.h"

Boolean MenuInit() { return RegisterEmptyGlobals(ModuleId::Menu); }
