// An emulation context: one emulated 68K processor with its registers, its
// own user stack and the entry points through which native code runs 68K
// routines. Every thread that runs 68K code has one current context (see
// M68KList); contexts nest per thread. Contexts live in the arena: 68K code
// reads and writes the exception-list head field.
#pragma once
#include <cstddef>
#include "emulator/core/M68KState.h"
#include "palm/PalmTypes.h"

struct M68KGlobals;

// The native-call register image exchanged with ARM-native code.
struct EmulationStateType {
  UInt32 instr;
  UInt32 regD[8];
  UInt32 regA[8];
  UInt32 regPC;
};

// The interface other subsystems hold.
class M68Kcontext {
 public:
  virtual ~M68Kcontext() = default;
  virtual UInt8* getUserStackBase() = 0;
  virtual UInt32 getUserStackSize() = 0;
  virtual void call(EmuAddr address, UInt32 argumentBytes) = 0;
  virtual void setA5(UInt32 value) = 0;
  virtual UInt32 getD0Long() = 0;
  virtual void turnTrace(Boolean on) = 0;
  virtual void zeroUnusedStackBeforeFormHandlerCallback() = 0;

  // A new context with a stack of stackSize bytes, current on the calling thread; null when it cannot be made.
  static M68Kcontext* construct(UInt32 stackSize);
};

constexpr EmuAddr kM68KRegisterPseudoBase = 0xFFFFFFF0;
constexpr EmuAddr kHardwareRegistersFirst = 0xFFFFF000;
constexpr EmuAddr kHardwareRegistersLast = 0xFFFFFB12;

class M68K : public M68Kcontext {
 public:
  M68K();
  ~M68K() override;
  static void* operator new(std::size_t size);
  static void operator delete(void* p);

  static M68K* getCurrentM68K();

  // M68Kcontext
  UInt8* getUserStackBase() override { return userStackBase_; }
  UInt32 getUserStackSize() override { return userStackSize_; }
  void call(EmuAddr address, UInt32 argumentBytes) override;
  void setA5(UInt32 value) override { setAddrRegLong(5, value); }
  UInt32 getD0Long() override { return state_.D(0); }
  void turnTrace(Boolean on) override { trace_ = on; }
  void zeroUnusedStackBeforeFormHandlerCallback() override { zeroStack_ = true; }

  bool setStackSize(UInt32 size);
  M68KState& state() { return state_; }

  // Registers.
  UInt8 getDataRegByte(unsigned n) { return static_cast<UInt8>(state_.D(n)); }
  UInt16 getDataRegWord(unsigned n) { return static_cast<UInt16>(state_.D(n)); }
  UInt32 getDataRegLong(unsigned n) { return state_.D(n); }
  void setDataRegWord(unsigned n, UInt16 v) { state_.D(n) = (state_.D(n) & 0xFFFF0000u) | v; }
  void setDataRegLong(unsigned n, UInt32 v) { state_.D(n) = v; }
  void setD0Word(UInt16 v) { setDataRegWord(0, v); }
  UInt32 getAddrRegLong(unsigned n) { return state_.A(n); }
  UInt32 setAddrRegLong(unsigned n, UInt32 v) { return state_.A(n) = v; }
  UInt32 getPC() { return state_.pc; }
  void setPC(UInt32 pc) { state_.pc = pc; }

  // Stack.
  UInt32 predecrementAddrReg(unsigned n, UInt32 size);
  UInt32 postincrementAddrReg(unsigned n, UInt32 size);
  void pushLong(UInt32 v);
  void pushWord(UInt16 v);
  UInt32 popLong();
  UInt16 popWord();

  // 68K memory as native code reaches it through a context.
  void* translateAddrToNative(EmuAddr a);
  UInt32 getLong(EmuAddr a);
  UInt16 getWord(EmuAddr a);
  UInt16 getWordTranslated(EmuAddr a);
  UInt16 getPCWord(EmuAddr a);
  void setLong(EmuAddr a, UInt32 v);
  void setWord(EmuAddr a, UInt16 v);

  // Execution.
  void execute();
  void ReplaceableTRAP15(UInt16 trap);
  void TRAP15(UInt16 trap);
  void TRAP15SharedLibrary(UInt16 trap);
  [[noreturn]] void executeOneInstruction();
  const char* getInstMnemonic(UInt16) { return "Unknown inst menemonic"; }
  void ErrLongJump(EmuAddr jumpBuffer, Int16 result);

  UInt16 getCurrentOrLastTrapNo() { return currentTrap_; }
  bool zeroesStackBeforeFormHandler() const { return zeroStack_; }
  UInt16 opcode() { return opcode_; }
  // Address of the exception-list head: a big-endian 68K pointer field.
  EmuAddr exceptionListAddress();

  void CopyToEmulationState(EmulationStateType* image);
  void CopyFromEmulationState(const EmulationStateType* image);

 private:
  M68KGlobals* globals_;
  UInt8* userStackBase_ = nullptr;
  UInt32 userStackSize_ = 0;
  M68KState state_{};
  M68K* previous_ = nullptr;
  UInt8 exceptionListHead_[4] = {};
  Boolean trace_ = true;
  Boolean zeroStack_ = false;
  UInt16 currentTrap_ = 0;
  UInt16 opcode_ = 0;

  void serveIllegal(EmuAddr at);
  void callPseudoRoutine(UInt16 trap, UInt16 selector);
};

// The current or last trap of the calling thread's context, 0 without one.
UInt16 GetCurrentOrLastTrapNo();

// The fault report's detail: the trap being served (or the instruction word)
// and the registers of the calling thread's context.
void DescribeFaultingContext(char* buffer, std::size_t size);
