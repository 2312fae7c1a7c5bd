// Every trap that 68K code raises arrives here: system traps go to the trap
// dispatcher, library traps to the built-in libraries or to a 68K shared
// library's own routine.
#include "emulator/context/M68K.h"
#include "emulator/trap/TrapDispatcher.h"
#include "host/Reporting.h"
#include "storage/sharedlibraries.h"

namespace {
constexpr UInt16 kNativeCallTrap = 0xA45A;
constexpr UInt16 kFirstLibraryTrap = 0xA800;
}  // namespace

void M68K::TRAP15(UInt16 trap) {
  currentTrap_ = trap;
  if (trap == kNativeCallTrap)
    // ARM-native code has no processor to run on yet.
    FatalF("Unsupported system trap (Ox%hX) called", trap);
  else if (trap < kFirstLibraryTrap)
    TrapDispatcher::Dispatch(trap, std::span<UInt32, 16>(state_.reg));
  else
    TRAP15SharedLibrary(trap);
  currentTrap_ = 0;
}

void M68K::TRAP15SharedLibrary(UInt16 trap) {
  UInt16 refNum = getWord(state_.A(7));
  switch (refNum) {
    case kBluetoothLibRefNum: FatalF("Unsupported call to Bluetooth library. Trap 0x%04hx", trap);
    case kIrDALibRefNum: FatalF("Unsupported call to irda library. Trap 0x%04hx", trap);
    case kExgLocalLibRefNum:
    case kIrOBEXLibRefNum: FatalF("Direct call to local or beam library not supported.");
    case kSerialLibRefNum: FatalF("Unsupported call to Serial Library. Trap 0x%04hx", trap);
    case kNetLibRefNum: FatalF("Unsupported call to Net.lib. Trap 0x%04hx", trap);
    default: break;
  }
  // No installed library (LibDispatch gives 0): the call does nothing rather than jump to address 0.
  if (EmuAddr routine = LibDispatch(refNum, trap)) call(routine, 0);
}
