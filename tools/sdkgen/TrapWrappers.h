// Writes the SDK's trap-wrapper header from the table of system traps: one
// static inline C function per trap (and per selector of the manager
// dispatcher traps) that lays the arguments out in Palm widths, pushes them
// last-first, executes TRAP #15 with the trap word and pops them again.
#pragma once
#include <string>
#include "palm/SystemTraps.h"

std::string TrapWrapperFunction(const SystemTrapRow& row);
std::string TrapWrapperHeader();
