// System Manager traps answered so far: sorting with an application's
// comparison, string resources, random numbers, task delays, battery and
// auto-off; and the Serial Link traps that have no implementation.
#include <cstring>

#include "emulator/trap/TrapDispatcher.h"
#include "host/Reporting.h"
#include "system/HostAnswers.h"
#include "system/SystemTime.h"
#include "system/systemmgr.h"

namespace {
void serveSysQSort(TrapArgs& a, const SystemTrapRow& row) {
  EmuAddr base = a.getStackAddr(0);
  UInt16 count = a.getStackWord(4);
  auto width = static_cast<Int16>(a.getStackWord(6));
  EmuAddr routine = a.getStackAddr(8);
  if (count < 2 || width <= 0) return;
  if (!routine) {
    WarningF("SysQSort: no comparison routine");
    return;
  }
  void* items = trapMemory(base, static_cast<UInt32>(count) * static_cast<UInt32>(width), row.name.data());
  SysQSortInternal(items, count, width, {nullptr, routine}, static_cast<Int32>(a.getStackLong(12)));
}

void serveSysCopyStringResource(TrapArgs& a, const SystemTrapRow& row) {
  const Char* text = StringResourceText(static_cast<Int16>(a.getStackWord(4)));
  if (!text) text = "";
  size_t n = std::strlen(text) + 1;
  std::memcpy(trapMemory(a.getStackAddr(0), static_cast<UInt32>(n), row.name.data()), text, n);
}

// Each of the strings must end inside 68K memory.
void serveSysFormPointerArrayToStrings(TrapArgs& a, const SystemTrapRow& row) {
  EmuAddr strings = a.getStackAddr(0);
  auto count = static_cast<Int16>(a.getStackWord(4));
  EmuAddr s = strings;
  for (Int16 i = 0; i < count; ++i) s += static_cast<EmuAddr>(std::strlen(trapString(s, row.name.data())) + 1);
  Char* first = count > 0 ? reinterpret_cast<Char*>(trapMemory(strings, s - strings, row.name.data())) : nullptr;
  trapadapter::placeResult(a, row, SysFormPointerArrayToStrings(first, count));
}

[[noreturn]] void serveSerialLinkUnimplemented(TrapArgs&, const SystemTrapRow& row) {
  FatalF("Unimplemented Serial Link trap 0x%hx", row.trap);
}

constexpr TrapBinding kBindings[] = {
    bindTrap<&SysUnimplemented>(0xA08A),
    bindTrap<&SysTaskDelay>(0xA0A0),
    bindHandler(0xA0AB, serveSysQSort),
    bindTrap<&SysBatteryInfoV20>(0xA0B6),
    bindHandler(0xA0BC, serveSysCopyStringResource),
    bindTrap<&SysSetAutoOffTime>(0xA0C0),
    bindHandler(0xA0C1, serveSysFormPointerArrayToStrings),
    bindTrap<&SysRandom>(0xA0C2),
    bindHandler(0xA0D5, serveSerialLinkUnimplemented),
    bindHandler(0xA0DB, serveSerialLinkUnimplemented),
    bindHandler(0xA0DC, serveSerialLinkUnimplemented),
};
}  // namespace

std::span<const TrapBinding> SystemMgrTrapBindings() { return kBindings; }
