// The Feature Manager traps and the Overlay Manager's selectors.
#include <cstring>

#include "emulator/context/M68KGlobals.h"
#include "emulator/trap/TrapDispatcher.h"
#include "storage/Feature.h"
#include "storage/overlay.h"

namespace {
using trapadapter::placeResult;
constexpr UInt16 kOverlayTrap = 0xA3AF;
constexpr UInt16 kOmGetIndexedLocale = 5;

// The new block's address goes to the pointer at offset 10 when the call
// succeeds; what the variable held before is never read.
template <Err (*Call)(UInt32, UInt16, UInt32, void**)>
void serveFeatureMemory(TrapArgs& a, const SystemTrapRow& row) {
  EmuAddr out = a.getStackAddr(10);
  UInt8* where = out ? trapMemory(out, 4, row.name.data()) : nullptr;
  void* p = nullptr;
  Err err = Call(a.getStackLong(0), a.getStackWord(4), a.getStackLong(6), &p);
  if (where && p) set32(where, toEmu(p));
  placeResult(a, row, err);
}

UInt8* localeArg(TrapArgs& a, UInt32 offset, const SystemTrapRow& row) {
  return trapMemory(a.getStackAddr(offset), 4, row.name.data());
}

void serveOmLocaleToOverlayDBName(TrapArgs& a, const SystemTrapRow& row) {
  LmLocaleType locale = readLocale68K(localeArg(a, 4, row));
  Char name[dmDBNameLength] = {};
  Err err = OmLocaleToOverlayDBName(trapString(a.getStackAddr(0), row.name.data()), &locale, name);
  if (!err) {
    size_t n = std::strlen(name) + 1;
    std::memcpy(trapMemory(a.getStackAddr(8), static_cast<UInt32>(n), row.name.data()), name, n);
  }
  placeResult(a, row, err);
}

void serveOmOverlayDBNameToLocale(TrapArgs& a, const SystemTrapRow& row) {
  UInt8* out = localeArg(a, 4, row);
  LmLocaleType locale = readLocale68K(out);
  Err err = OmOverlayDBNameToLocale(trapString(a.getStackAddr(0), row.name.data()), &locale);
  writeLocale68K(out, locale);
  placeResult(a, row, err);
}

template <Err (*Get)(LmLocaleType*)>
void serveGetLocale(TrapArgs& a, const SystemTrapRow& row) {
  LmLocaleType locale{};
  Get(&locale);
  writeLocale68K(localeArg(a, 0, row), locale);
}

void serveOmGetIndexedLocale(TrapArgs& a, const SystemTrapRow& row) {
  placeResult(a, row, OmGetIndexedLocale(a.getStackWord(0), nullptr));
}

void serveOmSetSystemLocale(TrapArgs& a, const SystemTrapRow& row) {
  LmLocaleType locale = readLocale68K(localeArg(a, 0, row));
  placeResult(a, row, OmSetSystemLocale(&locale));
}

void serveOmGetRoutineAddress(TrapArgs& a, const SystemTrapRow& row) {
  UInt16 selector = a.getStackWord(0);
  bool routine = selector >= 2 && selector <= 9 && selector != kOmGetIndexedLocale;
  placeResult(a, row, routine ? GetPseudoOverlayRoutineCode(selector) : 0);
}

void serveOmGetNextSystemLocale(TrapArgs& a, const SystemTrapRow& row) {
  LmLocaleType locale{};
  Err err = OmGetNextSystemLocale(a.getStackByte(0), &locale);
  if (!err) writeLocale68K(localeArg(a, 6, row), locale);
  placeResult(a, row, err);
}

constexpr TrapBinding kBindings[] = {
    bindTrap<&FtrUnregister>(0xA27A),
    bindTrap<&FtrGet>(0xA27B),
    bindTrap<&FtrSet>(0xA27C),
    bindTrap<&FtrGetByIndex>(0xA27D),
    bindHandler(0xA35A, serveFeatureMemory<FtrPtrNew>),
    bindTrap<&FtrPtrFree>(0xA35B),
    bindHandler(0xA35C, serveFeatureMemory<FtrPtrResize>),
    bindTrap<&DmOpenDBNoOverlay>(0xA3B0),
    bindHandler(kOverlayTrap, serveOmLocaleToOverlayDBName, 2),
    bindHandler(kOverlayTrap, serveOmOverlayDBNameToLocale, 3),
    bindHandler(kOverlayTrap, serveGetLocale<OmGetCurrentLocale>, 4),
    bindHandler(kOverlayTrap, serveOmGetIndexedLocale, 5),
    bindHandler(kOverlayTrap, serveGetLocale<OmGetSystemLocale>, 6),
    bindHandler(kOverlayTrap, serveOmSetSystemLocale, 7),
    bindHandler(kOverlayTrap, serveOmGetRoutineAddress, 8),
    bindHandler(kOverlayTrap, serveOmGetNextSystemLocale, 9),
};
}  // namespace

std::span<const TrapBinding> FeatureTrapBindings() { return kBindings; }
