#include "graphics/window.h"

#include "host/Globals.h"

Boolean WindowInit() { return RegisterEmptyGlobals(ModuleId::Window); }
