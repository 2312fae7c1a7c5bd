#include "sound/sound.h"

#include "host/Globals.h"

Boolean SoundInit() { return RegisterEmptyGlobals(ModuleId::Sound); }
