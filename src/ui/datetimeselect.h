// The date and time selectors: so far only its start-up, which registers its globals.
#pragma once
#include "palm/PalmTypes.h"

Boolean DateTimeSelectInit();
