// The interpreter core, once per memory policy. Threaded dispatch: every
// handler ends by fetching the next word and jumping through a table of
// 65,536 code addresses (GCC's labels as values), so an instruction costs no
// call and no central decode. The handlers themselves are the families of the
// Handlers*.h headers, inlined at their labels.
#pragma once
#include <array>
#include "emulator/core/Cpu.h"
#include "emulator/core/HandlersArithmetic.h"
#include "emulator/core/HandlersBits.h"
#include "emulator/core/HandlersFlow.h"
#include "emulator/core/HandlersMove.h"
#include "emulator/core/HandlersMultiply.h"
#include "emulator/core/HandlersShift.h"
#include "emulator/core/OpcodeForms.h"
#include "emulator/core/OpcodeTable.h"

namespace m68k {
// Code addresses per opcode word, from the opcode table and the handlers'
// labels (given in form-list order with their numbers), indexed by the
// instruction word itself: the word is the handlers' opcode as well, so one
// register serves both and the fetch costs a load and a byte swap.
struct DispatchTable {
  std::array<const void*, 65536> target;
  DispatchTable(const void* const* labels, const unsigned* numbers, unsigned count, const void* unserved) {
    std::array<const void*, kHandlerCount> byNumber{};
    for (unsigned i = 0; i < count; ++i) byNumber[numbers[i]] = labels[i];
    const OpcodeTable& table = opcodeTable();
    for (unsigned w = 0; w < 65536; ++w) {
      std::uint16_t h = table.handler[w];
      target[w] = h == kUnserved || !byNumber[h] ? unserved : byNumber[h];
    }
  }
};

// Global common-subexpression elimination hoists values across the computed
// jumps and costs every handler spills; without it the core runs about 10%
// faster (GCC documents the same for computed-goto code).
template <class Mem>
__attribute__((optimize("no-gcse"))) M68KAccelStatus runCore(M68KState* st, Mem& mem) {
#define QV_LABEL_ADDRESS(number, ...) &&H##number,
#define QV_LABEL_NUMBER(number, ...) handlerNumber(#number),
#define QV_SKIP(...)
  static const void* const labels[] = {M68K_OPCODE_FORMS(QV_LABEL_ADDRESS, QV_SKIP)};
  static constexpr unsigned numbers[] = {M68K_OPCODE_FORMS(QV_LABEL_NUMBER, QV_SKIP)};
  static const DispatchTable dispatch(labels, numbers, sizeof numbers / sizeof numbers[0], &&Unserved);
#undef QV_LABEL_ADDRESS
#undef QV_LABEL_NUMBER

  Cpu<Mem> c{st, mem, st->reg, st->pc};
  loadStatusRegister(c, st->sr);
  Next next;
  M68KAccelStatus status;

#define QV_FETCH_AND_JUMP()                                  \
  do {                                                       \
    if constexpr (Mem::kCounting) ++mem.instructions;        \
    c.op = fetch16(c);                                       \
    goto* dispatch.target[c.op];                             \
  } while (0)

  QV_FETCH_AND_JUMP();

#define QV_HANDLER(number, pattern, sourceModes, destinationModes, ...) \
  H##number : {                                                        \
    next = __VA_ARGS__::run(c);                                        \
    if (__builtin_expect(next != kNext, 0)) goto Exit;                 \
    if constexpr (Mem::kSingleStep) goto Stepped;                      \
    QV_FETCH_AND_JUMP();                                               \
  }
  M68K_OPCODE_FORMS(QV_HANDLER, QV_SKIP)
#undef QV_HANDLER
#undef QV_SKIP
#undef QV_FETCH_AND_JUMP

Unserved:
  next = kExitUnimplemented;
Exit:
  switch (next) {
    case kExitUnimplemented:
      c.pc -= 2;
      status = kM68KUnimplemented;
      break;
    case kExitQuit: status = kM68KQuit; break;
    case kExitDivideByZero: status = kM68KDivideByZero; break;
    case kExitFrameBuffer:
      st->lcdWriteLength = c.lcdLength;
      status = kM68KDirectLCDWrite;
      break;
    default: status = kM68KFatalError; break;
  }
  st->pc = c.pc;
  st->sr = static_cast<UInt16>(statusRegister(c));
  return status;
Stepped:
  __attribute__((unused));
  st->pc = c.pc;
  st->sr = static_cast<UInt16>(statusRegister(c));
  return kM68KSingleStepped;
}
}  // namespace m68k
