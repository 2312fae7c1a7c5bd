// System calls that the host answers: battery and power, the auto-off time.
#pragma once
#include "palm/PalmTypes.h"

constexpr UInt8 kSysBatteryKindLiIon = 2;

// What the host reports of its power supply.
struct HostBattery {
  float level;  // 0.0 to 1.0
  bool pluggedIn;
};
HostBattery hostBattery();

// Thresholds and ticks read 0, the kind Li-ion; the result is the voltage
// in hundredths of a volt (a full battery 13.80). set is ignored.
UInt16 SysBatteryInfoV20(Boolean set, UInt16* warnThresholdP, UInt16* criticalThresholdP, UInt16* maxTicksP,
                         UInt8* kindP, Boolean* pluggedIn);
// Keeps the new value and returns the previous one (0xFFFF at start).
UInt16 SysSetAutoOffTime(UInt16 seconds);
