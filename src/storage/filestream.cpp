#include "storage/filestream.h"

#include "host/Globals.h"

Boolean FileStreamInit() { return RegisterEmptyGlobals(ModuleId::FileStream); }
