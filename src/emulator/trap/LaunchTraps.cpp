// Application launch and shared-library table traps.
#include "emulator/launch/AppGlobals.h"
#include "emulator/launch/SysAppLaunch.h"
#include "emulator/trap/TrapDispatcher.h"
#include "storage/sharedlibraries.h"

namespace {

constexpr TrapBinding kBindings[] = {
    bindTrap<&SysAppLaunch>(0xA08E),
    bindTrap<&SysAppStartup>(0xA08F),
    bindTrap<&SysAppExit>(0xA090),
    bindTrap<&SysUIAppSwitch>(0xA0A7),
    bindTrap<&SysCurAppDatabase>(0xA0AC),
    bindTrap<&SysLibInstall>(0xA0B7),
    bindTrap<&SysLibRemove>(0xA0B8),
    bindTrap<&SysLibTblEntry>(0xA0B9),
    bindTrap<&SysLibFind>(0xA0BA),
    bindTrap<&SysLibLoad>(0xA2AC),
    bindTrap<&SysGetAppInfo>(0xA33C),
};

}  // namespace

std::span<const TrapBinding> LaunchTrapBindings() { return kBindings; }
