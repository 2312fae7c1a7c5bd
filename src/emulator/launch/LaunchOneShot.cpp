#include "emulator/launch/LaunchOneShot.h"

#include <cstring>

#include "emulator/launch/AppGlobals.h"
#include "emulator/launch/SysAppLaunch.h"
#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DATAMGR.h"
#include "storage/loadsavedatabases.h"
#include "storage/Feature.h"
#include "storage/memorymgr.h"

namespace {

// What each run leaves behind: its open databases, its loaded record
// databases (saved when changed) and the memory its launch depth owned.
void cleanUpAfterRun() {
  CloseDatabasesOpenedByApplication();
  if (DmOpenRef features = GetFeatureDbRef()) DatabaseFlush(features);
  UnloadDatabases(true, true);
  FreeDelayedMemoryChunks();
  CleanupDynamicMemory();
}

Err normalLaunch(LaunchParms& l) {
  if (l.dbID == 0) l.dbID = DmFindDatabase(l.card, l.name);
  if (l.dbID == 0) {
    WarningF("Unable to find application %s. Launch failed.", l.name);
    return dmErrCantFind;
  }
  DmDatabaseInfo(l.card, l.dbID, l.name[0] ? nullptr : l.name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                 nullptr, nullptr, nullptr, nullptr);
  UInt32 result = 0;
  Err err = SysAppLaunch(l.card, l.dbID, sysAppLaunchFlagNewGlobals | sysAppLaunchFlagUIApp, l.cmd, l.cmdPBP, &result);
  cleanUpAfterRun();
  return err;
}

}  // namespace

Err LaunchOneShot(UInt16 cardNo, const Char* name) {
  AppGlobals& g = *GetAppGlobals();
  LaunchParms l;
  std::strncpy(l.name, name, sizeof l.name - 1);
  l.card = cardNo;
  {
    MonitorLock lock(g.monitor);
    if (g.state != AppLaunchState::SwitchPending) g.state = AppLaunchState::None;
  }
  const Err first = normalLaunch(l);
  LaunchParms remembered;
  g.monitor.enter();
  while (g.state != AppLaunchState::Quit) {
    switch (g.state) {
      case AppLaunchState::None:
        g.state = AppLaunchState::Quit;
        break;
      case AppLaunchState::SwitchPending:
        if (g.pending.dbID == l.dbID && g.pending.cmd == l.cmd) {
          g.state = AppLaunchState::None;
        } else {
          g.state = AppLaunchState::Relaunch;
          remembered = l;
        }
        l = g.pending;
        g.monitor.leave();
        normalLaunch(l);
        g.monitor.enter();
        break;
      case AppLaunchState::Relaunch:
        g.state = AppLaunchState::None;
        g.monitor.leave();
        l = remembered;
        l.cmd = sysAppLaunchCmdNormalLaunch;
        l.cmdPBP = 0;
        normalLaunch(l);
        g.monitor.enter();
        break;
      case AppLaunchState::Quit:
        break;
    }
  }
  g.monitor.leave();
  return first;
}
