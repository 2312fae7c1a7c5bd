// The launch state of the system: which applications run (nested launches on
// the launchee stack), which switch is pending and which applications were
// launched at least once in this process. Launches run on the emulator thread
// only; switch requests may come from any thread and are guarded by the
// monitor.
#pragma once
#include "host/Threads.h"
#include "palm/PalmTypes.h"

constexpr UInt32 kMaxLaunchees = 13;
constexpr UInt32 kMaxLaunchedApps = 200;
constexpr UInt16 kLauncheeOwnerBase = 3;  // memory owner while no application runs

// Launch codes and flags the system itself uses.
constexpr UInt16 sysAppLaunchCmdNormalLaunch = 0;
constexpr UInt16 sysAppLaunchCmdSyncNotify = 3;
constexpr UInt16 sysAppLaunchCmdSystemReset = 5;
constexpr UInt16 sysAppLaunchCmdCustomBase = 0x8000;
constexpr UInt16 sysAppLaunchFlagNewStack = 0x02;
constexpr UInt16 sysAppLaunchFlagNewGlobals = 0x04;
constexpr UInt16 sysAppLaunchFlagUIApp = 0x08;
constexpr UInt16 sysAppLaunchFlagSubCall = 0x10;
constexpr UInt16 sysAppLaunchFlagDataRelocated = 0x80;

constexpr Err sysErrOutOfOwnerIDs = 0x0508;

enum class AppLaunchState : UInt32 { None = 0, SwitchPending = 1, Relaunch = 2, Quit = 3 };

struct LaunchParms {
  Char name[32] = {};  // empty when dbID is given
  LocalID dbID = 0;
  EmuAddr cmdPBP = 0;
  UInt16 cmd = 0;
  UInt16 card = 0;
};

struct LauncheeEntry {
  LocalID dbID;
  UInt8* info;  // the launch's SysAppInfoType
  UInt16 card;
};

struct LaunchedApp {
  UInt16 card;
  LocalID dbID;
  bool operator<(const LaunchedApp& o) const { return card != o.card ? card < o.card : dbID < o.dbID; }
  bool operator==(const LaunchedApp&) const = default;
};

enum class LaunchedListInsert { Added, AlreadyThere, Full };

// Lives in the arena: each application's A5 world points at currentInfo.
struct AppGlobals {
  Monitor monitor;
  AppLaunchState state = AppLaunchState::None;
  UInt32 launcheeCount = 0;
  LauncheeEntry launchees[kMaxLaunchees] = {};
  LaunchParms pending;
  UInt8 currentInfo[4] = {};  // big-endian 68K address of the innermost launch's SysAppInfoType
  UInt32 launchedCount = 0;
  LaunchedApp launched[kMaxLaunchedApps] = {};

  UInt8* current() const;
  void setCurrent(UInt8* info);
  bool push(const LauncheeEntry& entry);
  void pop();
  LaunchedListInsert insertLaunched(const LaunchedApp& app);
};

// Creates the block and registers it (module App) with the storage managers'
// launch seams; false when it cannot be made.
Boolean AppInit();
// Drops the block (tests bring the system up more than once).
void AppTerminate();
AppGlobals* GetAppGlobals();

// Memory owner of the running application: launchee count + 3.
UInt16 GetLauncheeDepthOfLaunch();

// Palm calls.
Err SysCurAppDatabase(UInt16* cardNoP, LocalID* dbIDP);
// Stores the bottom and the current launch's info (68K addresses) through the
// non-null out-pointers; returns the current one.
void* SysGetAppInfo(EmuAddr* uiAppPP, EmuAddr* actionCodeAppPP);
Err SysAppStartup(EmuAddr* appInfoPP, EmuAddr* prevGlobalsPP, EmuAddr* globalsPtrPP);
Err SysAppExit(EmuAddr appInfoP, EmuAddr prevGlobalsP, EmuAddr globalsP);
Err SysUIAppSwitch(UInt16 cardNo, LocalID dbID, UInt16 cmd, EmuAddr cmdPBP);
Err SysUIAppSwitchByName(UInt16 cardNo, const Char* name, UInt16 cmd, EmuAddr cmdPBP);
// True while a switch or the end is pending.
Boolean AppSwitchPending();
// Ends every running application and the application loop.
void Quit();

// Switch requests post an application-stop event so that the running
// application leaves its event loop. The Event Manager installs the poster;
// until then the request waits for the application to return by itself.
using AppStopEventPoster = void (*)();
void SetAppStopEventPoster(AppStopEventPoster poster);
