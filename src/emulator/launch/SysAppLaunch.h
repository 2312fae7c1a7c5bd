// Launching an application: its resource database is opened, its globals
// world built when asked, an emulation context of its own made, and its
// 'code' 1 entry run with a SysAppInfoType describing the launch.
#pragma once
#include "palm/PalmTypes.h"

// SysAppInfoType, 60 bytes, big-endian: applications read it.
namespace SysAppInfo68K {
constexpr UInt32 cmd = 0;
constexpr UInt32 cmdPBP = 2;
constexpr UInt32 launchFlags = 6;
constexpr UInt32 taskID = 8;
constexpr UInt32 codeH = 12;
constexpr UInt32 dbP = 16;
constexpr UInt32 stackP = 20;
constexpr UInt32 globalsChunkP = 24;
constexpr UInt32 memOwnerID = 28;
constexpr UInt32 dmAccessP = 30;
constexpr UInt32 dmLastErr = 34;
constexpr UInt32 errExceptionP = 36;
constexpr UInt32 a5Ptr = 40;
constexpr UInt32 stackEndP = 44;
constexpr UInt32 size = 60;
}  // namespace SysAppInfo68K

// The Palm call: the first launch of an application in the process (other
// than a sync notification) is preceded by its reset launch (code 5).
Err SysAppLaunch(UInt16 cardNo, LocalID dbID, UInt16 launchFlags, UInt16 cmd, EmuAddr cmdPBP, UInt32* resultP);
// The launch itself.
Err SysAppLaunchAfterReset(UInt16 cardNo, LocalID dbID, UInt16 launchFlags, UInt16 cmd, EmuAddr cmdPBP,
                           UInt32* resultP);
