#include "graphics/uicolor.h"

#include "host/Globals.h"

Boolean UIColorInit() { return RegisterEmptyGlobals(ModuleId::UIColor); }
