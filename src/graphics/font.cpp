#include "graphics/font.h"

#include "host/Globals.h"

Boolean FontInit() { return RegisterEmptyGlobals(ModuleId::Font); }
