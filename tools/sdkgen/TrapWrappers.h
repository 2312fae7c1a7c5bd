// Writes the SDK's trap-wrapper header from the table of system traps: one
// static inline C function per trap (and per selector of the manager
// dispatcher traps) that lays the arguments out in Palm widths, pushes them
// last-first, executes TRAP #15 with the trap word and pops them again.
#pragma once
#include <string>
#include "palm/SystemTraps.h"

std::string TrapWrapperFunction(const SystemTrapRow& row);
std::string TrapWrapperHeader();

// A Palm application whose PilotMain calls every wrapper once, so that the
// build assembles each of them and the PRC builder checks the result.
std::string TrapWrapperCallsProgram();

// True for the rows that get a wrapper.
bool HasTrapWrapper(const SystemTrapRow& row);
