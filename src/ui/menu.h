// The Menu Manager: so far only its start-up, which registers its globals.
#pragma once
#include "palm/PalmTypes.h"

Boolean MenuInit();
