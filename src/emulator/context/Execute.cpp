// The execution loop: runs 68K code on a context and acts on every exit of
// the interpreter core.
#include "emulator/context/M68K.h"
#include "emulator/context/M68KGlobals.h"
#include "graphics/lcd/Lcd.h"
#include "host/Reporting.h"
#include "palm/Endian.h"

namespace {
constexpr UInt16 kTrap15Word = 0x4E4F;
constexpr UInt16 kOverlayDispatchTrap = 0xA3AF;
constexpr UInt16 kIntlDispatchTrap = 0xA2AB;

M68KAccelStatus accelerateWithExceptionHandling(M68KState* state) { return M68KAccelerate(state); }
}  // namespace

void M68K::call(EmuAddr address, UInt32 argumentBytes) {
  UInt32 savedPC = state_.pc;
  state_.pc = address;
  execute();
  state_.A(7) += argumentBytes;
  state_.pc = savedPC;
}

void M68K::execute() {
  pushLong(kM68KQuitAddress);
  do {
    switch (accelerateWithExceptionHandling(&state_)) {
      case kM68KUnimplemented: {
        EmuAddr at = state_.pc;
        opcode_ = getPCWord(at);
        state_.pc += 2;
        if (opcode_ == kIllegalWord) {
          serveIllegal(at);
        } else if (opcode_ == kTrap15Word) {
          UInt16 trap = getWordTranslated(state_.pc);
          state_.pc += 2;
          ReplaceableTRAP15(trap);
        } else {
          executeOneInstruction();
        }
        break;
      }
      case kM68KSingleStepped:
      case kM68KQuit:
        break;
      case kM68KDivideByZero:
        FatalF("Divide by zero");
      case kM68KDirectLCDWrite:
        LCDNotifyDirectScreenWrite(state_.lcdWriteAddress, state_.lcdWriteLength);
        break;
      case kM68KFatalError:
        FatalF("M68KAccel fatal error");
      default:
        FatalF("Fatal: M68KAccel returned unknown value");
    }
  } while (state_.pc != kM68KQuitAddress);
}

// ILLEGAL at a pseudo address: the jump that reached it pushed a return address.
void M68K::serveIllegal(EmuAddr at) {
  if (isPseudoTrapAddr(at)) {
    state_.pc = popLong();
    TRAP15(getTrapNoFromPseudoTrapAddr(at));
  } else if (int selector = overlaySelectorAt(at); selector >= 0) {
    callPseudoRoutine(kOverlayDispatchTrap, static_cast<UInt16>(selector));
  } else if (int intl = intlSelectorAt(at); intl >= 0) {
    callPseudoRoutine(kIntlDispatchTrap, static_cast<UInt16>(intl));
  } else {
    FatalF("ILLEGAL instruction encountered");
  }
}

void M68K::callPseudoRoutine(UInt16 trap, UInt16 selector) {
  state_.pc = popLong();
  UInt16 keptD2 = getDataRegWord(2);
  setDataRegWord(2, selector);
  TRAP15(trap);
  setDataRegWord(2, keptD2);
}

void M68K::executeOneInstruction() { FatalF("Illegal instruction encountered (accelerated): %hx", opcode_); }

void M68K::ReplaceableTRAP15(UInt16 trap) {
  if (isReplaceableTrap(trap)) {
    EmuAddr entry = get32(globals_->trapTable + 4 * (trap - TrapRange::kFirst));
    if (!isPseudoTrapAddr(entry)) {
      // The application patched the trap: its routine returns after the trap word.
      pushLong(state_.pc);
      state_.pc = entry;
      return;
    }
  }
  TRAP15(trap);
}
