// Character facts of Palm Latin, the system's character encoding.
#pragma once
#include "palm/PalmTypes.h"

UInt8 PalmLatinSortValue(UInt8 c);
UInt8 PalmLatinCaselessValue(UInt8 c);
UInt8 PalmLatinToLower(UInt8 c);
