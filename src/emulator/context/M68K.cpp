#include "emulator/context/M68K.h"
#include <cstdio>
#include <cstring>
#include "emulator/core/RegisterDump.h"
#include "emulator/context/M68KGlobals.h"
#include "graphics/lcd/Lcd.h"
#include "host/HostMemory.h"
#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/Endian.h"

void* M68K::operator new(std::size_t size) {
  void* p = MALLOC(size);
  ValidateNewPtr(__FILE__, __LINE__, p);
  return p;
}

void M68K::operator delete(void* p) { FREE(p); }

namespace {
// The calling thread's current context, for the fault report: the handler
// may not take the list's lock.
thread_local M68K* currentOnThisThread = nullptr;
}  // namespace

void DescribeFaultingContext(char* buffer, std::size_t size) {
  M68K* m = currentOnThisThread;
  if (!m) {
    std::snprintf(buffer, size, " (no 68K code was running on this thread)");
    return;
  }
  char registers[300];
  FormatM68KRegisters(m->state(), registers, sizeof registers);
  if (UInt16 trap = m->getCurrentOrLastTrapNo())
    std::snprintf(buffer, size, " Last trap = %x\n%s", trap, registers);
  else
    std::snprintf(buffer, size, " inst: %x\n%s", m->opcode(), registers);
}

M68K::M68K() : globals_(GetM68KGlobals()) {
  previous_ = globals_->list.push(this);
  currentOnThisThread = this;
  state_.lowMemBase = toEmu(globals_->getLowMemAddr());
  LCDGetLCDBufferAddressRange(&state_.lcdStart, &state_.lcdEnd);
  set32(&state_.lcdStartBigEndian, state_.lcdStart);
}

M68K::~M68K() {
  FREE(userStackBase_);
  userStackBase_ = nullptr;
  globals_->list.pop(previous_);
  currentOnThisThread = previous_;
}

M68Kcontext* M68Kcontext::construct(UInt32 stackSize) {
  auto* m = new M68K;
  if (!m->setStackSize(stackSize)) {
    delete m;
    return nullptr;
  }
  return m;
}

bool M68K::setStackSize(UInt32 size) {
  auto* base = static_cast<UInt8*>(MALLOC(size));
  if (!base) return false;
  userStackBase_ = base;
  userStackSize_ = size;
  state_.stackTop = toEmu(base) + size;
  state_.stackBaseRef = toEmu(&userStackBase_);
  state_.A(7) = state_.stackTop;
  return true;
}

M68K* M68K::getCurrentM68K() { return GetM68KGlobals()->list.getCurrent(); }

UInt16 GetCurrentOrLastTrapNo() {
  M68KGlobals* g = GetM68KGlobals();
  M68K* m = g ? g->list.findCurrent() : nullptr;
  return m ? m->getCurrentOrLastTrapNo() : 0;
}

EmuAddr M68K::exceptionListAddress() { return toEmu(exceptionListHead_); }

// A byte-sized step of A7 moves it by 2: the 68K stack stays word aligned.
UInt32 M68K::predecrementAddrReg(unsigned n, UInt32 size) {
  if (n == 7 && size == 1) size = 2;
  return state_.A(n) -= size;
}

UInt32 M68K::postincrementAddrReg(unsigned n, UInt32 size) {
  if (n == 7 && size == 1) size = 2;
  UInt32 old = state_.A(n);
  state_.A(n) += size;
  return old;
}

void M68K::pushLong(UInt32 v) { setLong(predecrementAddrReg(7, 4), v); }
void M68K::pushWord(UInt16 v) { setWord(predecrementAddrReg(7, 2), v); }
UInt32 M68K::popLong() { return getLong(postincrementAddrReg(7, 4)); }
UInt16 M68K::popWord() { return getWord(postincrementAddrReg(7, 2)); }

void* M68K::translateAddrToNative(EmuAddr a) {
  if (a != 0 && a < kLowMemorySize) return globals_->getLowMemAddr() + a;
  return fromEmu(a);
}

UInt32 M68K::getLong(EmuAddr a) {
  if (a == kM68KLcdStartRegister) return state_.lcdStart;
  if (a >= kM68KRegisterPseudoBase) return state_.reg[a - kM68KRegisterPseudoBase];
  if (a == 0) return 0;
  return get32(fromEmu(a));
}

UInt16 M68K::getWord(EmuAddr a) {
  if (a >= kM68KRegisterPseudoBase) return static_cast<UInt16>(state_.reg[a - kM68KRegisterPseudoBase]);
  if (a == 0) return 0;
  return get16(fromEmu(a));
}

UInt16 M68K::getWordTranslated(EmuAddr a) { return get16(translateAddrToNative(a)); }
UInt16 M68K::getPCWord(EmuAddr a) { return get16(translateAddrToNative(a)); }

void M68K::setLong(EmuAddr a, UInt32 v) {
  if (a >= kM68KRegisterPseudoBase) {
    state_.reg[a - kM68KRegisterPseudoBase] = v;
    return;
  }
  set32(fromEmu(a), v);
  if (state_.lcdStart <= a && a <= state_.lcdEnd) LCDNotifyDirectScreenWrite(a, 4);
}

void M68K::setWord(EmuAddr a, UInt16 v) {
  if (a >= kM68KRegisterPseudoBase) {
    UInt32& r = state_.reg[a - kM68KRegisterPseudoBase];
    r = (r & 0xFFFF0000u) | v;
    return;
  }
  if (a >= kHardwareRegistersFirst && a <= kHardwareRegistersLast) return;
  set16(fromEmu(a), v);
  if (state_.lcdStart <= a && a <= state_.lcdEnd) LCDNotifyDirectScreenWrite(a, 2);
}

void M68K::ErrLongJump(EmuAddr jumpBuffer, Int16 result) {
  static constexpr int kOrder[12] = {3, 4, 5, 6, 7, -1, 8 + 2, 8 + 3, 8 + 4, 8 + 5, 8 + 6, 8 + 7};
  for (int i = 0; i < 12; ++i) {
    UInt32 value = getLong(jumpBuffer + 4 * i);
    if (kOrder[i] < 0)
      state_.pc = value;
    else
      state_.reg[kOrder[i]] = value;
  }
  setD0Word(static_cast<UInt16>(result));
}

void M68K::CopyToEmulationState(EmulationStateType* image) {
  image->instr = opcode_;
  for (int i = 0; i < 8; ++i) {
    image->regD[i] = state_.D(i);
    image->regA[i] = state_.A(i);
  }
  image->regPC = state_.pc;
}

void M68K::CopyFromEmulationState(const EmulationStateType* image) {
  opcode_ = static_cast<UInt16>(image->instr);
  for (int i = 0; i < 8; ++i) {
    state_.D(i) = image->regD[i];
    state_.A(i) = image->regA[i];
  }
  state_.pc = image->regPC;
}
