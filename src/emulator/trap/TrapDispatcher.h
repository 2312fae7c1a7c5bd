// The system trap dispatcher: one table of handlers for the traps
// 0xA004-0xA476, filled from the managers' binding lists, each binding checked
// against its row in the system trap table when the table is built.
#pragma once
#include <span>
#include "emulator/trap/TrapAdapter.h"

class M68K;

namespace TrapDispatcher {
constexpr UInt16 kFirstTableTrap = 0xA004;
constexpr UInt16 kLastTableTrap = 0xA476;
constexpr UInt16 kPrivateTrap = 0x1000;
constexpr UInt16 kFloatDispatchTrap = 0x0305;
constexpr UInt16 kFloatEmulationTrap = 0x0306;

// Builds the table from every manager's bindings (once); a binding whose
// function does not fit its row stops the program naming the trap.
void Init();
// Serves system trap `trap` for 68K code whose registers are `regs`.
void Dispatch(UInt16 trap, std::span<UInt32, 16> regs);
// True when a handler is bound to the trap.
bool IsServed(UInt16 trap);
}  // namespace TrapDispatcher

// The bindings of each manager, in one list per file.
std::span<const TrapBinding> MemoryTrapBindings();
std::span<const TrapBinding> DataTrapBindings();
std::span<const TrapBinding> SystemTrapBindings();
std::span<const TrapBinding> StringTrapBindings();
std::span<const TrapBinding> TimeTrapBindings();
std::span<const TrapBinding> SystemMgrTrapBindings();
std::span<const TrapBinding> FeatureTrapBindings();
std::span<const TrapBinding> LaunchTrapBindings();
