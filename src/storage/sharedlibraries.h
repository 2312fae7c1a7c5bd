// The system library table: 68K shared libraries ('libr' databases) live in
// slots whose index is the reference number applications pass to library
// traps. The libraries the system implements natively have fixed reference
// numbers and no slot.
#pragma once
#include "palm/PalmTypes.h"

constexpr UInt16 kNoLibRefNum = 0xFFFF;
constexpr UInt16 kNetLibRefNum = 0xFFFE;
constexpr UInt16 kSerialLibRefNum = 0xFFFD;
constexpr UInt16 kIrOBEXLibRefNum = 0xFFFC;
constexpr UInt16 kExgLocalLibRefNum = 0xFFFB;
constexpr UInt16 kIrDALibRefNum = 0xFFF8;
constexpr UInt16 kBluetoothLibRefNum = 0xFFF7;
constexpr UInt16 kScanMgrLibRefNum = 0xFFF5;

// SysLibTblEntryType, 68K-visible and big-endian.
namespace SysLibTblEntry68K {
constexpr UInt32 dispatchTblP = 0;  // 0: free slot
constexpr UInt32 globalsP = 4;
constexpr UInt32 dbID = 8;
constexpr UInt32 codeRscH = 12;
constexpr UInt32 size = 16;
}  // namespace SysLibTblEntry68K

Boolean SharedLibrariesInit();
Err SysLibLoad(UInt32 libType, UInt32 libCreator, UInt16* refNumP);
Err SysLibInstall(EmuAddr installProc, UInt16* refNumP);
Err SysLibFind(const Char* nameP, UInt16* refNumP);
Err SysLibRemove(UInt16 refNum);
void* SysLibTblEntry(UInt16 refNum);
// 68K address of the library's routine for trap, 0 when refNum is no loaded library.
EmuAddr LibDispatch(UInt16 refNum, UInt16 trap);
UInt16 GetLoadedLibRef(LocalID dbID);
void UnloadAllSharedLibraries();
