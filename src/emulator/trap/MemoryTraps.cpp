// The Memory Manager traps.
#include "emulator/context/M68K.h"
#include "emulator/trap/TrapDispatcher.h"
#include "graphics/lcd/Lcd.h"
#include "host/FaultHandler.h"
#include "storage/DATAMGR.h"
#include "storage/memorymgr.h"

namespace {

UInt8 MemLocalIDKindByte(LocalID id) { return static_cast<UInt8>(MemLocalIDKind(id)); }

// A copy or fill that lands in the frame buffer must reach the screen.
void reportFrameBufferWrite(EmuAddr destination, UInt32 bytes) {
  M68KState& st = M68K::getCurrentM68K()->state();
  if (st.lcdStart <= destination && destination <= st.lcdEnd) LCDNotifyDirectScreenWrite(destination, bytes);
}

void serveMemMove(TrapArgs& a, const SystemTrapRow&) {
  EmuAddr dst = a.getStackAddr(0), src = a.getStackAddr(4);
  Int32 bytes = static_cast<Int32>(a.getStackLong(8));
  void* to = bytes > 0 ? trapMemory(dst, static_cast<UInt32>(bytes), "MemMove destination") : nullptr;
  const void* from = bytes > 0 ? trapMemory(src, static_cast<UInt32>(bytes), "MemMove source") : nullptr;
  a.setD0Word(MemMove(to, from, bytes));
  reportFrameBufferWrite(dst, static_cast<UInt32>(bytes));
}

void serveMemSet(TrapArgs& a, const SystemTrapRow&) {
  EmuAddr dst = a.getStackAddr(0);
  Int32 bytes = static_cast<Int32>(a.getStackLong(4));
  void* to = bytes > 0 ? trapMemory(dst, static_cast<UInt32>(bytes), "MemSet destination") : nullptr;
  a.setD0Word(MemSet(to, bytes, a.getStackByte(8)));
  reportFrameBufferWrite(dst, static_cast<UInt32>(bytes));
}

// Out-values reach the caller only when the call succeeded.
void serveMemCardInfo(TrapArgs& a, const SystemTrapRow& row) {
  UInt16 version = 0;
  UInt32 crDate = 0, romSize = 0, ramSize = 0, freeBytes = 0;
  auto out = [&](std::size_t i) { return a.getStackAddr(static_cast<UInt32>(TrapArgOffset(row, i))); };
  auto text = [&](std::size_t i) { return trapadapter::pointerFromEmu<Char*>(out(i), "MemCardInfo name"); };
  Err err = MemCardInfo(a.getStackWord(0), text(1), text(2), out(3) ? &version : nullptr, out(4) ? &crDate : nullptr,
                        out(5) ? &romSize : nullptr, out(6) ? &ramSize : nullptr, out(7) ? &freeBytes : nullptr);
  if (err == errNone) {
    if (out(3)) set16(trapMemory(out(3), 2, "MemCardInfo"), version);
    const std::pair<std::size_t, UInt32> longs[] = {{4, crDate}, {5, romSize}, {6, ramSize}, {7, freeBytes}};
    for (auto [i, v] : longs)
      if (out(i)) set32(trapMemory(out(i), 4, "MemCardInfo"), v);
  }
  a.setD0Word(err);
}

constexpr TrapBinding kBindings[] = {
    bindHandler(0xA004, serveMemCardInfo),
    bindTrap<&MemStoreInfo>(0xA005),
    bindTrap<&MemNumHeaps>(0xA007),
    bindTrap<&MemNumRAMHeaps>(0xA008),
    bindTrap<&MemHeapID>(0xA009),
    bindTrap<&MemHeapFreeBytes>(0xA00B),
    bindTrap<&MemHeapSize>(0xA00C),
    bindTrap<&MemHeapFlags>(0xA00D),
    bindTrap<&MemHeapCompact>(0xA00E),
    bindTrap<&MemHeapFreeByOwnerID>(0xA010),
    bindTrap<&MemChunkNew>(0xA011),
    bindTrap<&MemChunkFreeForApplication>(0xA012),
    bindTrap<&MemPtrNew_External>(0xA013),
    bindTrap<&MemPtrRecoverHandle>(0xA014),
    bindTrap<&MemPtrSize>(0xA016),
    bindTrap<&MemPtrHeapID>(0xA018),
    bindTrap<&MemPtrCardNo>(0xA019),
    bindTrap<&MemPtrToLocalID>(0xA01A),
    bindTrap<&MemPtrSetOwner>(0xA01B),
    bindTrap<&MemPtrResize>(0xA01C),
    bindTrap<&MemHandleNew_External>(0xA01E),
    bindTrap<&MemHandleLockCount>(0xA01F),
    bindTrap<&MemHandleToLocalID>(0xA020),
    bindTrap<&MemHandleLock>(0xA021),
    bindTrap<&MemHandleUnlock>(0xA022),
    bindTrap<&MemLocalIDToGlobal>(0xA023),
    bindTrap<&MemLocalIDKindByte>(0xA024),
    bindTrap<&MemLocalIDToPtr>(0xA025),
    bindHandler(0xA026, serveMemMove),
    bindHandler(0xA027, serveMemSet),
    bindTrap<&MemHandleFreeForApplication>(0xA02B),
    bindTrap<&MemHandleSize>(0xA02D),
    bindTrap<&MemHandleHeapID>(0xA02F),
    bindTrap<&MemHandleDataStorage>(0xA030),
    bindTrap<&MemHandleCardNo>(0xA031),
    bindTrap<&MemHandleSetOwner>(0xA032),
    bindTrap<&MemHandleResize>(0xA033),
    bindTrap<&MemHandleResetLock>(0xA034),
    bindTrap<&MemPtrUnlock>(0xA035),
    bindTrap<&MemLocalIDToLockedPtr>(0xA036),
    bindTrap<&MemHeapScramble>(0xA038),
    bindTrap<&MemHeapCheck>(0xA039),
    bindTrap<&MemNumCards>(0xA03A),
    bindTrap<&MemDebugMode>(0xA03B),
    bindTrap<&MemSemaphoreReserve>(0xA03C),
    bindTrap<&MemSemaphoreRelease>(0xA03D),
    bindTrap<&MemHeapDynamic>(0xA03E),
};

}  // namespace

std::span<const TrapBinding> MemoryTrapBindings() { return kBindings; }
