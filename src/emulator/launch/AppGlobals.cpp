#include "emulator/launch/AppGlobals.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "emulator/launch/SysAppLaunch.h"
#include "host/Globals.h"
#include "host/HostMemory.h"
#include "host/Reporting.h"
#include "palm/Address.h"
#include "palm/Endian.h"
#include "storage/StorageSeams.h"

namespace {

void noPoster() {}
std::atomic<AppStopEventPoster> stopEventPoster{noPoster};

void currentAppDatabase(UInt16* cardP, LocalID* dbIDP) { SysCurAppDatabase(cardP, dbIDP); }

void requestSwitch(const LaunchParms& parms) {
  AppGlobals* g = GetAppGlobals();
  if (!g) return;
  {
    MonitorLock lock(g->monitor);
    if (g->state == AppLaunchState::Quit) return;
    g->state = AppLaunchState::SwitchPending;
    g->pending = parms;
  }
  stopEventPoster.load()();
}

}  // namespace

UInt8* AppGlobals::current() const {
  EmuAddr a = get32(currentInfo);
  return a ? static_cast<UInt8*>(fromEmu(a)) : nullptr;
}

void AppGlobals::setCurrent(UInt8* info) { set32(currentInfo, info ? toEmu(info) : 0); }

bool AppGlobals::push(const LauncheeEntry& entry) {
  if (launcheeCount == kMaxLaunchees) return false;
  launchees[launcheeCount++] = entry;
  return true;
}

void AppGlobals::pop() {
  QV_ASSERT(launcheeCount > 0);
  --launcheeCount;
}

LaunchedListInsert AppGlobals::insertLaunched(const LaunchedApp& app) {
  LaunchedApp* end = launched + launchedCount;
  LaunchedApp* at = std::lower_bound(launched, end, app);
  if (at != end && *at == app) return LaunchedListInsert::AlreadyThere;
  if (launchedCount == kMaxLaunchedApps) return LaunchedListInsert::Full;
  std::move_backward(at, end, end + 1);
  *at = app;
  ++launchedCount;
  return LaunchedListInsert::Added;
}

Boolean AppInit() {
  AppTerminate();
  void* block = MALLOC(sizeof(AppGlobals));
  if (!block) return false;
  auto* g = new (block) AppGlobals;
  setGlobals(ModuleId::App, g);
  StorageSeams seams{};
  seams.launcheeDepth = GetLauncheeDepthOfLaunch;
  seams.currentAppDatabase = currentAppDatabase;
  setStorageSeams(seams);
  return true;
}

void AppTerminate() {
  AppGlobals* g = GetAppGlobals();
  setGlobals(ModuleId::App, nullptr);
  if (!g) return;
  g->~AppGlobals();
  FREE(g);
}

AppGlobals* GetAppGlobals() { return getGlobalsAs<AppGlobals>(ModuleId::App); }

UInt16 GetLauncheeDepthOfLaunch() {
  AppGlobals* g = GetAppGlobals();
  return static_cast<UInt16>((g ? g->launcheeCount : 0) + kLauncheeOwnerBase);
}

Err SysCurAppDatabase(UInt16* cardNoP, LocalID* dbIDP) {
  AppGlobals* g = GetAppGlobals();
  const LauncheeEntry* top = g && g->launcheeCount ? &g->launchees[g->launcheeCount - 1] : nullptr;
  if (cardNoP) *cardNoP = top ? top->card : 0;
  if (dbIDP) *dbIDP = top ? top->dbID : 0;
  return errNone;
}

void* SysGetAppInfo(EmuAddr* uiAppPP, EmuAddr* actionCodeAppPP) {
  AppGlobals* g = GetAppGlobals();
  UInt8* current = g ? g->current() : nullptr;
  UInt8* bottom = g && g->launcheeCount ? g->launchees[0].info : nullptr;
  if (uiAppPP) *uiAppPP = bottom ? toEmu(bottom) : 0;
  if (actionCodeAppPP) *actionCodeAppPP = current ? toEmu(current) : 0;
  return current;
}

Err SysAppStartup(EmuAddr* appInfoPP, EmuAddr* prevGlobalsPP, EmuAddr* globalsPtrPP) {
  AppGlobals* g = GetAppGlobals();
  UInt8* current = g ? g->current() : nullptr;
  if (appInfoPP) *appInfoPP = current ? toEmu(current) : 0;
  if (prevGlobalsPP) *prevGlobalsPP = 0;
  if (globalsPtrPP) *globalsPtrPP = current ? get32(current + SysAppInfo68K::globalsChunkP) : 0;
  return errNone;
}

Err SysAppExit(EmuAddr, EmuAddr, EmuAddr) { return errNone; }

Err SysUIAppSwitch(UInt16 cardNo, LocalID dbID, UInt16 cmd, EmuAddr cmdPBP) {
  LaunchParms parms;
  parms.dbID = dbID;
  parms.cmdPBP = cmdPBP;
  parms.cmd = cmd;
  parms.card = cardNo;
  requestSwitch(parms);
  return errNone;
}

Err SysUIAppSwitchByName(UInt16 cardNo, const Char* name, UInt16 cmd, EmuAddr cmdPBP) {
  LaunchParms parms;
  std::strncpy(parms.name, name, sizeof parms.name - 1);
  parms.cmdPBP = cmdPBP;
  parms.cmd = cmd;
  parms.card = cardNo;
  requestSwitch(parms);
  return errNone;
}

Boolean AppSwitchPending() {
  AppGlobals* g = GetAppGlobals();
  if (!g) return false;
  MonitorLock lock(g->monitor);
  return g->state == AppLaunchState::SwitchPending || g->state == AppLaunchState::Quit;
}

void Quit() {
  AppGlobals* g = GetAppGlobals();
  if (!g) return;
  {
    MonitorLock lock(g->monitor);
    g->state = AppLaunchState::Quit;
  }
  for (UInt32 i = 0; i < kMaxLaunchees; ++i) stopEventPoster.load()();
}

void SetAppStopEventPoster(AppStopEventPoster poster) { stopEventPoster = poster ? poster : noPoster; }
