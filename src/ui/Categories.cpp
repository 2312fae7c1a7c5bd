#include "ui/Categories.h"

#include "host/Globals.h"

Boolean CategoriesInit() { return RegisterEmptyGlobals(ModuleId::Categories); }
