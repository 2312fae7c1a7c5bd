// The clock as Palm applications see it: local time in seconds since
// 1 January 1904, ticks of 1/100 second, and task delays.
#pragma once
#include <cstdint>

#include "palm/PalmTypes.h"

constexpr UInt16 kTicksPerSecond = 100;

UInt32 TimGetSeconds();
// The host clock is never set.
void TimSetSeconds(UInt32 seconds);
UInt32 TimGetTicks();
UInt16 SysTicksPerSecond();
// Sleeps for delay ticks: 0 and negative delays yield briefly. Returns 0.
Err SysTaskDelay(Int32 delay);
// How long SysTaskDelay(delay) sleeps, in microseconds.
std::uint64_t TaskDelayMicroseconds(Int32 delay);

// Makes TimGetSeconds the time source of the storage managers (creation and
// modification dates).
Boolean SystemTimeInit();
