// The String and Text Managers: so far only its start-up, which registers its globals.
#pragma once
#include "palm/PalmTypes.h"

Boolean StrTxtInit();
