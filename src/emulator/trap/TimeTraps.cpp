// The Time Manager traps: the clock and the conversions of seconds since
// 1904 to and from the broken-down date and time.
#include "emulator/trap/TrapDispatcher.h"
#include "system/Date.h"
#include "system/SystemTime.h"

namespace {
UInt8* dateTimeArg(TrapArgs& a, UInt32 offset, const SystemTrapRow& row) {
  return trapMemory(a.getStackAddr(offset), kDateTimeTypeSize, row.name.data());
}

void serveTimSecondsToDateTime(TrapArgs& a, const SystemTrapRow& row) {
  DateTimeType dt{};
  TimSecondsToDateTime(a.getStackLong(0), &dt);
  writeDateTime68K(dateTimeArg(a, 4, row), dt);
}

void serveTimDateTimeToSeconds(TrapArgs& a, const SystemTrapRow& row) {
  DateTimeType dt = readDateTime68K(dateTimeArg(a, 0, row));
  trapadapter::placeResult(a, row, TimDateTimeToSeconds(&dt));
}

void serveTimAdjust(TrapArgs& a, const SystemTrapRow& row) {
  UInt8* p = dateTimeArg(a, 0, row);
  DateTimeType dt = readDateTime68K(p);
  TimAdjust(&dt, static_cast<Int32>(a.getStackLong(4)));
  writeDateTime68K(p, dt);
}

constexpr TrapBinding kBindings[] = {
    bindTrap<&TimGetSeconds>(0xA0F5),
    bindTrap<&TimSetSeconds>(0xA0F6),
    bindTrap<&TimGetTicks>(0xA0F7),
    bindHandler(0xA0FC, serveTimSecondsToDateTime),
    bindHandler(0xA0FD, serveTimDateTimeToSeconds),
    bindHandler(0xA0FE, serveTimAdjust),
    bindTrap<&SysTicksPerSecond>(0xA2E9),
};
}  // namespace

std::span<const TrapBinding> TimeTrapBindings() { return kBindings; }
