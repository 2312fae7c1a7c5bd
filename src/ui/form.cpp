#include "ui/form.h"

#include "host/Globals.h"

Boolean FormInit() { return RegisterEmptyGlobals(ModuleId::Form); }
