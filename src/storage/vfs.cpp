#include "storage/vfs.h"

#include "host/Globals.h"

Boolean VfsInit() { return RegisterEmptyGlobals(ModuleId::Vfs); }
