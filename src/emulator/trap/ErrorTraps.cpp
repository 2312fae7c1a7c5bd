// Error handling, debugging and trap-table traps: the ones that work on the
// calling context itself.
#include "emulator/context/M68K.h"
#include "emulator/context/M68KGlobals.h"
#include "emulator/trap/TrapDispatcher.h"
#include "host/Reporting.h"
#include "palm/ErrorCodes.h"

namespace {

constexpr Err sysErrParamErr = sysErrorClass | 2;
constexpr UInt16 kSysUnimplementedTrap = 0xA08A;
// ErrExceptionType: next pointer, 12-long jump buffer, error.
constexpr UInt32 kExceptionJumpBuffer = 4;
constexpr UInt32 kExceptionError = 52;

void serveNothing(TrapArgs&, const SystemTrapRow&) {}

void serveErrDisplayFileLineMsg(TrapArgs& a, const SystemTrapRow&) {
  ErrDisplayFileLineMsg(trapString(a.getStackAddr(0), "ErrDisplayFileLineMsg file"), a.getStackWord(4),
                        trapString(a.getStackAddr(6), "ErrDisplayFileLineMsg message"));
}

// The Palm ErrJumpBuf: D3-D7, PC, A2-A7 as big-endian longs.
void serveErrSetJump(TrapArgs& a, const SystemTrapRow&) {
  M68K& m = *M68K::getCurrentM68K();
  std::uint8_t* buffer = trapMemory(a.getStackAddr(0), 48, "ErrSetJump buffer");
  const UInt32 values[12] = {m.getDataRegLong(3), m.getDataRegLong(4), m.getDataRegLong(5), m.getDataRegLong(6),
                             m.getDataRegLong(7), m.getPC(),           m.getAddrRegLong(2), m.getAddrRegLong(3),
                             m.getAddrRegLong(4), m.getAddrRegLong(5), m.getAddrRegLong(6), m.getAddrRegLong(7)};
  for (int i = 0; i < 12; ++i) set32(buffer + 4 * i, values[i]);
  a.setD0Word(0);
}

void serveErrLongJump(TrapArgs& a, const SystemTrapRow&) {
  EmuAddr buffer = a.getStackAddr(0);
  trapMemory(buffer, 48, "ErrLongJump buffer");
  M68K::getCurrentM68K()->ErrLongJump(buffer, static_cast<Int16>(a.getStackWord(4)));
}

// With no try block to catch it, a throw cannot go anywhere: it ends the program.
void serveErrThrow(TrapArgs& a, const SystemTrapRow&) {
  M68K& m = *M68K::getCurrentM68K();
  UInt32 error = a.getStackLong(0);
  EmuAddr record = get32(fromEmu(m.exceptionListAddress()));
  if (record == 0) FatalF("ErrThrow: error 0x%08X thrown outside any ErrTry block", error);
  set32(trapMemory(record + kExceptionError, 4, "ErrThrow exception record"), error);
  trapMemory(record + kExceptionJumpBuffer, 48, "ErrThrow exception record");
  m.ErrLongJump(record + kExceptionJumpBuffer, 1);
}

void serveErrExceptionList(TrapArgs& a, const SystemTrapRow&) {
  a.setA0Long(M68K::getCurrentM68K()->exceptionListAddress());
}

void serveSysSetA5(TrapArgs& a, const SystemTrapRow&) {
  a.setD0Long(a.getAddrRegLong(5));
  a.setAddrRegLong(5, a.getStackLong(0));
}

// The trap table is never changed by a trap.
void serveSysSetTrapAddress(TrapArgs& a, const SystemTrapRow&) { a.setD0Word(sysErrParamErr); }

void serveSysGetTrapAddress(TrapArgs& a, const SystemTrapRow&) {
  UInt16 trap = a.getStackWord(0);
  a.setA0Long(getPseudoTrapAddrFromTrapNo(isReplaceableTrap(trap) ? trap : kSysUnimplementedTrap));
}

constexpr TrapBinding kBindings[] = {
    bindHandler(0xA081, serveNothing),
    bindHandler(0xA084, serveErrDisplayFileLineMsg),
    bindHandler(0xA085, serveErrSetJump),
    bindHandler(0xA086, serveErrLongJump),
    bindHandler(0xA087, serveErrThrow),
    bindHandler(0xA088, serveErrExceptionList),
    bindHandler(0xA091, serveSysSetA5),
    bindHandler(0xA092, serveSysSetTrapAddress),
    bindHandler(0xA093, serveSysGetTrapAddress),
    bindHandler(0xA0B2, serveNothing),
};

}  // namespace

std::span<const TrapBinding> SystemTrapBindings() { return kBindings; }
